// What a person meets in the window: the fixed-pitch columns of the lists and
// of the weapon heading, list rows of the designed height, five-digit values in
// the narrow edits, and a mouse wheel that changes no list without the focus.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <functional>
#include <vector>

#include "app/editor_controls.h"
#include "app/editor_fonts.h"
#include "app/move_types.h"
#include "editor_fixture.h"

namespace varsk::testing {
namespace {

// The column of text.left(n) when a CJK or kana character takes two.
int Columns(const QString& text) {
  int columns = 0;
  for (QChar c : text) columns += c.unicode() >= 0x2E80 ? 2 : 1;
  return columns;
}

TEST(FixedPitchFontTest, LatinIsOneSixPixelColumnAndCjkTwoWithoutLetterSpacing) {
  const QFont font = FixedPitchFont();
  EXPECT_TRUE(QFontInfo(font).family().startsWith(QStringLiteral("Noto Sans Mono CJK")))
      << "got " << QFontInfo(font).family().toStdString() << "; install fonts-noto-cjk";
  EXPECT_EQ(font.pixelSize(), 12);
  EXPECT_EQ(font.letterSpacing(), 0);
  const QFontMetricsF metrics(font);
  for (const char* latin : {"M", "i", "0", " ", "Weapon Name"}) {
    const QString text = QString::fromUtf8(latin);
    EXPECT_EQ(metrics.horizontalAdvance(text), 6.0 * text.size()) << latin;
  }
  for (const char* wide : {"頭", "萬能", "ユニット", "ぶき"}) {
    const QString text = QString::fromUtf8(wide);
    EXPECT_EQ(metrics.horizontalAdvance(text), 12.0 * text.size()) << wide;
  }
}

TEST(FixedPitchFontTest, FallbackKeepsTheSixPixelLatinColumn) {
  // Liberation Mono draws Latin 0.6 em wide: 7.2 pixels at 12 unless tightened.
  const QFont font = FixedPitchFontFrom({QStringLiteral("Liberation Mono")});
  EXPECT_NEAR(QFontMetricsF(font).horizontalAdvance(QStringLiteral("Damage")), 36.0, 0.05);
}

class ListsAndInputTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    CreateWindow();
    ASSERT_TRUE(dialogs_.errors.empty());
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
  }
  // Where `word` of a fixed-pitch label starts and ends, in window pixels.
  std::pair<qreal, qreal> Span(const QLabel* label, const QString& word) {
    const QFontMetricsF metrics(label->font());
    const QString text = label->text();
    const qreal start = label->x() + metrics.horizontalAdvance(text.left(text.indexOf(word)));
    return {start, start + metrics.horizontalAdvance(word)};
  }
  static void Wheel(QWidget* widget) {
    const QPointF inside(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(inside, widget->mapToGlobal(inside), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
  }
};

TEST_F(ListsAndInputTest, DamageAndAmmoStandOverTheirEditsAndMoveTypePairsInColumns) {
  const WeaponRow& row = form_->WeaponRows[0];
  for (const auto& [word, edit] : {std::pair{QStringLiteral("Damage"), row.DamageEdit},
                                   std::pair{QStringLiteral("Ammo"), row.AmmoEdit}}) {
    const auto [start, end] = Span(form_->Label20, word);
    const qreal middle = (start + end) / 2;
    EXPECT_GE(middle, edit->x()) << word.toStdString();
    EXPECT_LT(middle, edit->x() + edit->width()) << word.toStdString();
  }
  // Each terrain pair starts at 6 pixels per column, two- and three-character names alike.
  const QFontMetricsF metrics(form_->ComboBox3->font());
  for (int item = 0; item < form_->ComboBox3->count(); ++item) {
    const QString text = form_->ComboBox3->itemText(item);
    for (int i = 1; i < text.size(); ++i) {
      if (!text[i].isLetter() || text[i].unicode() >= 0x2E80) continue;
      EXPECT_EQ(metrics.horizontalAdvance(text.left(i)), 6.0 * Columns(text.left(i)))
          << "item " << item << " at " << i;
    }
  }
}

TEST_F(ListsAndInputTest, ListRowsAreTwelvePixelsAndTheDropDownCountIsShown) {
  for (const auto& [box, rows] : {std::pair{form_->ComboBox2, 48}, std::pair{form_->ComboBox3, 17},
                                  std::pair{form_->WeaponRows[7].WeaponBox, 0}}) {
    box->showPopup();
    QAbstractItemView* view = box->view();
    ASSERT_TRUE(view->isVisible()) << box->objectName().toStdString();
    EXPECT_EQ(view->visualRect(box->model()->index(1, 0)).height(), 12);
    // The offscreen screen is 800 pixels high, too low for 48 rows under the weapon boxes.
    if (rows > 0) {
      EXPECT_EQ(view->viewport()->height() / 12, rows);
    }
    // Whole names: the list is never narrower than its widest item.
    const QFontMetrics metrics(box->font());
    int widest = 0;
    for (int i = 0; i < box->count(); ++i) {
      widest = std::max(widest, metrics.horizontalAdvance(box->itemText(i)));
    }
    EXPECT_GE(view->viewport()->width(), widest);
    box->hidePopup();
  }
}

using InkRows = std::vector<std::vector<bool>>;

// The ink of a strip of `image`, a row of pixels at a time: the pixels well
// darker than the strip's background (its lightest pixel), so that the same
// glyph reads the same on the closed box's grey and the list's white.
InkRows Ink(const QImage& image, QRect strip) {
  int background = 0;
  for (int y = strip.top(); y <= strip.bottom(); ++y) {
    for (int x = strip.left(); x <= strip.right(); ++x) {
      background = std::max(background, qGray(image.pixel(x, y)));
    }
  }
  InkRows ink;
  for (int y = strip.top(); y <= strip.bottom(); ++y) {
    std::vector<bool> row;
    for (int x = strip.left(); x <= strip.right(); ++x) {
      row.push_back(qGray(image.pixel(x, y)) * 5 < background * 3);
    }
    ink.push_back(row);
  }
  return ink;
}

bool Blank(const std::vector<bool>& row) {
  return std::none_of(row.begin(), row.end(), std::identity());
}

// A Chinese character of a list row is drawn whole and on the line where the
// closed box draws it, though its ink is taller than the row: its top stands
// over the row above.
TEST_F(ListsAndInputTest, OpenListsDrawTallCharactersWholeAsTheClosedBoxDoes) {
  QComboBox* box = form_->ComboBox2;
  const QString text = box->itemText(2);
  const int column = static_cast<int>(text.indexOf(QString::fromUtf8("單")));
  ASSERT_GT(column, 0);
  const int left = 3 + 6 * column;  // the rows' text margin, six pixels a column
  box->setCurrentIndex(2);
  QStyleOptionComboBox option;
  option.initFrom(box);
  const QRect field =
      box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
  InkRows glyph = Ink(box->grab().toImage(), QRect(left, field.top(), 12, field.height()));
  // The closed box's line of 12 pixels is centred in its field.
  int glyphTop = field.top();
  while (!glyph.empty() && Blank(glyph.front())) {
    glyph.erase(glyph.begin());
    ++glyphTop;
  }
  while (!glyph.empty() && Blank(glyph.back())) glyph.pop_back();
  const int aboveLine = field.top() + (field.height() - kListItemHeight) / 2 - glyphTop;
  ASSERT_GT(aboveLine, 0) << "the character fits the line: nothing to check";

  box->setCurrentIndex(0);
  box->showPopup();
  QAbstractItemView* view = box->view();
  ASSERT_TRUE(view->isVisible());
  const QRect row = view->visualRect(box->model()->index(2, 0));
  const QImage open = view->viewport()->grab().toImage();
  box->hidePopup();
  const InkRows drawn = Ink(open, QRect(left, row.top() - aboveLine, 12, glyph.size()));
  EXPECT_EQ(drawn, glyph);
}

// A name of a million characters (name lists may hold megabytes): the list
// opens no wider than the screen and measures no more of a name than shows.
TEST_F(ListsAndInputTest, AHugeNameIsMeasuredOnlyAsFarAsItShows) {
  QComboBox* box = form_->ComboBox2;
  box->setItemText(3, QString(1'000'000, u'W') + QString::fromUtf8("單"));
  box->showPopup();
  QAbstractItemView* view = box->view();
  const int screenWidth = box->screen()->availableGeometry().width();
  EXPECT_LE(view->width(), screenWidth);
  QStyleOptionViewItem option;
  option.initFrom(view);
  option.font = box->font();
  option.widget = view;
  EXPECT_LE(view->itemDelegate()->sizeHint(option, box->model()->index(3, 0)).width(),
            box->screen()->geometry().width() + 12);
  box->hidePopup();
}

TEST_F(ListsAndInputTest, FiveDigitsFitEveryNarrowEdit) {
  // The text fits when the view does not change with the cursor at its start
  // or at its end (a text too long is scrolled to keep the cursor in view).
  int edits = 0;
  for (QLineEdit* edit : form_->findChildren<QLineEdit*>()) {
    if (edit->width() < 32 || !edit->isVisible()) continue;
    ++edits;
    edit->setText(QStringLiteral("65535"));
    edit->setCursorPosition(5);
    const QImage atEnd = edit->grab().toImage();
    edit->setCursorPosition(0);
    EXPECT_EQ(edit->grab().toImage(), atEnd) << edit->objectName().toStdString();
  }
  EXPECT_GE(edits, 17);
}

TEST_F(ListsAndInputTest, TheWheelChangesOnlyTheListThatHasTheFocus) {
  form_->Edit3->setText(QStringLiteral("1234"));  // not applied: must survive the wheel
  QApplication::setActiveWindow(form_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  form_->Edit3->setFocus();
  QComboBox* weaponBox = form_->WeaponRows[2].WeaponBox;
  const int weapon = weaponBox->currentIndex();
  const int moveType = form_->ComboBox3->currentIndex();
  for (QWidget* box : {static_cast<QWidget*>(form_->ComboBox2),
                       static_cast<QWidget*>(form_->ComboBox3), static_cast<QWidget*>(weaponBox)}) {
    Wheel(box);
  }
  EXPECT_EQ(form_->ComboBox2->currentIndex(), 0);
  EXPECT_EQ(form_->Edit3->text(), QStringLiteral("1234"));
  EXPECT_EQ(form_->ComboBox3->currentIndex(), moveType);
  EXPECT_EQ(weaponBox->currentIndex(), weapon);
  EXPECT_TRUE(form_->Edit3->hasFocus());  // the wheel takes no focus

  form_->ComboBox3->setFocus();
  ASSERT_TRUE(form_->ComboBox3->hasFocus());
  Wheel(form_->ComboBox3);
  EXPECT_NE(form_->ComboBox3->currentIndex(), moveType);
}

}  // namespace
}  // namespace varsk::testing
