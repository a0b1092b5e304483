#include "app/editor_controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QWheelEvent>
#include <algorithm>

#include "app/editor_fonts.h"

namespace varsk {
namespace {

// Room left of a list row's text.
constexpr int kListTextMargin = 3;

// Where the fixed-pitch font's characters stand in a line of the designed
// 12 pixels. Each kind of character gets its own baseline so that its lowest
// ink sits on the line's bottom row: CJK glyphs and Latin letters with their
// descenders ("g", "y") whole. The ink of many CJK glyphs is 13 or 14 pixels
// high, so their tops stand above the line: `overhang` pixels, which a list
// row draws over the row above it.
struct FixedPitchLine {
  int latinBaseline = 0;
  int wideBaseline = 0;
  int overhang = 0;
};

// The line of `font`, computed once for the font in use.
const FixedPitchLine& LineOf(const QFont& font) {
  static QString fontKey;
  static FixedPitchLine line;
  if (fontKey != font.key()) {
    const QFontMetrics metrics(font);
    const int latinBottom = metrics.tightBoundingRect(QStringLiteral("gjpqy")).bottom();
    const int latinTop = metrics.tightBoundingRect(QStringLiteral("bdfhklt")).top();
    const QRect wide = metrics.tightBoundingRect(QString::fromUtf8("頭部機砲陸飛守宇萬壘"));
    line.latinBaseline = kListItemHeight - 1 - latinBottom;
    line.wideBaseline = kListItemHeight - 1 - wide.bottom();
    line.overhang =
        std::max({0, -(line.latinBaseline + latinTop), -(line.wideBaseline + wide.top())});
    fontKey = font.key();
  }
  return line;
}

// A character two columns wide (CJK, kana, full-width forms).
bool IsWide(const QFontMetricsF& metrics, QStringView character) {
  return metrics.horizontalAdvance(character.toString()) > 1.5 * kFixedPitchColumn;
}

// The start of `text` that can show in `width` pixels: every character takes
// at least one column. A name may be megabytes long; only this part is ever
// measured or drawn.
QString VisiblePart(const QString& text, int width) {
  qsizetype count = std::max(0, width) / kFixedPitchColumn + 1;
  if (count >= text.size()) return text;
  if (text[count - 1].isHighSurrogate()) ++count;  // a character is never cut in two
  return text.left(count);
}

// Draws what fits `room` pixels of `whole` in the painter's font from `left`
// on the line whose top is `top`, a run of Latin or of wide characters at a
// time, each on its own baseline.
void DrawFixedPitchText(QPainter& painter, int left, int top, int room, const QString& whole) {
  const QString text = VisiblePart(whole, room);
  const FixedPitchLine& line = LineOf(painter.font());
  const QFontMetricsF metrics(painter.font());
  qreal x = left;
  qsizetype start = 0;
  while (start < text.size()) {
    qsizetype end = start;
    bool runWide = false;
    while (end < text.size()) {
      const qsizetype units = text[end].isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
      const bool wide = IsWide(metrics, QStringView(text).mid(end, units));
      if (end > start && wide != runWide) break;
      runWide = wide;
      end += units;
    }
    const QString run = text.mid(start, end - start);
    painter.drawText(QPointF(x, top + (runWide ? line.wideBaseline : line.latinBaseline)), run);
    x += metrics.horizontalAdvance(run);
    start = end;
  }
}

// List rows of the designed item height 12, whatever the font's line height,
// with their text drawn by DrawFixedPitchText.
class ListRowDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    // The width of what a screen can show of the name, not of all of it.
    const QString text = index.data(Qt::DisplayRole).toString();
    const int screen = option.widget != nullptr && option.widget->screen() != nullptr
                           ? option.widget->screen()->geometry().width()
                           : 4096;
    const QFontMetrics metrics(option.font);
    return {metrics.horizontalAdvance(VisiblePart(text, screen)) + 2 * kListTextMargin,
            kListItemHeight};
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem row = option;
    initStyleOption(&row, index);
    const QString text = row.text;
    row.text.clear();
    // Background, selection and focus as the style draws them.
    const QWidget* view = row.widget;
    QStyle* style = view != nullptr ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &row, painter, view);

    const bool selected = (row.state & QStyle::State_Selected) != 0;
    painter->save();
    // The tops of tall characters stand over the row above, as they stand
    // above the line in the closed box; the rows are painted top to bottom.
    painter->setClipRect(row.rect.adjusted(0, -LineOf(row.font).overhang, 0, 0));
    painter->setFont(row.font);
    painter->setPen(row.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    DrawFixedPitchText(*painter, row.rect.left() + kListTextMargin, row.rect.top(),
                       row.rect.width() - kListTextMargin, text);
    painter->restore();
  }
};

// The application's style, except that a list drops down below its box with
// at most the drop-down count of rows: styles that open the list over the box
// as a menu (Fusion among them) ignore the count and fill the screen.
class DropDownListStyle final : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_ComboBox_Popup) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

// One style for every list, owned by the application so that it outlives the
// windows and goes with the application.
QStyle* SharedListStyle() {
  static QPointer<QStyle> style;
  if (style == nullptr) {
    style = new DropDownListStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(qApp);
  }
  return style;
}

// Type to find in a drop-down list, watching the closed list and its open
// list view: typed characters, or the text an input method commits, add to
// one search until the usual keyboard-search pause starts a new one. A new
// search looks from the item after the current one, so typing the same text
// again moves on to the next match; a longer search keeps the current item
// while it still matches.
class TypeToFind final : public QObject {
 public:
  explicit TypeToFind(QComboBox& list) : QObject(&list), list_(list) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    QString text;
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return false;
      }
      text = key->text();
      if (text.isEmpty() || !text.at(0).isPrint()) return false;
      // A space between typed characters is part of the search; on its own
      // it keeps its meaning (it opens the closed list).
      if (text == QStringLiteral(" ") && !Searching()) return false;
    } else if (event->type() == QEvent::InputMethod) {
      text = static_cast<QInputMethodEvent*>(event)->commitString();
      if (text.isEmpty()) return false;
    } else {
      return false;
    }
    auto* view = qobject_cast<QAbstractItemView*>(watched);
    const int current = view != nullptr ? view->currentIndex().row() : list_.currentIndex();
    const int row = Find(text, current);
    if (row < 0 || row == current) return true;
    if (view != nullptr) {
      // In the open list the found item is only highlighted; Return or a
      // click chooses it.
      const QModelIndex index =
          list_.model()->index(row, list_.modelColumn(), list_.rootModelIndex());
      view->setCurrentIndex(index);
      view->scrollTo(index);
    } else {
      list_.setCurrentIndex(row);
      emit list_.activated(row);
      emit list_.textActivated(list_.itemText(row));
    }
    return true;
  }

 private:
  bool Searching() const {
    return !search_.isEmpty() && lastKey_.isValid() &&
           lastKey_.elapsed() <= QApplication::keyboardInputInterval();
  }

  int Find(const QString& text, int current) {
    const bool fresh = !Searching();
    search_ = fresh ? text : search_ + text;
    lastKey_.start();
    const int first = fresh ? current + 1 : std::max(current, 0);
    return FindListRow(*list_.model(), list_.modelColumn(), search_, first);
  }

  QComboBox& list_;
  QString search_;
  QElapsedTimer lastKey_;
};

bool IsDigits(const QString& text) {
  return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

int FindListRow(const QAbstractItemModel& items, int column, const QString& search, int first) {
  const int count = items.rowCount();
  if (count == 0 || search.isEmpty()) return -1;
  first = ((first % count) + count) % count;
  const auto find = [&](auto matches) {
    for (int i = 0; i < count; ++i) {
      const int row = (first + i) % count;
      if (matches(items.index(row, column).data(Qt::DisplayRole).toString())) return row;
    }
    return -1;
  };
  if (IsDigits(search)) {
    const int row = find([&](const QString& text) { return text.startsWith(search); });
    if (row >= 0) return row;
  }
  return find([&](const QString& text) { return text.contains(search, Qt::CaseInsensitive); });
}

DropDownList::DropDownList(int dropDownCount, QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setMaxVisibleItems(dropDownCount);
  // The designed geometry is fixed: no size is worked out from the names,
  // which may be very long.
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setStyle(SharedListStyle());
  // The wheel gives no focus, so it never changes a list the user did not choose.
  setFocusPolicy(Qt::StrongFocus);
  // Committed text of an input method (Chinese, Japanese) finds items too;
  // a list that accepts no typed text has it off by default.
  setAttribute(Qt::WA_InputMethodEnabled, true);
  typeToFind_ = new TypeToFind(*this);
  installEventFilter(typeToFind_);
}

void DropDownList::wheelEvent(QWheelEvent* event) {
  if (!hasFocus()) {
    event->ignore();
    return;
  }
  QComboBox::wheelEvent(event);
}

void DropDownList::showPopup() {
  // Set up when first shown: making the list view costs start-up time.
  if (!rowsSetUp_) {
    setItemDelegate(new ListRowDelegate(this));
    if (auto* rows = qobject_cast<QListView*>(view())) rows->setUniformItemSizes(true);
    view()->setAttribute(Qt::WA_InputMethodEnabled, true);
    view()->installEventFilter(typeToFind_);
    // A row repainted alone would cover the tops of the row below it that
    // stand over it: any change repaints the visible rows together.
    QWidget* rows = view()->viewport();
    const auto repaintRows = [rows] { rows->update(); };
    connect(view()->selectionModel(), &QItemSelectionModel::currentChanged, rows, repaintRows);
    connect(view()->selectionModel(), &QItemSelectionModel::selectionChanged, rows, repaintRows);
    connect(view()->verticalScrollBar(), &QScrollBar::valueChanged, rows, repaintRows);
    rowsSetUp_ = true;
  }
  // Whole names, not elided ones: the list is as wide as its widest item, or
  // as the screen.
  const QFontMetrics metrics(font());
  const int screenWidth = screen() != nullptr ? screen()->availableGeometry().width() : 4096;
  int widest = 0;
  for (int i = 0; i < count() && widest < screenWidth; ++i) {
    widest = std::max(widest, metrics.horizontalAdvance(VisiblePart(itemText(i), screenWidth)));
  }
  int width = widest + 2 * kListTextMargin;
  if (count() > maxVisibleItems()) width += view()->verticalScrollBar()->sizeHint().width();
  view()->setMinimumWidth(std::min(width, screenWidth - 2 * view()->frameWidth()));
  QComboBox::showPopup();
}

void DropDownList::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionComboBox box;
  initStyleOption(&box);
  const QString text = box.currentText;
  box.currentText.clear();
  painter.drawComplexControl(QStyle::CC_ComboBox, box);
  // The text starts where the rows' text does and may run up to the arrow's
  // glyph: the style's own field is a column short for the move type texts.
  const QRect field =
      style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxEditField, this);
  const QRect arrow =
      style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxArrow, this);
  painter.setClipRect(
      QRect(QPoint(kListTextMargin, field.top()), QPoint(arrow.left() + 1, field.bottom())));
  painter.setPen(palette().color(QPalette::Text));
  DrawFixedPitchText(painter, kListTextMargin, field.top() + (field.height() - kListItemHeight) / 2,
                     arrow.left() + 1 - kListTextMargin, text);
}

void UseTightTextMargins(QLineEdit& edit) { edit.setTextMargins(-2, 0, -2, 0); }

void FixedPitchCaption::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(palette().color(foregroundRole()));
  DrawFixedPitchText(painter, 0, (height() - kListItemHeight) / 2, width(), text());
}

}  // namespace varsk
