#include "data/rom_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/messages.h"
#include "base/shown_text.h"

namespace varsk {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::mt19937_64 random(seed);
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; i += 8) {
    const uint64_t word = random();
    std::memcpy(bytes.data() + i, &word, std::min<size_t>(8, size - i));
  }
  return bytes;
}

RomBuffers RandomBuffers(uint32_t seed) {
  RomBuffers buffers;
  const std::vector<uint8_t> bytes = RandomBytes(kRomTableBytes, seed);
  std::copy_n(bytes.begin(), kMsTableBytes, buffers.ms.begin());
  std::copy_n(bytes.begin() + kMsTableBytes, kShipTableBytes, buffers.ship.begin());
  return buffers;
}

// Each test works in a fresh temporary folder.
class RomFile : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/varsk-rom-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    SetFileCallsForTesting(FileCalls{});
    fs::permissions(dir_, fs::perms::owner_all);
    fs::remove_all(dir_);
  }

  std::string MakeFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (fs::path(dir_) / name).string();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  static std::vector<uint8_t> Contents(const std::string& path) {
    std::vector<uint8_t> bytes(fs::file_size(path));
    std::ifstream(path, std::ios::binary)
        .read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
  }
  // What a file of `before` looks like after both runs were written from `buffers`.
  static std::vector<uint8_t> Written(std::vector<uint8_t> before, const RomBuffers& buffers) {
    std::copy(buffers.ms.begin(), buffers.ms.end(), before.begin() + kMsTableOffset);
    std::copy(buffers.ship.begin(), buffers.ship.end(), before.begin() + kShipTableOffset);
    return before;
  }

  std::string dir_;
};

template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const VarskError& error) {
    return error.what();
  }
  return "(no error)";
}

TEST_F(RomFile, ReadTakesBothRunsFromTheirOffsets) {
  const std::vector<uint8_t> image = RandomBytes(kRomTablesEnd + 1000, 1);
  const std::string path = MakeFile("rom.gba", image);
  RomBuffers buffers;
  ReadRomTables(path, buffers);
  EXPECT_TRUE(std::equal(buffers.ms.begin(), buffers.ms.end(), image.begin() + kMsTableOffset));
  EXPECT_TRUE(
      std::equal(buffers.ship.begin(), buffers.ship.end(), image.begin() + kShipTableOffset));
  // Exactly the end of the ship table is long enough.
  const std::string exact =
      MakeFile("exact.gba", std::vector<uint8_t>(image.begin(), image.begin() + kRomTablesEnd));
  RomBuffers again;
  ReadRomTables(exact, again);
  EXPECT_EQ(again.ship, buffers.ship);
  // The same from an image in memory.
  const std::optional<RomBuffers> inMemory = RomTablesOfImage(image);
  ASSERT_TRUE(inMemory.has_value());
  EXPECT_EQ(inMemory->ms, buffers.ms);
  EXPECT_FALSE(RomTablesOfImage(std::span(image).first(kRomTablesEnd - 1)).has_value());
}

// Every way to the tables of a file refuses one that ends before them, with
// the one message, and changes neither the file nor the buffers and records
// it was to fill.
struct ShortRomRoad {
  const char* name;
  void (*run)(const std::string& path, RomBuffers& buffers, DataSet& records);
};

class ShortRom : public RomFile, public testing::WithParamInterface<ShortRomRoad> {};

TEST_P(ShortRom, IsRefusedAndNothingChanges) {
  for (int64_t size : {int64_t{0}, int64_t{4096}, kMsTableOffset + 10, kRomTablesEnd - 1}) {
    const std::vector<uint8_t> image = RandomBytes(static_cast<size_t>(size), 2);
    const std::string path = MakeFile("short.gba", image);
    RomBuffers buffers = RandomBuffers(3);
    const RomBuffers before = buffers;
    auto records = std::make_unique<DataSet>();
    records->msRecords[0].cost = 1234;
    records->shipRecords[37].hp = 4321;
    EXPECT_EQ(ErrorOf([&] { GetParam().run(path, buffers, *records); }),
              "File \"" + path + "\" is too short to hold the unit tables (" +
                  std::to_string(size) + " bytes, at least 4205224 needed)");
    EXPECT_EQ(Contents(path), image);  // neither changed nor grown
    EXPECT_EQ(buffers.ms, before.ms);
    EXPECT_EQ(buffers.ship, before.ship);
    EXPECT_EQ(records->msRecords[0].cost, 1234);
    EXPECT_EQ(records->shipRecords[37].hp, 4321);
    EXPECT_FALSE(fs::exists(dir_ + "/copy.gba"));
  }
}

// StoreRecordChanges is given records that differ in a stored value.
void StoreChanges(const std::string& path, const std::string& outPath, DataSet& records) {
  auto after = std::make_unique<DataSet>(records);
  after->msRecords[0].cost ^= 1;
  StoreRecordChanges(path, outPath, records, *after);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, ShortRom,
    testing::Values(ShortRomRoad{"ReadRomTables", [](const std::string& path, RomBuffers& buffers,
                                                     DataSet&) { ReadRomTables(path, buffers); }},
                    ShortRomRoad{"WriteRomTables", [](const std::string& path, RomBuffers& buffers,
                                                      DataSet&) { WriteRomTables(path, buffers); }},
                    ShortRomRoad{"LoadRomFile",
                                 [](const std::string& path, RomBuffers& buffers,
                                    DataSet& records) { LoadRomFile(path, buffers, records); }},
                    ShortRomRoad{"ReadRomImage", [](const std::string& path, RomBuffers&,
                                                    DataSet&) { ReadRomImage(path); }},
                    ShortRomRoad{"StoreRecordChangesInPlace",
                                 [](const std::string& path, RomBuffers&, DataSet& records) {
                                   StoreChanges(path, std::string(), records);
                                 }},
                    ShortRomRoad{"StoreRecordChangesIntoACopy",
                                 [](const std::string& path, RomBuffers&, DataSet& records) {
                                   StoreChanges(path, path.substr(0, path.rfind('/')) + "/copy.gba",
                                                records);
                                 }}),
    [](const testing::TestParamInfo<ShortRomRoad>& param) {
      return std::string(param.param.name);
    });

TEST_F(RomFile, ReadOfAMissingFileOrFolderNamesTheFullPath) {
  RomBuffers buffers = RandomBuffers(4);
  const RomBuffers before = buffers;
  const std::string missing = dir_ + "/none/../missing.gba";
  EXPECT_EQ(ErrorOf([&] { ReadRomTables(missing, buffers); }),
            "Cannot open file \"" + dir_ + "/missing.gba\". No such file or directory");
  EXPECT_EQ(ErrorOf([&] { ReadRomTables(dir_, buffers); }),
            "Cannot open file \"" + dir_ + "\". Is a directory");
  EXPECT_EQ(ErrorOf([&] { WriteRomTables(dir_, buffers); }),
            "Cannot open file \"" + dir_ + "\". Is a directory");
  EXPECT_EQ(buffers.ms, before.ms);
}

TEST_F(RomFile, WriteChangesOnlyTheTwoRuns) {
  const std::vector<uint8_t> image = RandomBytes(kRomTablesEnd + 4096, 5);
  const std::string path = MakeFile("rom.gba", image);
  const RomBuffers buffers = RandomBuffers(6);
  WriteRomTables(path, buffers);
  EXPECT_EQ(Contents(path), Written(image, buffers));

  // A file that ends with the ship table keeps its length too.
  const std::vector<uint8_t> exact(image.begin(), image.begin() + kRomTablesEnd);
  const std::string exactPath = MakeFile("exact.gba", exact);
  WriteRomTables(exactPath, buffers);
  EXPECT_EQ(Contents(exactPath), Written(exact, buffers));

  RomBuffers back;
  ReadRomTables(path, back);
  EXPECT_EQ(back.ms, buffers.ms);
  EXPECT_EQ(back.ship, buffers.ship);
}

TEST_F(RomFile, WriteNeverCreatesAFile) {
  const std::string path = dir_ + "/new.gba";
  EXPECT_EQ(ErrorOf([&] { WriteRomTables(path, RomBuffers{}); }),
            "Cannot open file \"" + path + "\". No such file or directory");
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(RomFile, WriteToAReadOnlyFileCannotOpenIt) {
  const std::vector<uint8_t> image = RandomBytes(kRomTablesEnd, 9);
  const std::string path = MakeFile("readonly.gba", image);
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  if (geteuid() != 0) {
    EXPECT_EQ(ErrorOf([&] { WriteRomTables(path, RandomBuffers(10)); }),
              "Cannot open file \"" + path + "\". Permission denied");
  } else {
    // Root may write anything: check as an ordinary user in a child process.
    fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    EXPECT_EXIT(
        {
          if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(2);
          const std::string error = ErrorOf([&] { WriteRomTables(path, RandomBuffers(10)); });
          std::_Exit(error == "Cannot open file \"" + path + "\". Permission denied" ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
  }
  EXPECT_EQ(Contents(path), image);
}

void UseWrite(ssize_t (*write)(int, const void*, size_t, off_t)) {
  FileCalls replaced;
  replaced.pwrite = write;
  SetFileCallsForTesting(replaced);
}

// Fails the n-th write (counting from 1) with ENOSPC; earlier writes go through.
int writesBeforeFailure = 0;
ssize_t FailingWrite(int fd, const void* data, size_t count, off_t offset) {
  if (--writesBeforeFailure == 0) {
    errno = ENOSPC;
    return -1;
  }
  return ::pwrite(fd, data, count, offset);
}

TEST_F(RomFile, FailedWriteOrSyncIsReportedAndPutBack) {
  const std::vector<uint8_t> image = RandomBytes(kRomTablesEnd + 10, 11);
  const std::string path = MakeFile("rom.gba", image);
  writesBeforeFailure = 1;
  UseWrite(&FailingWrite);
  EXPECT_EQ(ErrorOf([&] { WriteRomTables(path, RandomBuffers(12)); }),
            "Cannot write file \"" + path + "\". No space left on device");
  // The tables went in, then the sync failed: the old bytes are put back.
  FileCalls failingSync;
  failingSync.fsync = [](int) {
    errno = EIO;
    return -1;
  };
  SetFileCallsForTesting(failingSync);
  EXPECT_EQ(ErrorOf([&] { WriteRomTables(path, RandomBuffers(12)); }),
            "Cannot write file \"" + path + "\". Input/output error");
  SetFileCallsForTesting(FileCalls{});
  EXPECT_EQ(Contents(path), image);
}

// Writes at most 1000 bytes per call, and is interrupted once.
int shortWriteCalls = 0;
ssize_t ShortWrite(int fd, const void* data, size_t count, off_t offset) {
  if (++shortWriteCalls == 3) {
    errno = EINTR;
    return -1;
  }
  return ::pwrite(fd, data, std::min<size_t>(count, 1000), offset);
}

TEST_F(RomFile, ShortAndInterruptedWritesAreCompleted) {
  const std::vector<uint8_t> image = RandomBytes(kRomTablesEnd + 10, 13);
  const std::string path = MakeFile("rom.gba", image);
  const RomBuffers buffers = RandomBuffers(14);
  shortWriteCalls = 0;
  UseWrite(&ShortWrite);
  WriteRomTables(path, buffers);
  SetFileCallsForTesting(FileCalls{});
  EXPECT_GT(shortWriteCalls, 11);
  EXPECT_EQ(Contents(path), Written(image, buffers));
}

ssize_t NoProgressWrite(int, const void*, size_t, off_t) { return 0; }

TEST_F(RomFile, WriteThatMakesNoProgressIsAFailure) {
  const std::string path = MakeFile("rom.gba", RandomBytes(kRomTablesEnd, 15));
  UseWrite(&NoProgressWrite);
  EXPECT_EQ(ErrorOf([&] { WriteRomTables(path, RandomBuffers(16)); }),
            "Cannot write file \"" + path + "\". No space left on device");
}

// A real short write from the kernel: a file size limit inside the MS run
// makes the first write come up short and the next one fail.
TEST_F(RomFile, FileSizeLimitInsideTheRunsIsReported) {
  const std::vector<uint8_t> image = RandomBytes(kRomTablesEnd + 10, 17);
  const std::string path = MakeFile("rom.gba", image);
  const RomBuffers buffers = RandomBuffers(18);
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limited = saved;
  limited.rlim_cur = static_cast<rlim_t>(kMsTableOffset + 1000);
  auto* savedHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const std::string error = ErrorOf([&] { WriteRomTables(path, buffers); });
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedHandler);
  EXPECT_EQ(error, "Cannot write file \"" + path + "\". File too large");
  // The 1000 bytes that went in before the limit are put back.
  EXPECT_EQ(Contents(path), image);
}

TEST_F(RomFile, DevicesAndFifosAreRefusedWithoutBlocking) {
  const std::string fifo = dir_ + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  RomBuffers buffers = RandomBuffers(19);
  const RomBuffers before = buffers;
  EXPECT_EQ(ErrorOf([&] { ReadRomTables(fifo, buffers); }),
            "Cannot open file \"" + fifo + "\". It is a FIFO, not a regular file");
  EXPECT_EQ(ErrorOf([&] { WriteRomTables(fifo, buffers); }),
            "Cannot open file \"" + fifo + "\". It is a FIFO, not a regular file");
  EXPECT_EQ(ErrorOf([&] { ReadRomTables("/dev/zero", buffers); }),
            "Cannot open file \"/dev/zero\". It is a device, not a regular file");
  EXPECT_EQ(buffers.ms, before.ms);
}

// Save then Load through a real file gives back what the records held.
TEST_F(RomFile, SaveThenLoadRoundTrip) {
  const std::vector<uint8_t> image = RandomBytes(kRomTablesEnd + 100, 24);
  const std::string path = MakeFile("rom.gba", image);
  auto saved = std::make_unique<DataSet>();
  saved->msRecords[190].cost = 300;
  saved->msRecords[190].weapons[2] = {45, 50, -16};
  saved->shipRecords[37].sPointShip = 20;
  RomBuffers buffers;
  SaveRomFile(path, *saved, buffers);
  EXPECT_EQ(Contents(path), Written(image, buffers));
  auto loaded = std::make_unique<DataSet>();
  RomBuffers loadedBuffers;
  LoadRomFile(path, loadedBuffers, *loaded);
  EXPECT_EQ(loaded->msRecords[190].cost, 300);
  EXPECT_EQ(loaded->msRecords[190].weapons[2].ammo, -16);
  EXPECT_EQ(loaded->shipRecords[37].sPointShip, 20);
}

// Stored changes touch only the bytes of the changed values: bytes that Save
// ROM would rewrite (a random MS byte 11, ammunition bytes 0) stay as read.
TEST_F(RomFile, StoreRecordChangesWritesOnlyTheChangedValuesBytes) {
  const std::vector<uint8_t> image = RandomBytes(kRomTablesEnd + 100, 25);
  const std::string path = MakeFile("rom.gba", image);
  auto before = std::make_unique<DataSet>();
  RomBuffers buffers;
  LoadRomFile(path, buffers, *before);
  auto after = std::make_unique<DataSet>(*before);
  after->msRecords[4].hp ^= 1;
  after->shipRecords[0].rawBytes[2] ^= 0xFF;
  std::vector<uint8_t> expected = image;
  expected[kMsTableOffset + 4 * kRomMsEntrySize + 2] ^= 1;
  expected[kShipTableOffset + 17] ^= 0xFF;

  const std::string copy = (fs::path(dir_) / "copy.gba").string();
  StoreRecordChanges(path, copy, *before, *after);
  EXPECT_EQ(Contents(copy), expected);
  EXPECT_EQ(Contents(path), image);
  // The ROM as its own output is updated in place like Save ROM: it waits for
  // readers and writers, and its hard links see the change.
  const std::string hardLink = (fs::path(dir_) / "hard.gba").string();
  fs::create_hard_link(path, hardLink);
  FileCalls noWait;
  noWait.lockWaitMilliseconds = 0;
  SetFileCallsForTesting(noWait);
  const int reader = ::open(path.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(reader, LOCK_SH), 0);
  EXPECT_NE(ErrorOf([&] { StoreRecordChanges(path, path, *before, *after); }).find("locked"),
            std::string::npos);
  ::close(reader);
  StoreRecordChanges(hardLink, path, *before, *after);
  EXPECT_EQ(Contents(hardLink), expected);
  EXPECT_EQ(MergeRecordChanges(*before, *after, buffers), 2);
}

// A change merged into tables that another program changed meanwhile keeps
// that program's change, also in a byte the two fields share.
TEST(MergeRecordChanges, KeepsAnotherProgramsFieldInTheSameByte) {
  RomBuffers tables = RandomBuffers(28);
  tables.ship[11] |= 0x80;  // a bit no field shows
  auto before = std::make_unique<DataSet>();
  UnpackRomTables(tables, *before);
  auto after = std::make_unique<DataSet>(*before);
  after->msRecords[0].productTurn ^= 1;  // byte 10, bits 3..7
  after->shipRecords[0].artilleryRange ^= 1;
  tables.ms[10] ^= 0x05;  // meanwhile: supportTurn, bits 0..2 of the same byte
  const uint8_t msByte = tables.ms[10] ^ 0x08;
  const auto shipByte = static_cast<uint8_t>((tables.ship[11] ^ 0x01) & 0x7F);
  EXPECT_EQ(MergeRecordChanges(*before, *after, tables), 2);
  EXPECT_EQ(tables.ms[10], msByte);
  EXPECT_EQ(tables.ship[11], shipByte);  // written as packing writes it, bit 7 clear
}

}  // namespace
}  // namespace varsk
