// Load ROM, Save ROM and Auto modify driven through the window's buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <climits>
#include <cstring>
#include <random>

#include "app/window_frame.h"
#include "base/messages.h"
#include "editor_fixture.h"

namespace varsk::testing {
namespace {

constexpr qint64 kRomSize = 8 * 1024 * 1024;

QByteArray RandomBytes(qint64 size, unsigned seed) {
  QByteArray bytes(size, Qt::Uninitialized);
  std::mt19937 random(seed);
  for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
  return bytes;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll();
}

class RomButtonsTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    CreateWindow();
    ASSERT_TRUE(dialogs_.errors.empty());
    rom_ = RandomBytes(kRomSize, 1234);
    romPath_ = Path(QStringLiteral("game.rom"));
    WriteFile(romPath_, rom_);
  }
  // The records that the ROM's two tables give on top of `base`.
  std::unique_ptr<DataSet> Unpacked(const QByteArray& rom, const DataSet& base) {
    RomBuffers buffers;
    std::memcpy(buffers.ms.data(), rom.constData() + kMsTableOffset, kMsTableBytes);
    std::memcpy(buffers.ship.data(), rom.constData() + kShipTableOffset, kShipTableBytes);
    auto result = std::make_unique<DataSet>(base);
    UnpackRomTables(buffers, *result);
    return result;
  }
  QByteArray rom_;
  QString romPath_;
};

TEST_F(RomButtonsTest, LoadRomUnpacksBothTablesAndShowsTheSelectedEntryAnew) {
  const auto expected = Unpacked(rom_, *dataSet_);
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button2->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  ASSERT_EQ(dialogs_.dialogsShown.size(), 1u);
  EXPECT_EQ(dialogs_.dialogsShown[0], form_->OpenDialog1);
  EXPECT_EQ(std::memcmp(dataSet_->msRecords.data(), expected->msRecords.data(),
                        sizeof(expected->msRecords)),
            0);
  EXPECT_EQ(std::memcmp(dataSet_->shipRecords.data(), expected->shipRecords.data(),
                        sizeof(expected->shipRecords)),
            0);
  EXPECT_EQ(std::memcmp(romBuffers_->ms.data(), rom_.constData() + kMsTableOffset, kMsTableBytes),
            0);
  EXPECT_EQ(form_->Edit3->text(), QString::number(expected->MsSlot(1)->hp));
  EXPECT_FALSE(form_->HasUnsavedWork());
}

// The ROM named on the command line: the same load, and the dialog offers it.
TEST_F(RomButtonsTest, CommandLineRomLoadsAsLoadRomDoes) {
  const auto expected = Unpacked(rom_, *dataSet_);
  form_->LoadRomFromPath(QFile::encodeName(romPath_).toStdString());
  EXPECT_EQ(std::memcmp(dataSet_->msRecords.data(), expected->msRecords.data(),
                        sizeof(expected->msRecords)),
            0);
  EXPECT_EQ(form_->Edit3->text(), QString::number(expected->MsSlot(1)->hp));
  EXPECT_EQ(form_->OpenDialog().selectedFiles().value(0), romPath_);
  EXPECT_FALSE(form_->HasUnsavedWork());
}

// The everyday road: Load ROM, one value, Apply, Save ROM onto the same file
// changes that value and nothing else (the window showed the built-in values
// after Load ROM before, and Apply wrote them over the ROM's).
TEST_F(RomButtonsTest, LoadTypeApplySaveChangesOnlyTheTypedValue) {
  // A move type the list shows as itself (a value from 16 up shows the
  // seventeenth item, which Apply stores as 18).
  rom_[qsizetype{kMsTableOffset} + 9] = 5;
  WriteFile(romPath_, rom_);
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button2->click();
  form_->Edit3->setText(QStringLiteral("300"));
  form_->Button1->click();
  EXPECT_TRUE(form_->HasUnsavedWork());
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button3->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_TRUE(dialogs_.questions.empty());
  auto expected = Unpacked(rom_, *dataSet_);
  expected->MsSlot(1)->hp = 300;
  const auto saved = Unpacked(ReadFile(romPath_), *dataSet_);
  EXPECT_EQ(
      std::memcmp(saved->msRecords.data(), expected->msRecords.data(), sizeof(expected->msRecords)),
      0);
  EXPECT_EQ(std::memcmp(saved->shipRecords.data(), expected->shipRecords.data(),
                        sizeof(expected->shipRecords)),
            0);
  EXPECT_FALSE(form_->HasUnsavedWork());
}

// Without a loaded ROM the records are the built-in tables: writing them over
// a ROM's is asked first, Cancel (also Return and Escape) writes nothing.
TEST_F(RomButtonsTest, SaveRomWithoutALoadedRomAsksBeforeWritingTheBuiltInTables) {
  ChooseEntry(7);
  form_->Edit2->setText(QStringLiteral("513"));
  form_->Button1->click();
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button3->click();
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  const Question& question = dialogs_.questions[0];
  EXPECT_TRUE(question.text.contains(QStringLiteral("all 229 entries")));
  EXPECT_TRUE(question.text.contains(QStringLiteral("built-in")));
  EXPECT_TRUE(question.text.contains(QStringLiteral("\"%1\"").arg(romPath_)));
  EXPECT_EQ(question.buttons[question.defaultButton].text, QStringLiteral("Cancel"));
  EXPECT_EQ(question.buttons[question.escapeButton].text, QStringLiteral("Cancel"));
  EXPECT_EQ(dialogs_.LastAnswer(), QStringLiteral("Cancel"));
  EXPECT_EQ(ReadFile(romPath_), rom_);
  const RomBuffers zero{};
  EXPECT_EQ(std::memcmp(romBuffers_.get(), &zero, sizeof zero), 0);

  // Written on purpose, only the two tables change.
  dialogs_.fileAnswers.push_back(romPath_);
  dialogs_.answers.push_back(0);
  form_->Button3->click();
  EXPECT_EQ(dialogs_.LastAnswer(), QStringLiteral("Write"));
  EXPECT_TRUE(dialogs_.errors.empty());
  const QByteArray saved = ReadFile(romPath_);
  ASSERT_EQ(saved.size(), kRomSize);
  EXPECT_EQ(saved.left(kMsTableOffset), rom_.left(kMsTableOffset));
  EXPECT_EQ(saved.mid(kRomTablesEnd), rom_.mid(kRomTablesEnd));
  RomBuffers packed;
  PackRomTables(*dataSet_, packed);
  EXPECT_EQ(std::memcmp(saved.constData() + kMsTableOffset, packed.ms.data(), kMsTableBytes), 0);
  EXPECT_EQ(std::memcmp(saved.constData() + kShipTableOffset, packed.ship.data(), kShipTableBytes),
            0);
  // MS entry 8, cost at bytes 0..1 of its 50.
  const auto* entry = reinterpret_cast<const uint8_t*>(saved.constData()) + kMsTableOffset + 7 * 50;
  EXPECT_EQ(entry[0] | entry[1] << 8, 513);
  // The file now holds these records: saving to it again asks nothing.
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button3->click();
  EXPECT_EQ(dialogs_.questions.size(), 2u);
}

// A Load ROM taken back by undo leaves records that did not come from a ROM:
// Save ROM asks again before it writes them, also to the file just loaded.
TEST_F(RomButtonsTest, UndoPastLoadRomAsksAgainBeforeWritingTheBuiltInTables) {
  ChooseEntry(7);
  form_->Edit2->setText(QStringLiteral("513"));
  form_->Button1->click();  // a step before the load, so the load can be undone
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button2->click();
  form_->Edit2->setText(QStringLiteral("514"));
  form_->Button1->click();
  form_->UndoRecordChange();
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button3->click();  // the loaded records: no question
  EXPECT_TRUE(dialogs_.questions.empty());
  const QByteArray saved = ReadFile(romPath_);
  form_->UndoRecordChange();  // back before the load
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button3->click();
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_TRUE(dialogs_.questions[0].text.contains(QStringLiteral("built-in")));
  EXPECT_EQ(ReadFile(romPath_), saved);
  form_->RedoRecordChange();  // the loaded records again
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button3->click();
  EXPECT_EQ(dialogs_.questions.size(), 1u);
}

// Values typed but not applied: Save ROM asks whether to apply them first.
TEST_F(RomButtonsTest, SaveRomAsksAboutTypedValuesAndAppliesThemAllOrNothing) {
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button2->click();
  const int32_t loadedHp = dataSet_->MsSlot(1)->hp;
  form_->Edit3->setText(QStringLiteral("999"));
  form_->CheckBox9->setChecked(!form_->CheckBox9->isChecked());
  EXPECT_EQ(form_->TypedControls(),
            (std::vector<QString>{QStringLiteral("HP"), QStringLiteral("Fly")}));
  const auto savedHp = [this] {
    const auto saved = Unpacked(ReadFile(romPath_), *dataSet_);
    return saved->MsSlot(1)->hp;
  };

  form_->Button3->click();  // Escape: cancel
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_TRUE(
      dialogs_.questions[0].text.startsWith(QStringLiteral("HP and Fly hold typed values")));
  EXPECT_TRUE(dialogs_.dialogsShown.size() == 1u);  // no file dialog after Cancel

  dialogs_.answers.push_back(1);  // save without them
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button3->click();
  EXPECT_EQ(dialogs_.LastAnswer(), QStringLiteral("Save without them"));
  EXPECT_EQ(savedHp(), loadedHp);
  EXPECT_EQ(form_->Edit3->text(), QStringLiteral("999"));

  // A value Apply refuses stops the save with Apply's message.
  form_->Edit3->setText(QStringLiteral("70000"));
  dialogs_.answers.push_back(0);
  form_->Button3->click();
  EXPECT_EQ(dialogs_.LastAnswer(), QStringLiteral("Apply and save"));
  EXPECT_EQ(dialogs_.errors,
            (std::vector<QString>{QStringLiteral("HP: 70000 is out of range (0 to 65535).")}));
  EXPECT_EQ(savedHp(), loadedHp);
  EXPECT_EQ(dataSet_->MsSlot(1)->hp, loadedHp);

  form_->Edit3->setText(QStringLiteral("999"));
  dialogs_.answers.push_back(0);
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button3->click();
  EXPECT_EQ(dataSet_->MsSlot(1)->hp, 999);
  EXPECT_EQ(savedHp(), 999);
  EXPECT_TRUE(form_->TypedControls().empty());
}

// Closing asks while work is not saved; the saved state, reached again by
// undo, is no change.
TEST_F(RomButtonsTest, ClosingWithUnsavedWorkAsksAndCancelKeepsTheWindow) {
  form_->show();
  EXPECT_TRUE(form_->close());  // nothing changed: nothing asked
  EXPECT_TRUE(dialogs_.questions.empty());
  form_->show();
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button2->click();
  EXPECT_TRUE(form_->close());
  EXPECT_TRUE(dialogs_.questions.empty());

  form_->show();
  form_->Edit3->setText(QStringLiteral("321"));
  form_->Button1->click();
  EXPECT_FALSE(form_->close());  // Escape: cancel
  EXPECT_TRUE(form_->isVisible());
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_TRUE(dialogs_.questions[0].text.contains(QStringLiteral("\"%1\"").arg(romPath_)));
  // Undone back to what was loaded: nothing to lose.
  form_->UndoRecordChange();
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(dialogs_.questions.size(), 1u);

  // Typed, not applied: Save applies and writes to the loaded file.
  form_->show();
  form_->Edit3->setText(QStringLiteral("322"));
  dialogs_.answers.push_back(0);
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(dialogs_.LastAnswer(), QStringLiteral("Save"));
  EXPECT_EQ(Unpacked(ReadFile(romPath_), *dataSet_)->MsSlot(1)->hp, 322);

  // Discard closes without writing.
  form_->show();
  form_->Edit3->setText(QStringLiteral("323"));
  form_->Button1->click();
  dialogs_.answers.push_back(1);
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(Unpacked(ReadFile(romPath_), *dataSet_)->MsSlot(1)->hp, 322);
  EXPECT_TRUE(dialogs_.errors.empty());
}

// The window in its own title bar's frame (on Wayland): closing the frame asks
// as closing the window does.
TEST_F(RomButtonsTest, TheFrameOfTheOwnTitleBarClosesThroughTheWindow) {
  WindowFrame frame(*form_);
  EXPECT_EQ(frame.size(), QSize(kClientWidth, WindowFrame::kTitleBarHeight + kClientHeight));
  EXPECT_EQ(form_->geometry(), QRect(0, WindowFrame::kTitleBarHeight, kClientWidth, kClientHeight));
  EXPECT_EQ(frame.windowTitle(), QStringLiteral("Varsk Unit Editor"));
  frame.show();
  form_->Edit3->setText(QStringLiteral("321"));
  form_->Button1->click();
  EXPECT_FALSE(frame.close());  // Escape: cancel
  EXPECT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_TRUE(frame.isVisible());
  dialogs_.answers.push_back(1);  // discard
  EXPECT_TRUE(frame.close());
  form_->setParent(nullptr);  // the fixture deletes the window
}

// Never loaded nor saved: Save goes through the file dialog and the question
// about the built-in tables; cancelling either keeps the window open.
TEST_F(RomButtonsTest, ClosingUnsavedBuiltInRecordsSavesThroughTheDialog) {
  form_->show();
  form_->Edit3->setText(QStringLiteral("321"));
  form_->Button1->click();
  dialogs_.answers = {0};  // Save, then Escape at the built-in question
  dialogs_.fileAnswers.push_back(romPath_);
  EXPECT_FALSE(form_->close());
  EXPECT_EQ(ReadFile(romPath_), rom_);
  dialogs_.answers = {0, 0};  // Save, Write
  dialogs_.fileAnswers.push_back(romPath_);
  EXPECT_TRUE(form_->close());
  EXPECT_EQ(Unpacked(ReadFile(romPath_), *dataSet_)->MsSlot(1)->hp, 321);
}

TEST_F(RomButtonsTest, LoadThenSaveRoundTripsThroughTheWindow) {
  dialogs_.fileAnswers.push_back(romPath_);
  form_->Button2->click();
  const QString copy = Path(QStringLiteral("copy.rom"));
  WriteFile(copy, QByteArray(kRomSize, '\0'));
  dialogs_.fileAnswers.push_back(copy);
  form_->Button3->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  // Loading the saved file gives the same records again.
  const auto before = std::make_unique<DataSet>(*dataSet_);
  dialogs_.fileAnswers.push_back(copy);
  form_->Button2->click();
  EXPECT_EQ(
      std::memcmp(dataSet_->msRecords.data(), before->msRecords.data(), sizeof(before->msRecords)),
      0);
}

TEST_F(RomButtonsTest, ShortRomIsRejectedAndChangesNothing) {
  const QString shortRom = Path(QStringLiteral("short.rom"));
  const QByteArray shortBytes = rom_.left(kMsTableOffset + 5000);
  WriteFile(shortRom, shortBytes);
  const auto before = std::make_unique<DataSet>(*dataSet_);
  dialogs_.fileAnswers.push_back(shortRom);
  form_->Button2->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_TRUE(dialogs_.errors[0].contains(QStringLiteral("short.rom")));
  EXPECT_EQ(
      std::memcmp(dataSet_->msRecords.data(), before->msRecords.data(), sizeof(before->msRecords)),
      0);
  const RomBuffers zero{};
  EXPECT_EQ(std::memcmp(romBuffers_.get(), &zero, sizeof zero), 0);

  // The failed load is the reason Save ROM asks first.
  dialogs_.fileAnswers.push_back(shortRom);
  dialogs_.answers.push_back(0);
  form_->Button3->click();
  ASSERT_EQ(dialogs_.questions.size(), 1u);
  EXPECT_TRUE(dialogs_.questions[0].text.startsWith(QStringLiteral("The last Load ROM failed")));
  EXPECT_EQ(dialogs_.errors.size(), 2u);
  EXPECT_EQ(ReadFile(shortRom), shortBytes);
}

TEST_F(RomButtonsTest, MissingFileAndCancelChangeNothing) {
  dialogs_.fileAnswers.push_back(Path(QStringLiteral("nowhere.rom")));
  form_->Button2->click();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_TRUE(dialogs_.errors[0].startsWith(QStringLiteral("Cannot open file \"")));
  EXPECT_TRUE(dialogs_.errors[0].endsWith(QStringLiteral("No such file or directory.")));
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("nowhere.rom"))));

  dialogs_.fileAnswers.push_back(std::nullopt);
  form_->Button2->click();
  dialogs_.fileAnswers.push_back(std::nullopt);
  form_->Button3->click();
  EXPECT_EQ(dialogs_.errors.size(), 1u);
  const RomBuffers zero{};
  EXPECT_EQ(std::memcmp(romBuffers_.get(), &zero, sizeof zero), 0);
  EXPECT_EQ(ReadFile(romPath_), rom_);
}

// The real file dialog, answered as a person does: the name typed into its
// name field, then Return. Messages are recorded.
class TypingDialogs final : public EditorDialogs {
 public:
  QString typed;
  std::vector<QString> errors;
  bool popupLeftOpen = false;

  std::optional<QString> ChooseFile(QFileDialog& dialog) override {
    QTimer::singleShot(0, &dialog, [this, &dialog] {
      auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(name, nullptr);
      // Typed into the active dialog, as a person does.
      QApplication::setActiveWindow(&dialog);
      ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
      name->setFocus();
      name->selectAll();
      // Keys go where the keyboard goes: to the completion list while it is open.
      const auto target = [name] {
        QWidget* popup = QApplication::activePopupWidget();
        return popup != nullptr ? popup : name;
      };
      for (QChar c : typed) QTest::keyClick(target(), c.toLatin1());
      QTest::keyClick(target(), Qt::Key_Return);
    });
    // A dialog that refuses the name (with a warning box of its own) must not hang the test.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &dialog, [&dialog] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal != nullptr && modal != &dialog) modal->close();
      dialog.reject();
    });
    giveUp.start(3000);
    const std::optional<QString> chosen = ModalEditorDialogs().ChooseFile(dialog);
    popupLeftOpen = QApplication::activePopupWidget() != nullptr;
    return chosen;
  }
  void ShowError(QWidget* /*parent*/, const QString& text) override { errors.push_back(text); }
  // Every question is answered with its first button (Write, Apply and save).
  int Ask(QWidget* /*parent*/, const Question& /*question*/) override { return 0; }
};

TEST_F(RomButtonsTest, TheDialogTakesAnyTypedNameAndLeavesNoPopupOpen) {
  TypingDialogs typing;
  TForm1 form(EditorTables{*dataSet_, *animSets_, *romBuffers_}, typing);
  form.show();
  // The name completes as it is typed; its completion list closes with the dialog.
  typing.typed = romPath_;
  form.Button2->click();
  EXPECT_TRUE(typing.errors.empty());
  EXPECT_FALSE(typing.popupLeftOpen);
  EXPECT_EQ(std::memcmp(romBuffers_->ms.data(), rom_.constData() + kMsTableOffset, kMsTableBytes),
            0);
  // A name that does not exist is taken too: both buttons then say that the
  // file cannot be opened, and create nothing.
  const QString missing = Path(QStringLiteral("missing.rom"));
  typing.typed = missing;
  form.Button2->click();
  form.Button3->click();
  const QString expected = QString::fromStdString(WithFullStop(
      CannotOpenFileMessage(QFile::encodeName(missing).toStdString(), SystemErrorText(ENOENT))));
  EXPECT_EQ(typing.errors, (std::vector<QString>{expected, expected}));
  EXPECT_FALSE(QFile::exists(missing));
  EXPECT_EQ(ReadFile(romPath_), rom_);
}

// The file dialog's half is checked under a real X server without a window
// manager (x11_load_edit_save_test.sh).
TEST_F(RomButtonsTest, TheWindowHasTheKeyboardAgainOnceAMessageCloses) {
  form_->show();
  QApplication::setActiveWindow(form_.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  // Closed as soon as it is up, as by Return.
  QTimer::singleShot(0, [] {
    if (QWidget* box = QApplication::activeModalWidget()) box->close();
  });
  ModalEditorDialogs().ShowError(form_.get(), QStringLiteral("'x' is not a valid integer value."));
  EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
}

using EmptyRecordsTest = EditorTest;

TEST_F(EmptyRecordsTest, SaveRomRefusesRecordsThatWereNeverFilled) {
  // Start-up stops at the missing name list, before the data set.
  ASSERT_TRUE(QFile::remove(Path(QStringLiteral("namestringE.txt"))));
  CreateWindow();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  const QByteArray rom = RandomBytes(kRomSize, 99);
  const QString romPath = Path(QStringLiteral("game.rom"));
  WriteFile(romPath, rom);
  form_->Button3->click();
  ASSERT_EQ(dialogs_.errors.size(), 2u);
  EXPECT_EQ(dialogs_.errors[1], QString::fromStdString(WithFullStop(NothingToSaveMessage())));
  EXPECT_TRUE(dialogs_.dialogsShown.empty());  // refused before a file is chosen
  EXPECT_EQ(ReadFile(romPath), rom);

  // A loaded ROM fills the records: Save ROM then writes them.
  dialogs_.fileAnswers.push_back(romPath);
  form_->Button2->click();
  const QString copy = Path(QStringLiteral("copy.rom"));
  WriteFile(copy, rom);
  dialogs_.fileAnswers.push_back(copy);
  form_->Button3->click();
  EXPECT_EQ(dialogs_.errors.size(), 2u);
  EXPECT_EQ(
      ReadFile(copy),
      rom.left(kMsTableOffset) +
          QByteArray(reinterpret_cast<const char*>(romBuffers_->ms.data()), kMsTableBytes) +
          QByteArray(reinterpret_cast<const char*>(romBuffers_->ship.data()), kShipTableBytes) +
          rom.mid(kRomTablesEnd));
}

struct AutoModifyCase {
  const char* name;
  bool ammo, productTurn, supportTurn;
};

class AutoModifyTest : public EditorTest, public ::testing::WithParamInterface<AutoModifyCase> {};

TEST_P(AutoModifyTest, EachOptionBoxChangesOnlyItsFields) {
  const AutoModifyCase& c = GetParam();
  CreateWindow();
  MsRecord& ms = *dataSet_->MsSlot(10);
  ms.hp = 171;
  ms.weapons[2] = {12, 30, -16, 0, 0, 0, 1};
  ms.weapons[3] = {0, 30, -6, 0, 0, 0, 1};  // no weapon: left alone
  ms.productTurn = 5;
  ms.supportTurn = 4;
  dataSet_->MsSlot(11)->hp = INT32_MIN;  // the quotient does not fit 32 bits
  for (WeaponSlot& slot : dataSet_->MsSlot(11)->weapons) slot.weaponId = 0;
  dataSet_->MsSlot(11)->weapons[0] = {3, 1, -1, 0, 0, 0, 1};
  ShipRecord& ship = *dataSet_->ShipSlot(2);
  ship.productTurn = 3;
  ship.supportTurn = 0;
  const auto before = std::make_unique<DataSet>(*dataSet_);
  ChooseEntry(9);
  const QString shown = form_->Edit7->text();

  form_->CheckBox1->setChecked(c.ammo);
  form_->CheckBox2->setChecked(c.productTurn);
  form_->CheckBox5->setChecked(c.supportTurn);
  form_->Button4->click();
  EXPECT_TRUE(dialogs_.errors.empty());
  EXPECT_EQ(ms.weapons[2].ammo, c.ammo ? 10 : -16);
  EXPECT_EQ(ms.weapons[3].ammo, -6);
  EXPECT_EQ(dataSet_->MsSlot(11)->weapons[0].ammo, c.ammo ? INT32_MIN : -1);
  EXPECT_EQ(ms.productTurn, c.productTurn ? 1 : 5);
  EXPECT_EQ(ship.productTurn, c.productTurn ? 1 : 3);
  EXPECT_EQ(ms.supportTurn, c.supportTurn ? 1 : 4);
  EXPECT_EQ(ship.supportTurn, 0);
  if (!c.ammo && !c.productTurn && !c.supportTurn) {
    EXPECT_EQ(std::memcmp(dataSet_->msRecords.data(), before->msRecords.data(),
                          sizeof(before->msRecords)),
              0);
  }
  EXPECT_EQ(form_->Edit7->text(), QString::number(ms.productTurn));  // shown anew
  EXPECT_EQ(shown, QStringLiteral("5"));

  // A second press changes nothing more (as long as no hp is negative).
  dataSet_->MsSlot(11)->weapons[0].weaponId = 0;
  const auto once = std::make_unique<DataSet>(*dataSet_);
  form_->Button4->click();
  EXPECT_EQ(
      std::memcmp(dataSet_->msRecords.data(), once->msRecords.data(), sizeof(once->msRecords)), 0);
}

INSTANTIATE_TEST_SUITE_P(Options, AutoModifyTest,
                         ::testing::Values(AutoModifyCase{"None", false, false, false},
                                           AutoModifyCase{"Ammo", true, false, false},
                                           AutoModifyCase{"ProductTurn", false, true, false},
                                           AutoModifyCase{"SupportTurn", false, false, true},
                                           AutoModifyCase{"All", true, true, true}),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

}  // namespace
}  // namespace varsk::testing
