// The window fed bad files through its real code paths, with the dialogs
// answered by the test: name lists that are missing, one line short or random
// bytes with zero bytes and lone CRs; ROMs that are too short, read-only, a
// directory, or on a full disk. Each shows the message that names the fault,
// and neither the records nor any file change.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <cerrno>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/editor_fixture.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "base/shown_text.h"
#include "data/name_list.h"
#include "data/rom_file.h"
#include "data/rom_tables.h"
#include "fault_support.h"

namespace varsk::faults {
namespace {

using testing::EditorTest;

QString Shown(const std::string& message) { return QString::fromStdString(WithFullStop(message)); }

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString ListFile(char language) {
  return QStringLiteral("namestring%1.txt").arg(QLatin1Char(language));
}

// The three name lists' bytes, to see that start-up never writes them.
std::vector<QByteArray> NameListBytes(const QString& folder) {
  std::vector<QByteArray> lists;
  for (char language : {'C', 'E', 'J'}) {
    lists.push_back(ReadFile(folder + QLatin1Char('/') + ListFile(language)));
  }
  return lists;
}

// Random bytes in which CR, LF and zero bytes are common.
QByteArray NoisyBytes(unsigned seed, qsizetype size, bool withZeroBytes) {
  std::mt19937 random(seed);
  QByteArray bytes(size, Qt::Uninitialized);
  for (char& b : bytes) {
    const unsigned r = random() % 64;
    b = r == 0 ? '\r' : r == 1 ? '\n' : static_cast<char>(1 + random() % 255);
    if (withZeroBytes && r == 2) b = '\0';
  }
  return bytes;
}

class WindowBadNameList : public EditorTest {
 protected:
  // Start-up stopped at the name lists: no weapon rows, no entries, no data set.
  void ExpectStartupStoppedAtTheNameLists() {
    EXPECT_EQ(form_->ComboBox2->count(), 0);
    EXPECT_TRUE(form_->WeaponRows.empty());
    EXPECT_FALSE(form_->startupDone);
    EXPECT_EQ(dataSet_->msCount, 0);
    EXPECT_EQ(dataSet_->MsSlot(1)->ownIndex, 0);
  }
};

class WindowNameListPerLanguage : public WindowBadNameList,
                                  public ::testing::WithParamInterface<char> {};

TEST_P(WindowNameListPerLanguage, MissingListShowsCannotOpenWithTheFullPath) {
  const char language = GetParam();
  ASSERT_TRUE(QFile::remove(Path(ListFile(language))));
  const std::vector<QByteArray> before = NameListBytes(folder_.path());
  CreateWindow();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0], Shown(CannotOpenFileMessage(Native(Path(ListFile(language))),
                                                            SystemErrorText(ENOENT))));
  ExpectStartupStoppedAtTheNameLists();
  EXPECT_EQ(NameListBytes(folder_.path()), before);
  EXPECT_FALSE(QFile::exists(Path(ListFile(language))));
}

TEST_P(WindowNameListPerLanguage, ListOfWeaponNamesOneLineShortShowsIndex403) {
  const char language = GetParam();
  testing::WriteNameList(folder_.path(), language, testing::NameListLines(language, 403));
  const std::vector<QByteArray> before = NameListBytes(folder_.path());
  CreateWindow();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  // Ends in ")": no full stop is added.
  EXPECT_EQ(dialogs_.errors[0], QStringLiteral("List index out of bounds (403)"));
  ExpectStartupStoppedAtTheNameLists();
  EXPECT_EQ(NameListBytes(folder_.path()), before);
}

TEST_P(WindowNameListPerLanguage, RandomBytesWithZeroBytesAndLoneCrs) {
  const char language = GetParam();
  const QByteArray noise = NoisyBytes(static_cast<unsigned>(language), 20000, true);
  WriteFile(Path(ListFile(language)), noise);
  const std::vector<QByteArray> before = NameListBytes(folder_.path());
  // The text ends at the first zero byte; the first missing line is a weapon
  // name (index 229 and up) since those are read before the entry names.
  const NameList lines = SplitNameList(
      {reinterpret_cast<const uint8_t*>(noise.constData()), static_cast<size_t>(noise.size())});
  ASSERT_LT(lines.size(), 404u);
  const int64_t firstMissing = std::max<int64_t>(static_cast<int64_t>(lines.size()), 229);
  CreateWindow();
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0], Shown(ListIndexOutOfBoundsMessage(firstMissing)));
  ExpectStartupStoppedAtTheNameLists();
  EXPECT_EQ(NameListBytes(folder_.path()), before);
}

TEST_P(WindowNameListPerLanguage, RandomBytesWithEnoughLinesOpenTheWindow) {
  const char language = GetParam();
  QByteArray noise = NoisyBytes(static_cast<unsigned>(language) + 100, 60000, false);
  const NameList lines = SplitNameList(
      {reinterpret_cast<const uint8_t*>(noise.constData()), static_cast<size_t>(noise.size())});
  ASSERT_GE(lines.size(), 404u);
  WriteFile(Path(ListFile(language)), noise);
  CreateWindow();
  EXPECT_TRUE(dialogs_.errors.empty());
  ASSERT_EQ(form_->ComboBox2->count(), kEntryListCount);
  EXPECT_TRUE(form_->ComboBox2->itemText(0).startsWith(QStringLiteral("001 ")));
  EXPECT_TRUE(form_->ComboBox2->itemText(228).startsWith(QStringLiteral("229 ")));
  EXPECT_EQ(form_->WeaponNames.size(), 176);
  EXPECT_EQ(dataSet_->msCount, reference_->msCount);
}

INSTANTIATE_TEST_SUITE_P(Languages, WindowNameListPerLanguage, ::testing::Values('C', 'E', 'J'),
                         [](const auto& tpi) { return std::string(1, tpi.param); });

// ---------------------------------------------------------------------------
// ROM files through "Load ROM" and "Save ROM"

class WindowBadRom : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    CreateWindow();
    ASSERT_TRUE(dialogs_.errors.empty());
    rom_ = Path(QStringLiteral("game.gba"));
    recordsBefore_ = std::make_unique<DataSet>(*dataSet_);
    buffersBefore_ = *romBuffers_;
  }
  void ExpectRecordsUnchanged() {
    EXPECT_EQ(std::memcmp(dataSet_->msRecords.data(), recordsBefore_->msRecords.data(),
                          sizeof dataSet_->msRecords),
              0);
    EXPECT_EQ(std::memcmp(dataSet_->shipRecords.data(), recordsBefore_->shipRecords.data(),
                          sizeof dataSet_->shipRecords),
              0);
  }
  void Load(const QString& path) {
    dialogs_.fileAnswers.push_back(path);
    form_->Button2->click();
  }
  // Save ROM with the built-in tables written on purpose when it asks.
  void Save(const QString& path) {
    dialogs_.fileAnswers.push_back(path);
    dialogs_.answers = {0};
    form_->Button3->click();
  }
  QString rom_;
  std::unique_ptr<DataSet> recordsBefore_;
  RomBuffers buffersBefore_;
};

class WindowShortRom : public WindowBadRom, public ::testing::WithParamInterface<qsizetype> {};

TEST_P(WindowShortRom, LoadRomRefusesItAndKeepsRecordsAndBuffers) {
  const QByteArray bytes = SyntheticRom(21).left(GetParam());
  WriteFile(rom_, bytes);
  Load(rom_);
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0],
            Shown(RomTooShortMessage(Native(rom_), bytes.size(), kRomTablesEnd)));
  ExpectRecordsUnchanged();
  EXPECT_EQ(romBuffers_->ms, buffersBefore_.ms);
  EXPECT_EQ(romBuffers_->ship, buffersBefore_.ship);
  EXPECT_EQ(ReadFile(rom_), bytes);
}

TEST_P(WindowShortRom, SaveRomRefusesItAndTheFileDoesNotGrow) {
  const QByteArray bytes = SyntheticRom(22).left(GetParam());
  WriteFile(rom_, bytes);
  Save(rom_);
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0],
            Shown(RomTooShortMessage(Native(rom_), bytes.size(), kRomTablesEnd)));
  ExpectRecordsUnchanged();
  EXPECT_EQ(ReadFile(rom_), bytes);
}

INSTANTIATE_TEST_SUITE_P(Sizes, WindowShortRom,
                         ::testing::Values(qsizetype{0}, qsizetype{100}, qsizetype{kMsTableOffset},
                                           qsizetype{kRomTablesEnd - 1}));

TEST_F(WindowBadRom, ReadOnlyRomLoadsButSaveRomShowsCannotOpen) {
  const QByteArray bytes = SyntheticRom(23);
  WriteFile(rom_, bytes);
  ReadOnlyFile readOnly(rom_);
  if (!readOnly.Ok()) GTEST_SKIP() << readOnly.Reason();
  Load(rom_);
  EXPECT_TRUE(dialogs_.errors.empty());
  const auto loaded = std::make_unique<DataSet>(*dataSet_);
  Save(rom_);
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0],
            Shown(CannotOpenFileMessage(Native(rom_), SystemErrorText(readOnly.OpenError()))));
  EXPECT_EQ(
      std::memcmp(dataSet_->msRecords.data(), loaded->msRecords.data(), sizeof loaded->msRecords),
      0);
  EXPECT_EQ(ReadFile(rom_), bytes);
}

TEST_F(WindowBadRom, DirectoryGivenAsTheRomShowsCannotOpen) {
  ASSERT_TRUE(QDir().mkdir(rom_));
  Load(rom_);
  Save(rom_);
  const QString expected = Shown(CannotOpenFileMessage(Native(rom_), SystemErrorText(EISDIR)));
  EXPECT_EQ(dialogs_.errors, (std::vector<QString>{expected, expected}));
  ExpectRecordsUnchanged();
  EXPECT_TRUE(QFileInfo(rom_).isDir());
}

TEST_F(WindowBadRom, MissingRomShowsCannotOpenAndCreatesNothing) {
  Load(rom_);
  Save(rom_);
  const QString expected = Shown(CannotOpenFileMessage(Native(rom_), SystemErrorText(ENOENT)));
  EXPECT_EQ(dialogs_.errors, (std::vector<QString>{expected, expected}));
  ExpectRecordsUnchanged();
  EXPECT_FALSE(QFileInfo::exists(rom_));
}

// The disk fills half way through the tables: the first write comes up
// short, the next one fails.
int writeCalls = 0;
ssize_t FillingWrite(int fd, const void* data, size_t count, off_t offset) {
  if (++writeCalls == 2) {
    errno = ENOSPC;
    return -1;
  }
  return ::pwrite(fd, data, writeCalls == 1 ? count / 2 : count, offset);
}

TEST_F(WindowBadRom, SaveRomOnAFullDiskShowsTheErrorAndLeavesNoHalfTable) {
  const QByteArray bytes = SyntheticRom(24);
  WriteFile(rom_, bytes);
  writeCalls = 0;
  FileCalls filling;
  filling.pwrite = &FillingWrite;
  SetFileCallsForTesting(filling);
  Save(rom_);
  SetFileCallsForTesting(FileCalls{});
  ASSERT_EQ(dialogs_.errors.size(), 1u);
  EXPECT_EQ(dialogs_.errors[0],
            Shown(CannotWriteFileMessage(Native(rom_), SystemErrorText(ENOSPC))));
  EXPECT_TRUE(ReadFile(rom_) == bytes) << "the half-written tables were not put back";
  ExpectRecordsUnchanged();
}

}  // namespace
}  // namespace varsk::faults
