#include "app/catalogue_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <map>
#include <utility>

#include "app/catalogue_chart.h"
#include "app/catalogue_model.h"
#include "app/editor_fonts.h"
#include "app/form1.h"
#include "app/move_types.h"
#include "base/messages.h"
#include "qtbridge/name_text.h"

namespace varsk {
namespace {

// Weapon and move type cells are edited with their lists, as in the main
// window; every other cell with the text the dump writes.
class CatalogueDelegate final : public QStyledItemDelegate {
 public:
  CatalogueDelegate(CatalogueWindow& window, TForm1& form)
      : QStyledItemDelegate(&window), window_(window), form_(form) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override {
    const EntryField* field = FieldAt(index);
    if (field == nullptr || !(IsWeapon(*field) || IsMoveType(*field))) {
      return QStyledItemDelegate::createEditor(parent, option, index);
    }
    auto* list = new QComboBox(parent);
    if (IsWeapon(*field)) {
      for (int id = 0; id < form_.WeaponNames.size(); ++id) {
        list->addItem(id == 0 ? QStringLiteral("-") : form_.WeaponNames.at(id), id);
      }
    } else {
      for (int item = 0; item < kMoveTypeItemCount; ++item) {
        list->addItem(MoveTypeItemText(item), MoveTypeOfItem(item));
      }
    }
    return list;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* list = qobject_cast<QComboBox*>(editor);
    if (list == nullptr) return QStyledItemDelegate::setEditorData(editor, index);
    const int value = index.data(kCatalogueSortRole).toInt();
    int item = list->findData(value);
    if (item < 0) {
      // A value the list has no item for stays as it is unless another is chosen.
      list->addItem(index.data(Qt::DisplayRole).toString(), value);
      item = list->count() - 1;
    }
    list->setCurrentIndex(item);
  }

  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    // A value the checks refuse is reported; nothing is stored.
    form_.GuardedFor(&window_, [&] {
      if (auto* list = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, QString::number(list->currentData().toInt()), Qt::EditRole);
      } else {
        QStyledItemDelegate::setModelData(editor, model, index);
      }
    });
  }

 private:
  const EntryField* FieldAt(const QModelIndex& index) const {
    const QModelIndex source = window_.Proxy().mapToSource(index);
    const CatalogueModel& model = window_.Model();
    return model.Column(source.column())
        .Row(KindOfEntry(model.Records(), model.EntryOfRow(source.row())));
  }
  static bool IsWeapon(const EntryField& field) {
    return field.weaponSlot >= 0 && std::string_view(field.key) == "weaponId";
  }
  static bool IsMoveType(const EntryField& field) {
    return std::string_view(field.name) == "moveType";
  }

  CatalogueWindow& window_;
  TForm1& form_;
};

// The names the main window shows, decoded once.
std::vector<std::array<QString, 3>> EntryNames(const TForm1& form) {
  std::vector<std::array<QString, 3>> names(kEntryListCount);
  const std::array<const NameList*, 3> lists = {&form.NameListE, &form.NameListC, &form.NameListJ};
  for (int e = 1; e <= kEntryListCount; ++e) {
    for (size_t key = 0; key < lists.size(); ++key) {
      const NameList& list = *lists[key];
      if (static_cast<size_t>(e - 1) < list.size()) {
        names[static_cast<size_t>(e - 1)][key] =
            DecodeNameLine(list[static_cast<size_t>(e - 1)], kNameKeyLanguages[key]);
      }
    }
  }
  return names;
}

}  // namespace

CatalogueWindow::CatalogueWindow(TForm1& form) : QWidget(&form, Qt::Window), form_(form) {
  setObjectName(QStringLiteral("CatalogueWindow"));
  setWindowTitle(QStringLiteral("Varsk catalogue"));
  setWindowIcon(form.windowIcon());
  resize(960, 620);

  model_ = new CatalogueModel(
      form.Tables().dataSet, EntryNames(form), form.WeaponNames,
      [this](std::vector<CellEdit> cells) {
        form_.EditRecords(
            [&](DataSet& records) { ApplyCellEdits(cells, model_->NameOf(), records); });
      },
      this);
  proxy_ = new CatalogueProxy(*model_, this);

  filter_ = new QLineEdit(this);
  filter_->setObjectName(QStringLiteral("CatalogueFilter"));
  filter_->setPlaceholderText(
      QStringLiteral("Filter: words of a name or number, conditions such as hp>300 cost<=200 "
                     "kind=ship"));
  filter_->setAccessibleName(QStringLiteral("Filter"));
  filter_->setClearButtonEnabled(true);
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("CatalogueFilterProblem"));
  QPalette warning = problem_->palette();
  warning.setColor(QPalette::WindowText, QColor(0xB0, 0x00, 0x20));
  problem_->setPalette(warning);
  problem_->setTextFormat(Qt::PlainText);
  problem_->hide();

  table_ = new QTableView(this);
  table_->setObjectName(QStringLiteral("CatalogueTable"));
  table_->setAccessibleName(QStringLiteral("Catalogue"));
  table_->setFont(FixedPitchFont());
  // Rows as high as a line of Chinese or Japanese text (a fallback font, taller
  // than the window font) needs.
  const QFontMetrics cells(table_->font());
  const int rowHeight =
      std::max(cells.height(), cells.boundingRect(QString::fromUtf8("機砲マシンガン")).height()) +
      6;
  // Every column name shows whole, with room for the sort arrow; names get
  // more. The rows' header is as wide as its longest label. Given to the
  // headers, these sizes spare them measuring every label.
  const QFontMetrics header(table_->horizontalHeader()->font());
  std::vector<int> widths;
  for (int c = 0; c < model_->columnCount(); ++c) {
    const CatalogueColumn& column = model_->Column(c);
    const bool list = column.role == CatalogueColumn::Role::Name ||
                      column.name.endsWith(QLatin1String("weaponId"));
    widths.push_back(std::max(header.horizontalAdvance(column.name) + 28, list ? 160 : 48));
  }
  QString longest;
  for (int row = 0; row < model_->rowCount(); ++row) {
    const QString label = model_->headerData(row, Qt::Vertical, Qt::DisplayRole).toString();
    if (label.size() > longest.size()) longest = label;
  }
  model_->SetHeaderSizes(widths, QSize(header.horizontalAdvance(longest) + 12, rowHeight));
  table_->verticalHeader()->setDefaultSectionSize(rowHeight);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->setModel(proxy_);
  for (int c = 0; c < model_->columnCount(); ++c) {
    table_->setColumnWidth(c, widths[static_cast<size_t>(c)]);
  }
  table_->setItemDelegate(new CatalogueDelegate(*this, form));
  table_->setSortingEnabled(true);
  table_->sortByColumn(0, Qt::AscendingOrder);
  table_->setWordWrap(false);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);

  chart_ = new CatalogueChart(model_->Records(), model_->NameOf(), form.Dialogs(), this);
  chart_->hide();
  chartButton_ = new QPushButton(QStringLiteral("Chart (Ctrl+G)"), this);
  chartButton_->setObjectName(QStringLiteral("CatalogueChartButton"));
  chartButton_->setAccessibleName(QStringLiteral("Chart"));
  chartButton_->setToolTip(
      QStringLiteral("Show or hide a chart of two fields of the entries shown"));
  chartButton_->setCheckable(true);
  splitter_ = new QSplitter(Qt::Horizontal, this);
  splitter_->addWidget(table_);
  splitter_->addWidget(chart_);
  splitter_->setChildrenCollapsible(false);

  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(filter_, 1);
  filterRow->addWidget(chartButton_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(filterRow);
  layout->addWidget(problem_);
  layout->addWidget(splitter_, 1);

  connect(filter_, &QLineEdit::textChanged, this, &CatalogueWindow::ApplyFilter);
  connect(table_, &QTableView::activated, this,
          [this](const QModelIndex& index) { ShowRowInMainWindow(index.row()); });
  connect(table_->verticalHeader(), &QHeaderView::sectionDoubleClicked, this,
          &CatalogueWindow::ShowRowInMainWindow);
  connect(&form, &TForm1::recordsChanged, model_, &CatalogueModel::RecordsChanged);
  connect(&form, &TForm1::recordsChanged, chart_, &CatalogueChart::RecordsChanged);
  connect(chartButton_, &QPushButton::toggled, this, &CatalogueWindow::ShowChart);
  connect(chart_, &CatalogueChart::entryChosen, this, &CatalogueWindow::ShowChosenEntry);
  connect(chart_->ExportButton(), &QPushButton::clicked, this,
          [this] { form_.GuardedFor(this, [this] { chart_->Export(); }); });
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            const QModelIndex source = proxy_->mapToSource(current);
            chart_->SetHighlight(source.isValid() ? model_->EntryOfRow(source.row()) : 0);
          });

  const auto shortcut = [this](const QKeySequence& keys, auto step) {
    auto* made = new QShortcut(keys, this);
    made->setContext(Qt::WindowShortcut);
    connect(made, &QShortcut::activated, this, [this, step] { form_.GuardedFor(this, step); });
  };
  shortcut(QKeySequence::Copy, [this] { CopyCells(); });
  shortcut(QKeySequence::Paste, [this] { PasteCells(); });
  shortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Z), [this] { form_.UndoRecordChange(); });
  shortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Y), [this] { form_.RedoRecordChange(); });
  shortcut(QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z),
           [this] { form_.RedoRecordChange(); });
  shortcut(QKeySequence::Save, [this] { form_.Button3Click(); });
  shortcut(QKeySequence::Find, [this] { filter_->setFocus(Qt::ShortcutFocusReason); });
  shortcut(QKeySequence(Qt::ControlModifier | Qt::Key_G),
           [this] { ShowChart(chart_->isHidden()); });
}

CatalogueWindow::~CatalogueWindow() = default;

void CatalogueWindow::ApplyFilter() {
  try {
    proxy_->SetFilterText(filter_->text());
    problem_->clear();
    problem_->hide();
    chart_->SetFilter(proxy_->Filter(), filter_->text());
  } catch (const VarskError& error) {
    problem_->setText(QString::fromStdString(error.what()));
    problem_->show();
    chart_->SetFilter(proxy_->Filter(), QString());
  }
}

void CatalogueWindow::ShowChart(bool shown) {
  chartButton_->setChecked(shown);
  if (shown == chart_->isVisible()) return;
  chart_->setVisible(shown);
  if (!shown || chartShownBefore_) return;
  // The first time, the window grows by the chart's width where the screen
  // has room, so the table keeps its columns in sight.
  chartShownBefore_ = true;
  const int chartWidth = chart_->sizeHint().width();
  GiveChartWidth(chartWidth);
  QScreen* screen = this->screen();
  if (screen == nullptr) return;
  const QRect room = screen->availableGeometry();
  const int frame = frameGeometry().width() - width();
  const int grown = std::min(width() + chartWidth, room.width() - frame) - width();
  if (grown <= 0) return;
  // A window manager may size the window later: the chart gets its width then.
  chartWidthOnResize_ = chartWidth;
  resize(width() + grown, height());
  if (isVisible() && frameGeometry().right() > room.right()) {
    move(std::max(room.left(), room.right() - frameGeometry().width()), y());
  }
}

void CatalogueWindow::GiveChartWidth(int chartWidth) {
  const int total = splitter_->width();
  const int chart = std::min(chartWidth, total / 2);
  splitter_->setSizes({total - chart, chart});
}

void CatalogueWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (chartWidthOnResize_ > 0) GiveChartWidth(std::exchange(chartWidthOnResize_, 0));
}

void CatalogueWindow::ShowChosenEntry(int entryIndex) {
  const QModelIndex row = proxy_->mapFromSource(model_->index(entryIndex - 1, 0));
  if (row.isValid()) {
    const int column = std::max(table_->currentIndex().column(), 0);
    table_->selectionModel()->setCurrentIndex(
        proxy_->index(row.row(), column),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(row);
    // The keyboard goes on from that row when the catalogue has it again.
    table_->setFocus(Qt::MouseFocusReason);
  }
  form_.ShowEntry(entryIndex);
}

void CatalogueWindow::CopyCells() {
  const QModelIndexList selected = table_->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return;
  int top = proxy_->rowCount(), bottom = -1, left = proxy_->columnCount(), right = -1;
  std::map<std::pair<int, int>, QModelIndex> cells;
  for (const QModelIndex& index : selected) {
    top = std::min(top, index.row());
    bottom = std::max(bottom, index.row());
    left = std::min(left, index.column());
    right = std::max(right, index.column());
    cells[{index.row(), index.column()}] = index;
  }
  QString text;
  for (int row = top; row <= bottom; ++row) {
    for (int column = left; column <= right; ++column) {
      if (column > left) text += QLatin1Char('\t');
      const auto cell = cells.find({row, column});
      if (cell != cells.end()) text += model_->DumpText(proxy_->mapToSource(cell->second));
    }
    text += QLatin1Char('\n');
  }
  QApplication::clipboard()->setText(text);
}

void CatalogueWindow::PasteCells() {
  const QString pasted = QApplication::clipboard()->text();
  const std::string text = pasted.toStdString();
  const std::vector<std::vector<std::string>> rows = PastedRows(text);
  if (IsEditHeader(rows.front())) {
    // Each value to its entry and field, whatever the table shows where.
    form_.EditRecords(
        [&](DataSet& records) { ApplyEdits(text, kPastedCellsSource, model_->NameOf(), records); });
    return;
  }
  // Otherwise the block fills the cells from the current one, in the order shown.
  const QModelIndex start =
      table_->currentIndex().isValid() ? table_->currentIndex() : proxy_->index(0, 0);
  size_t width = 0;
  for (const auto& row : rows) width = std::max(width, row.size());
  const size_t roomRight = static_cast<size_t>(proxy_->columnCount() - start.column());
  const size_t roomDown = static_cast<size_t>(proxy_->rowCount() - start.row());
  if (width > roomRight) {
    throw VarskError(
        PasteTooWideMessage(width, roomRight, model_->Column(start.column()).name.toStdString()));
  }
  if (rows.size() > roomDown) throw VarskError(PasteTooLongMessage(rows.size(), roomDown));
  std::vector<CellEdit> cells;
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      const QModelIndex source = proxy_->mapToSource(
          proxy_->index(start.row() + static_cast<int>(r), start.column() + static_cast<int>(c)));
      cells.push_back({model_->EntryOfRow(source.row()),
                       model_->Column(source.column()).name.toStdString(), rows[r][c],
                       static_cast<int>(r), static_cast<int>(c)});
    }
  }
  form_.EditRecords([&](DataSet& records) { ApplyCellEdits(cells, model_->NameOf(), records); });
}

void CatalogueWindow::ShowRowInMainWindow(int viewRow) {
  const QModelIndex source = proxy_->mapToSource(proxy_->index(viewRow, 0));
  if (source.isValid()) form_.ShowEntry(model_->EntryOfRow(source.row()));
}

}  // namespace varsk
