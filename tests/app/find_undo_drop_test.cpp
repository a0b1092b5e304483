// Typing to find an entry or a weapon, undo and redo of record changes with
// their keys, and a ROM file dropped on the window.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <cstring>
#include <random>

#include "data/rom_file.h"
#include "data/rom_tables.h"
#include "editor_fixture.h"

namespace varsk::testing {
namespace {

// Both record tables, byte for byte.
QByteArray Records(const DataSet& dataSet) {
  QByteArray bytes(reinterpret_cast<const char*>(dataSet.msRecords.data()),
                   sizeof dataSet.msRecords);
  bytes.append(reinterpret_cast<const char*>(dataSet.shipRecords.data()),
               sizeof dataSet.shipRecords);
  return bytes;
}

class FindUndoDropTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    CreateWindow();
    ASSERT_TRUE(dialogs_.errors.empty());
    form_->show();
    QApplication::setActiveWindow(form_.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    // A shorter pause between searches keeps the test quick; it is still far
    // longer than the gap between two keys of one search.
    keyboardInterval_ = QApplication::keyboardInputInterval();
    QApplication::setKeyboardInputInterval(200);
  }
  void TearDown() override {
    QApplication::setKeyboardInputInterval(keyboardInterval_);
    EditorTest::TearDown();
  }
  // A ROM just long enough for the tables, with tables of random bytes.
  QString WriteRom(const QString& name) {
    QByteArray rom(kRomTablesEnd, '\0');
    std::mt19937 random(77);
    for (qsizetype i = kMsTableOffset; i < kRomTablesEnd; ++i) rom[i] = static_cast<char>(random());
    QFile file(Path(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(rom);
    return file.fileName();
  }
  int keyboardInterval_ = 0;
  QString ShownCost(int entryIndex) const {
    return QString::number(reference_->MsSlot(entryIndex)->cost);
  }
  static void WaitForANewSearch() { QTest::qWait(QApplication::keyboardInputInterval() + 50); }
  void Key(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
    widget->setFocus();
    QTest::keyClick(widget, key, modifiers);
  }
};

TEST_F(FindUndoDropTest, TypingFindsAnyPartOfAnItemAndAgainTheNextOne) {
  QComboBox* entries = form_->ComboBox2;
  entries->setFocus();
  QTest::keyClicks(entries, QStringLiteral("UNIT 15"));
  EXPECT_EQ(entries->currentIndex(), 14);
  EXPECT_EQ(form_->Edit2->text(), ShownCost(15));  // shown as a choice with the mouse shows it
  WaitForANewSearch();
  QTest::keyClicks(entries, QStringLiteral("unit 15"));
  EXPECT_EQ(entries->currentIndex(), 149);
  EXPECT_EQ(form_->Edit2->text(), ShownCost(150));

  // In the open list the search moves the highlight; Return chooses it.
  WaitForANewSearch();
  entries->showPopup();
  QAbstractItemView* list = entries->view();
  ASSERT_TRUE(list->isVisible());
  QTest::keyClicks(list, QStringLiteral("unit 190"));
  EXPECT_EQ(entries->currentIndex(), 149);
  QTest::keyClick(list, Qt::Key_Return);
  EXPECT_EQ(entries->currentIndex(), 189);
  EXPECT_EQ(form_->Edit2->text(), ShownCost(190));

  // Text that an input method commits, in a weapon list: from weapon 18 (row 2
  // of entry 190) "器12" finds "武器120".
  QComboBox* weapons = form_->WeaponRows[2].WeaponBox;
  weapons->setFocus();
  QInputMethodEvent chinese;
  chinese.setCommitString(QString::fromUtf8("器12"));
  QApplication::sendEvent(weapons, &chinese);
  EXPECT_EQ(weapons->currentIndex(), 120);
}

TEST_F(FindUndoDropTest, TypingANumberStillChoosesThatEntry) {
  QComboBox* entries = form_->ComboBox2;
  entries->setFocus();
  QTest::keyClicks(entries, QStringLiteral("012"));
  EXPECT_EQ(entries->currentIndex(), 11);
  EXPECT_EQ(form_->Edit2->text(), ShownCost(12));
  QComboBox* weapons = form_->WeaponRows[0].WeaponBox;
  weapons->setFocus();
  QTest::keyClicks(weapons, QStringLiteral("150"));
  EXPECT_EQ(weapons->currentIndex(), 150);
}

TEST_F(FindUndoDropTest, UndoAndRedoRestoreTheRecordsOfApplyAutoModifyAndLoadRom) {
  std::vector<QByteArray> states{Records(*dataSet_)};
  ChooseEntry(11);
  form_->Edit3->setText(QStringLiteral("777"));
  form_->Button1->click();
  states.push_back(Records(*dataSet_));
  // Refused for an empty Edit1: nothing stored, no step.
  form_->Edit3->setText(QStringLiteral("778"));
  form_->Edit1->clear();
  form_->Button1->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dataSet_->MsSlot(12)->hp, 777);
  // An Apply that changes nothing is no step.
  ChooseEntry(11);
  form_->Button1->click();
  form_->CheckBox2->setChecked(true);
  form_->Button4->click();
  states.push_back(Records(*dataSet_));
  dialogs_.fileAnswers.push_back(WriteRom(QStringLiteral("game.rom")));
  form_->Button2->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  states.push_back(Records(*dataSet_));
  for (size_t s = 1; s < states.size(); ++s) ASSERT_TRUE(states[s] != states[s - 1]) << s;

  // From the entry list, as from any control but an edit.
  for (int s = static_cast<int>(states.size()) - 2; s >= 0; --s) {
    Key(form_->ComboBox2, Qt::Key_Z);
    EXPECT_TRUE(Records(*dataSet_) == states[s]) << "undo to " << s;
    EXPECT_EQ(form_->Edit3->text(), QString::number(dataSet_->MsSlot(12)->hp));
  }
  EXPECT_EQ(form_->Edit3->text(), QString::number(reference_->MsSlot(12)->hp));
  Key(form_->ComboBox2, Qt::Key_Z);
  EXPECT_TRUE(Records(*dataSet_) == states[0]);
  for (size_t s = 1; s < states.size(); ++s) {
    Key(form_->Button1, s % 2 == 1 ? Qt::Key_Y : Qt::Key_Z,
        s % 2 == 1 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(Records(*dataSet_) == states[s]) << "redo to " << s;
  }
  EXPECT_EQ(dialogs_.errors.size(), 1u);
}

TEST_F(FindUndoDropTest, InAnEditCtrlZTakesBackTypingNotYetAppliedBeforeTheRecords) {
  const QByteArray before = Records(*dataSet_);
  const QString hp = form_->Edit3->text();
  form_->Edit3->selectAll();
  QTest::keyClicks(form_->Edit3, QStringLiteral("500"));
  form_->Button1->click();
  const QByteArray applied = Records(*dataSet_);
  QTest::keyClicks(form_->Edit3, QStringLiteral("1"));
  Key(form_->Edit3, Qt::Key_Z);
  EXPECT_EQ(form_->Edit3->text(), QStringLiteral("500"));
  EXPECT_TRUE(Records(*dataSet_) == applied);
  // The typing of "500" was applied: it goes back with the records.
  Key(form_->Edit3, Qt::Key_Z);
  EXPECT_TRUE(Records(*dataSet_) == before);
  EXPECT_EQ(form_->Edit3->text(), hp);
  Key(form_->Edit3, Qt::Key_Y);
  EXPECT_TRUE(Records(*dataSet_) == applied);
}

// Ctrl+O and Ctrl+S run Load ROM and Save ROM wherever the keyboard is.
TEST_F(FindUndoDropTest, CtrlOAndCtrlSLoadAndSaveFromAnyControl) {
  const QString rom = WriteRom(QStringLiteral("keys.gba"));
  dialogs_.fileAnswers.push_back(rom);
  Key(form_->Edit3, Qt::Key_O);
  ASSERT_EQ(dialogs_.dialogsShown.size(), 1u);
  RomBuffers buffers;
  ReadRomTables(QFile::encodeName(rom).toStdString(), buffers);
  EXPECT_EQ(std::memcmp(romBuffers_->ms.data(), buffers.ms.data(), kMsTableBytes), 0);
  form_->Edit3->setText(QStringLiteral("77"));
  form_->Button1->click();
  dialogs_.fileAnswers.push_back(rom);
  Key(form_->ComboBox2, Qt::Key_S);
  EXPECT_EQ(dialogs_.dialogsShown.size(), 2u);
  ReadRomTables(QFile::encodeName(rom).toStdString(), buffers);
  EXPECT_EQ(buffers.ms[2] | buffers.ms[3] << 8, 77);  // entry 1's HP
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_TRUE(form_->Button2->toolTip().endsWith(QStringLiteral("(Ctrl+O)")));
}

TEST_F(FindUndoDropTest, OneDroppedFileIsLoadedAsLoadRomLoadsIt) {
  const QString rom = WriteRom(QStringLiteral("dropped.gba"));
  RomBuffers buffers;
  auto expected = std::make_unique<DataSet>(*dataSet_);
  LoadRomFile(QFile::encodeName(rom).toStdString(), buffers, *expected);
  const auto dropOn = [](QWidget* target, const QMimeData& data) {
    const QPoint inside(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QApplication::processEvents();
    return true;
  };

  QMimeData twoFiles, folder, text, oneFile;
  twoFiles.setUrls({QUrl::fromLocalFile(rom), QUrl::fromLocalFile(rom)});
  folder.setUrls({QUrl::fromLocalFile(QDir::currentPath())});
  text.setText(rom);
  for (const QMimeData* refused : {&twoFiles, &folder, &text}) {
    EXPECT_FALSE(dropOn(form_.get(), *refused));
  }
  // On an edit the file is the window's, not text for the edit.
  oneFile.setUrls({QUrl::fromLocalFile(rom)});
  EXPECT_TRUE(dropOn(form_->Edit3, oneFile));
  EXPECT_TRUE(Records(*dataSet_) == Records(*expected));
  EXPECT_EQ(form_->Edit3->text(), QString::number(expected->MsSlot(1)->hp));

  // The checks and messages of Load ROM.
  QFile::resize(rom, kMsTableOffset);
  EXPECT_TRUE(dropOn(form_.get(), oneFile));
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_TRUE(dialogs_.errors[0].contains(QStringLiteral("dropped.gba")));
  EXPECT_TRUE(Records(*dataSet_) == Records(*expected));
}

}  // namespace
}  // namespace varsk::testing
