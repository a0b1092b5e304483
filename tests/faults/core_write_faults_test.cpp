// Save ROM (WriteRomTables) and the clip set export under failing writes: a
// full disk (a write seam and a real file-size limit), a read-only file, a
// folder that has gone, and a directory where the file was. Each reports a
// clear error, and the file on disk is either as it was or completely
// written, never half.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "base/file_io.h"
#include "base/messages.h"
#include "base/shown_text.h"
#include "data/data_set.h"
#include "data/rom_file.h"
#include "data/rom_tables.h"
#include "fault_support.h"
#include "graphics/clip_export.h"

namespace varsk::faults {
namespace {

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

// The write seam: positional writes counted from 1; write `shortCall` puts
// down only `partial` bytes, write `failingCall` fails with ENOSPC.
struct WritePlan {
  int failingCall = 0;
  int shortCall = 0;
  size_t partial = 0;
  int calls = 0;
};
WritePlan plan;

ssize_t PlannedWrite(int fd, const void* data, size_t count, off_t offset) {
  ++plan.calls;
  if (plan.calls == plan.failingCall) {
    errno = ENOSPC;
    return -1;
  }
  if (plan.calls == plan.shortCall) count = std::min(count, plan.partial);
  return ::pwrite(fd, data, count, offset);
}

// Restores pwrite whatever the test does.
struct SeamGuard {
  explicit SeamGuard(WritePlan p) {
    plan = p;
    FileCalls planned;
    planned.pwrite = &PlannedWrite;
    SetFileCallsForTesting(planned);
  }
  ~SeamGuard() { SetFileCallsForTesting(FileCalls{}); }
};

// Records whose packed image differs from the synthetic ROM's tables almost everywhere.
RomBuffers NewTables() {
  RomBuffers buffers;
  for (size_t i = 0; i < buffers.ms.size(); ++i) buffers.ms[i] = static_cast<uint8_t>(~i);
  for (size_t i = 0; i < buffers.ship.size(); ++i) buffers.ship[i] = static_cast<uint8_t>(i * 3);
  return buffers;
}

QByteArray FullyWritten(QByteArray rom, const RomBuffers& buffers) {
  std::memcpy(rom.data() + kMsTableOffset, buffers.ms.data(), buffers.ms.size());
  std::memcpy(rom.data() + kShipTableOffset, buffers.ship.data(), buffers.ship.size());
  return rom;
}

// ---------------------------------------------------------------------------
// Save ROM

struct SaveRomCase {
  const char* name;
  // Runs the save in the case's conditions; returns false to skip the case.
  std::function<bool(const QString& rom, std::string& skipReason)> save;
  // The message expected for the ROM's full path.
  std::function<std::string(const std::string& fullPath)> message;
};

void PrintTo(const SaveRomCase& c, std::ostream* os) { *os << c.name; }

class SaveRomFault : public ::testing::TestWithParam<SaveRomCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    rom_ = dir_.filePath(QStringLiteral("game.gba"));
    original_ = SyntheticRom(7);
    WriteFile(rom_, original_);
  }
  QTemporaryDir dir_;
  QString rom_;
  QByteArray original_;
};

TEST_P(SaveRomFault, ReportsTheFailureAndNeverLeavesHalfATable) {
  const SaveRomCase& c = GetParam();
  std::string skipReason;
  std::string message;
  bool threw = false;
  try {
    if (!c.save(rom_, skipReason)) GTEST_SKIP() << skipReason;
  } catch (const VarskError& error) {
    threw = true;
    message = error.what();
  }
  ASSERT_TRUE(threw) << "the failed save was reported as success";
  EXPECT_EQ(message, c.message(FullPath(Native(rom_))));

  const QFileInfo info(rom_);
  if (info.isFile()) {
    const QByteArray now = ReadFile(rom_);
    const bool unchanged = now == original_;
    const bool complete = now == FullyWritten(original_, NewTables());
    EXPECT_TRUE(unchanged || complete) << "the ROM on disk is half written";
  }
}

std::string WriteFailed(const std::string& path, int error) {
  return CannotWriteFileMessage(path, SystemErrorText(error));
}

const SaveRomCase kSaveRomCases[] = {
    {"DiskFullOnTheMsTable",
     [](const QString& rom, std::string&) {
       SeamGuard seam({1});
       WriteRomTables(Native(rom), NewTables());
       return true;
     },
     [](const std::string& path) { return WriteFailed(path, ENOSPC); }},
    {"DiskFullOnTheShipTable",
     [](const QString& rom, std::string&) {
       // The MS table went through; the disk fills before the ship table.
       SeamGuard seam({2, 1, kMsTableBytes});
       WriteRomTables(Native(rom), NewTables());
       return true;
     },
     [](const std::string& path) { return WriteFailed(path, ENOSPC); }},
    {"ShortWriteThenDiskFull",
     [](const QString& rom, std::string&) {
       SeamGuard seam({2, 1, 4000});
       WriteRomTables(Native(rom), NewTables());
       return true;
     },
     [](const std::string& path) { return WriteFailed(path, ENOSPC); }},
    {"FileSizeLimitInsideTheMsTable",
     [](const QString& rom, std::string&) {
       // The kernel cuts the write short at the limit, then refuses with EFBIG.
       FileSizeLimit limit(kMsTableOffset + 5000);
       WriteRomTables(Native(rom), NewTables());
       return true;
     },
     [](const std::string& path) { return WriteFailed(path, EFBIG); }},
    {"ReadOnlyFile",
     [](const QString& rom, std::string& skip) {
       ReadOnlyFile readOnly(rom);
       if (!readOnly.Ok()) {
         skip = readOnly.Reason();
         return false;
       }
       WriteRomTables(Native(rom), NewTables());
       return true;
     },
     [](const std::string& path) {
       // Root meets the immutable flag (EPERM), anyone else the mode (EACCES).
       return CannotOpenFileMessage(path, SystemErrorText(::geteuid() == 0 ? EPERM : EACCES));
     }},
    {"FolderHasGone",
     [](const QString& rom, std::string&) {
       QDir(QFileInfo(rom).path()).removeRecursively();
       WriteRomTables(Native(rom), NewTables());
       return true;
     },
     [](const std::string& path) { return CannotOpenFileMessage(path, SystemErrorText(ENOENT)); }},
    {"DirectoryWhereTheFileWas",
     [](const QString& rom, std::string&) {
       QFile::remove(rom);
       QDir().mkdir(rom);
       WriteRomTables(Native(rom), NewTables());
       return true;
     },
     [](const std::string& path) { return CannotOpenFileMessage(path, SystemErrorText(EISDIR)); }},
};

INSTANTIATE_TEST_SUITE_P(Faults, SaveRomFault, ::testing::ValuesIn(kSaveRomCases),
                         [](const auto& tpi) { return std::string(tpi.param.name); });

TEST(SaveRomFaultSeam, SavingAgainOnceTheDiskHasRoomWritesEverything) {
  // After a failed save the next save, with the disk no longer full, completes.
  QTemporaryDir dir;
  const QString rom = dir.filePath(QStringLiteral("game.gba"));
  const QByteArray original = SyntheticRom(9);
  WriteFile(rom, original);
  {
    SeamGuard seam({1});
    EXPECT_THROW(WriteRomTables(Native(rom), NewTables()), VarskError);
  }
  WriteRomTables(Native(rom), NewTables());
  EXPECT_EQ(ReadFile(rom), FullyWritten(original, NewTables()));
}

// ---------------------------------------------------------------------------
// Clip set export

std::unique_ptr<DataSet> ClipDataSet() {
  auto dataSet = std::make_unique<DataSet>();
  for (int k = 0; k < 150; ++k) {
    ClipRecord& clip = dataSet->clips[static_cast<size_t>(k)];
    clip.cols = 8;
    clip.rows = 6;
    for (int cell = 0; cell < kClipCells; ++cell) clip.tile[cell] = static_cast<uint8_t>(cell + k);
  }
  return dataSet;
}

class ClipExportFault : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    info_ = dir_.filePath(QStringLiteral("info"));
    ASSERT_TRUE(QDir().mkdir(info_));
    path_ = info_ + QStringLiteral("/ms_anmset.dat");
    WriteFile(path_, old_);
  }
  // Runs the export and returns its error message ("" when it succeeded).
  std::string Export() {
    try {
      SaveClipSet(*dataSet_, Native(path_));
    } catch (const VarskError& error) {
      return error.what();
    }
    return {};
  }
  // The old file stands as it was and nothing else was left in the folder.
  void ExpectOldFileAlone() {
    EXPECT_EQ(ReadFile(path_), old_);
    EXPECT_EQ(FolderEntries(info_), QStringList{QStringLiteral("ms_anmset.dat")});
  }
  QTemporaryDir dir_;
  QString info_;
  QString path_;
  const QByteArray old_ = QByteArray("an earlier export");
  std::unique_ptr<DataSet> dataSet_ = ClipDataSet();
};

TEST_F(ClipExportFault, DiskFullLeavesTheEarlierFileAndNoTemporaryFile) {
  std::string message;
  {
    FileSizeLimit limit(4096);  // the export is about 30 kB
    message = Export();
  }
  EXPECT_EQ(message, CannotWriteFileMessage(FullPath(Native(path_)), SystemErrorText(EFBIG)));
  ExpectOldFileAlone();
}

TEST_F(ClipExportFault, ReadOnlyFileIsNotReplaced) {
  ReadOnlyFile readOnly(path_);
  if (!readOnly.Ok()) GTEST_SKIP() << readOnly.Reason();
  EXPECT_EQ(Export(), CannotCreateFileMessage(FullPath(Native(path_)),
                                              SystemErrorText(readOnly.OpenError())));
  ExpectOldFileAlone();
}

TEST_F(ClipExportFault, FolderThatHasGoneIsNotCreated) {
  ASSERT_TRUE(QDir(info_).removeRecursively());
  EXPECT_EQ(Export(), CannotCreateFileMessage(FullPath(Native(path_)), SystemErrorText(ENOENT)));
  EXPECT_FALSE(QFileInfo::exists(info_));
}

TEST_F(ClipExportFault, DirectoryWhereTheFileWasStaysADirectory) {
  ASSERT_TRUE(QFile::remove(path_));
  ASSERT_TRUE(QDir().mkdir(path_));
  WriteFile(path_ + QStringLiteral("/keep"), "inside");
  EXPECT_EQ(Export(), CannotCreateFileMessage(FullPath(Native(path_)), SystemErrorText(EISDIR)));
  EXPECT_TRUE(QFileInfo(path_).isDir());
  EXPECT_EQ(ReadFile(path_ + QStringLiteral("/keep")), QByteArray("inside"));
  EXPECT_EQ(FolderEntries(info_), QStringList{QStringLiteral("ms_anmset.dat")});
}

TEST_F(ClipExportFault, AfterTheFaultTheExportSucceeds) {
  {
    FileSizeLimit limit(4096);
    EXPECT_NE(Export(), "");
  }
  EXPECT_EQ(Export(), "");
  const std::vector<uint8_t> expected = EncodeClipSet(*dataSet_);
  EXPECT_EQ(ReadFile(path_), QByteArray(reinterpret_cast<const char*>(expected.data()),
                                        static_cast<qsizetype>(expected.size())));
}

}  // namespace
}  // namespace varsk::faults
