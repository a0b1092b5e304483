// Start-up: the designed window, FormCreate's lists and rows, the timer's
// first pictures, and the partial window left by a failed start-up.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "app/move_types.h"
#include "app/preview_image.h"
#include "data/resources.h"
#include "editor_fixture.h"

namespace varsk::testing {
namespace {

using StartupTest = EditorTest;

TEST_F(StartupTest, CompleteNameListsGiveTheFullWindow) {
  CreateWindow();
  TForm1& form = *form_;
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Varsk Unit Editor"));
  EXPECT_EQ(form.size(), QSize(kClientWidth, kClientHeight));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);

  ASSERT_EQ(form.ComboBox2->count(), kEntryListCount);
  EXPECT_EQ(form.ComboBox2->currentIndex(), 0);
  EXPECT_EQ(form.ComboBox2->itemText(0), QStringLiteral("001 Unit 1 單位1 ユニット1"));
  EXPECT_EQ(form.ComboBox2->itemText(228), QStringLiteral("229 Unit 229 單位229 ユニット229"));
  ASSERT_EQ(form.WeaponNames.size(), kWeaponNameCount);
  EXPECT_TRUE(form.WeaponNames[0].isEmpty());
  EXPECT_EQ(form.WeaponNames[175], QStringLiteral("175 Weapon 175 武器175 ぶき175"));

  ASSERT_EQ(form.ComboBox3->count(), kMoveTypeItemCount);
  EXPECT_EQ(form.ComboBox3->itemText(16), QStringLiteral("火箭   I1"));
  // A three-character name takes the whole name column.
  EXPECT_EQ(form.ComboBox3->itemText(10), QStringLiteral("一般降 A2 B2 C4 D2 E2    G2 H1 I1"));
  EXPECT_EQ(form.ComboBox3->itemText(3), form.ComboBox3->itemText(8));

  ASSERT_EQ(form.WeaponRows.size(), 8u);
  for (int r = 0; r < 8; ++r) {
    const WeaponRow& row = form.WeaponRows[static_cast<size_t>(r)];
    EXPECT_EQ(row.WeaponBox->geometry().topLeft(), QPoint(0, 210 + 20 * r));
    EXPECT_EQ(row.WeaponBox->width(), 370);
    EXPECT_EQ(row.WeaponBox->count(), kWeaponNameCount);
    EXPECT_EQ(row.DamageEdit->geometry().topLeft(), QPoint(372, 210 + 20 * r));
    EXPECT_EQ(row.AmmoEdit->geometry().topLeft(), QPoint(404, 210 + 20 * r));
    const bool ammoHidden = r == 0 || r == 1 || r == 4 || r == 5;
    EXPECT_EQ(row.AmmoEdit->isHidden(), ammoHidden) << "row " << r;
  }
  EXPECT_EQ(form.IconStripImage->geometry(), QRect(228, 0, 208, 24));
  EXPECT_EQ(form.SpritePreviewImage->geometry(), QRect(0, 44, 128, 80));

  // Entry 1 is shown, but no picture is drawn before the timer.
  EXPECT_EQ(form.Edit2->text(), QString::number(reference_->MsSlot(1)->cost));
  EXPECT_TRUE(form.startupDone);
  EXPECT_TRUE(form.Timer1->isActive());
  EXPECT_EQ(form.Timer1->interval(), 100);
  EXPECT_FALSE(form.SpritePreviewImage->HasPicture());
  EXPECT_FALSE(form.IconStripImage->HasPicture());

  QTRY_VERIFY_WITH_TIMEOUT(!form.Timer1->isActive(), 2000);
  EXPECT_TRUE(form.SpritePreviewImage->HasPicture());
  EXPECT_TRUE(form.IconStripImage->HasPicture());
}

TEST_F(StartupTest, DesignedControlsKeepTheirPlaceStateAndTabOrder) {
  CreateWindow();
  TForm1& form = *form_;
  EXPECT_EQ(form.ComboBox2->geometry(), QRect(0, 0, 225, 20));
  EXPECT_EQ(form.CheckBox17->geometry(), QRect(228 + 16 * 7, 26, 16, 17));
  EXPECT_EQ(form.Edit4->geometry(), QRect(251, 60, 32, 21));
  EXPECT_EQ(form.Edit43->geometry(), QRect(288, 104, 69, 21));
  EXPECT_EQ(form.Edit17->geometry(), QRect(388, 168, 37, 21));
  EXPECT_EQ(form.Button11->geometry(), QRect(372, 356, 69, 21));
  EXPECT_EQ(form.Label23->geometry(), QRect(8, 152, 429, 13));
  EXPECT_FALSE(form.Edit43->isEnabled());
  EXPECT_TRUE(form.Button11->isHidden());
  EXPECT_TRUE(form.Button11->toolTip().isEmpty());
  EXPECT_EQ(form.Button2->text(), QStringLiteral("Load ROM"));
  EXPECT_EQ(form.Button4->text(), QStringLiteral("Auto modify"));
  EXPECT_EQ(form.CheckBox2->toolTip(), QStringLiteral("Set all \"Product Turn\" to 1"));
  EXPECT_EQ(form.ComboBox3->maxVisibleItems(), 17);
  EXPECT_EQ(form.ComboBox2->maxVisibleItems(), 48);
  EXPECT_TRUE(form.OpenDialog().testOption(QFileDialog::DontUseNativeDialog));
  EXPECT_EQ(&form.OpenDialog(), form.OpenDialog1);  // one dialog for the whole run
  // Button2 is no tab stop; the designed chain starts ComboBox2, CheckBox17, Edit1.
  EXPECT_EQ(form.Button2->focusPolicy() & Qt::TabFocus, 0);
  EXPECT_EQ(form.ComboBox2->nextInFocusChain(), form.CheckBox17);
  EXPECT_EQ(form.CheckBox17->nextInFocusChain(), form.Edit1);
  EXPECT_EQ(form.Edit5->nextInFocusChain(), form.Button11);
  EXPECT_EQ(form.Edit17->nextInFocusChain(), form.Edit18);
}

TEST_F(StartupTest, LinesEndingInLineFeedsOnlyGiveTheSameLists) {
  WriteNameList(folder_.path(), 'E', NameListLines('E'), "\n");
  std::vector<std::string> longer = NameListLines('C', 420);
  WriteNameList(folder_.path(), 'C', longer);
  CreateWindow();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(form_->ComboBox2->itemText(0), QStringLiteral("001 Unit 1 單位1 ユニット1"));
}

TEST_F(StartupTest, EmptyNameLineLeavesTwoBlanks) {
  std::vector<std::string> lines = NameListLines('C');
  lines[1] = "";
  WriteNameList(folder_.path(), 'C', lines);
  CreateWindow();
  EXPECT_EQ(form_->ComboBox2->itemText(1), QStringLiteral("002 Unit 2  ユニット2"));
}

struct BrokenListCase {
  const char* name;
  char language;
  int lines;            // -1: the file is missing
  const char* message;  // "" when the message names the file
};

class BrokenNameListTest : public EditorTest,
                           public ::testing::WithParamInterface<BrokenListCase> {};

TEST_P(BrokenNameListTest, StartUpStopsAndLeavesThePartialWindow) {
  const BrokenListCase& c = GetParam();
  const QString file = QStringLiteral("namestring%1.txt").arg(QLatin1Char(c.language));
  if (c.lines < 0) {
    ASSERT_TRUE(QFile::remove(Path(file)));
  } else {
    WriteNameList(folder_.path(), c.language, NameListLines(c.language, c.lines));
  }
  CreateWindow();
  TForm1& form = *form_;
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  if (c.lines < 0) {
    EXPECT_EQ(dialogs_.errors[0],
              QStringLiteral("Cannot open file \"%1\". No such file or directory.")
                  .arg(QDir(folder_.path()).canonicalPath() + u'/' + file));
  } else {
    EXPECT_EQ(dialogs_.errors[0], QString::fromLatin1(c.message));
  }
  EXPECT_EQ(form.ComboBox3->count(), kMoveTypeItemCount);
  EXPECT_TRUE(form.WeaponRows.empty());
  EXPECT_EQ(form.ComboBox2->count(), 0);
  EXPECT_EQ(form.ComboBox2->currentIndex(), -1);
  EXPECT_FALSE(form.startupDone);
  EXPECT_EQ(dataSet_->msCount, 0);  // the data set was never loaded
  QTest::qWait(250);
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_FALSE(form.SpritePreviewImage->HasPicture());
  EXPECT_FALSE(form.IconStripImage->HasPicture());

  // With nothing selected the handlers change nothing and report nothing.
  const QString shown = form.Edit2->text();
  form.Edit2->setText(QStringLiteral("not a number"));
  form.Button1->click();
  form.ScrollBar3Change();
  EXPECT_EQ(form.Edit2->text(), QStringLiteral("not a number"));
  EXPECT_EQ(dialogs_.errors.size(), 1u);
  const DataSet empty{};
  EXPECT_EQ(
      std::memcmp(dataSet_->msRecords.data(), empty.msRecords.data(), sizeof(empty.msRecords)), 0);
  (void)shown;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BrokenNameListTest,
    ::testing::Values(BrokenListCase{"MissingC", 'C', -1, ""},
                      BrokenListCase{"MissingJ", 'J', -1, ""},
                      // Weapon names come first, E before C and J within an item.
                      BrokenListCase{"ShortE", 'E', 403, "List index out of bounds (403)"},
                      BrokenListCase{"ShortJ", 'J', 300, "List index out of bounds (300)"},
                      BrokenListCase{"EntryNamesOnlyC", 'C', 229,
                                     "List index out of bounds (229)"}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(StartupTest, MissingDataSetStopsAfterTheWeaponRows) {
  UnregisterResource(kDataSetResourceType, kDataSetResourceName);
  CreateWindow();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0], QStringLiteral("Resource MS_DATA not found."));
  EXPECT_EQ(form_->WeaponRows.size(), 8u);
  EXPECT_EQ(form_->ComboBox2->count(), 0);
  EXPECT_FALSE(form_->Timer1->isActive());
}

TEST_F(StartupTest, HandlerErrorsAreShownAndTheWindowGoesOn) {
  CreateWindow();
  form_->Edit3->setText(QStringLiteral("12a"));
  form_->Button1->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0], QStringLiteral("'12a' is not a valid integer value."));
  form_->Edit3->setText(QStringLiteral("$ff"));
  form_->Button1->click();
  EXPECT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dataSet_->MsSlot(1)->hp, 255);
}

TEST_F(StartupTest, Button11DoesNothingAndButton9WritesTheClipSet) {
  CreateWindow();
  form_->Button11->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("info/ms_anmset.dat"))));
  form_->Guarded([this] { form_->Button9Click(); });
  ASSERT_EQ(dialogs_.errors.size(), 1u);  // the folder info does not exist
  EXPECT_TRUE(dialogs_.errors[0].startsWith(QStringLiteral("Cannot create file")));
  ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("info")));
  form_->Guarded([this] { form_->Button9Click(); });
  EXPECT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_TRUE(QFile::exists(Path(QStringLiteral("info/ms_anmset.dat"))));
}

}  // namespace
}  // namespace varsk::testing
