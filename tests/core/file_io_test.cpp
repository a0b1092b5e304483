// The file layer: whole reads, refusals of what is not a regular file, the
// bounds, atomic replacement under failing calls, locks and the output check.
#include "base/file_io.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/messages.h"

namespace varsk {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  std::mt19937 random(seed);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const VarskError& error) {
    return error.what();
  }
  return "(no error)";
}

class FileLayer : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/varsk-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    SetFileCallsForTesting(FileCalls{});
    fs::remove_all(dir_);
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream(Path(name), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return Path(name);
  }
  static std::vector<uint8_t> Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string dir_;
};

TEST_F(FileLayer, WholeReadsTakeEveryByteWhateverTheSize) {
  for (size_t size : {size_t{0}, size_t{1}, size_t{4096}, (size_t{5} << 20) + 3}) {
    const std::vector<uint8_t> bytes = RandomBytes(size, static_cast<uint32_t>(size));
    EXPECT_EQ(ReadWholeFile(Write("image.bin", bytes), FileKind::RomImage), bytes) << size;
  }
}

TEST_F(FileLayer, WhatIsNotARegularFileIsRefusedWithoutBlocking) {
  const std::string fifo = Path("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);  // no writer: a blocking open would hang
  const std::string isFifo = "It is a FIFO, not a regular file";
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(fifo, FileKind::EditsFile); }),
            "Cannot open file \"" + fifo + "\". " + isFifo);
  EXPECT_EQ(ErrorOf([&] { RegularFile(fifo, RegularFile::Access::Update); }),
            "Cannot open file \"" + fifo + "\". " + isFifo);
  EXPECT_EQ(ErrorOf([&] { ReplaceFile(fifo, std::vector<uint8_t>{1}); }),
            "Cannot create file \"" + fifo + "\". " + isFifo);
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(ErrorOf([] { ReadWholeFile("/dev/zero", FileKind::NameListFile); }),
            "Cannot open file \"/dev/zero\". It is a device, not a regular file");
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(dir_, FileKind::Patch); }),
            "Cannot open file \"" + dir_ + "\". Is a directory");
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(Path("missing"), FileKind::Patch); }),
            "Cannot open file \"" + Path("missing") + "\". No such file or directory");
}

TEST_F(FileLayer, AFileAboveItsKindsBoundIsRefusedNamingTheBound) {
  const std::string path = Path("namestringE.txt");
  Write("namestringE.txt", {});
  fs::resize_file(path, kNameListSizeLimit);  // sparse: nothing is written
  EXPECT_EQ(ReadWholeFile(path, FileKind::NameListFile).size(), kNameListSizeLimit);
  fs::resize_file(path, kNameListSizeLimit + 1);
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(path, FileKind::NameListFile); }),
            "Cannot read file \"" + path +
                "\": it is larger than 4194304 bytes, the most a name "
                "list may have");
  // The same file is a small ROM image.
  EXPECT_EQ(ReadWholeFile(path, FileKind::RomImage).size(), kNameListSizeLimit + 1);
}

TEST_F(FileLayer, ReplaceWritesThePiecesAndKeepsModeAndLinks) {
  const std::string target = Write("out.bin", {9, 9, 9, 9, 9});
  ::chmod(target.c_str(), 0640);
  fs::create_symlink(target, Path("link.bin"));
  const std::vector<uint8_t> a{1, 2}, b{}, c{3};
  const std::span<const uint8_t> pieces[] = {a, b, c};
  ReplaceFile(Path("link.bin"), pieces);
  EXPECT_EQ(Contents(target), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_TRUE(fs::is_symlink(Path("link.bin")));
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Entries(), (std::vector<std::string>{Path("link.bin"), Path("out.bin")}));
}

TEST_F(FileLayer, ReplaceMakesTheFileADanglingLinkNamesAndRefusesALoop) {
  fs::create_directory(Path("sub"));
  fs::create_symlink("sub/new.bin", Path("dangling.bin"));
  fs::create_symlink("../dangling.bin", Path("sub/chain.bin"));
  ReplaceFile(Path("sub/chain.bin"), std::vector<uint8_t>{7});
  EXPECT_EQ(Contents(Path("sub/new.bin")), std::vector<uint8_t>{7});
  EXPECT_TRUE(fs::is_symlink(Path("dangling.bin")) && fs::is_symlink(Path("sub/chain.bin")));

  fs::create_symlink("loop-b", Path("loop-a"));
  fs::create_symlink("loop-a", Path("loop-b"));
  EXPECT_EQ(ErrorOf([&] { ReplaceFile(Path("loop-a"), std::vector<uint8_t>{1}); }),
            "Cannot create file \"" + Path("loop-a") + "\". Too many levels of symbolic links");
  EXPECT_TRUE(fs::is_symlink(Path("loop-a")));
}

// As the system does: a chain of 40 links leads to its file, one more is a loop.
TEST_F(FileLayer, ReplaceFollowsAsManyLinksAsTheSystem) {
  std::string previous = "file.bin";
  for (int i = 1; i <= 41; ++i) {
    const std::string link = "link" + std::to_string(i);
    fs::create_symlink(previous, Path(link));
    previous = link;
  }
  ReplaceFile(Path("link40"), std::vector<uint8_t>{4, 0});
  EXPECT_EQ(Contents(Path("file.bin")), (std::vector<uint8_t>{4, 0}));
  ReplaceFile(Path("link40"), std::vector<uint8_t>{4});
  EXPECT_EQ(Contents(Path("file.bin")), std::vector<uint8_t>{4});
  EXPECT_EQ(ErrorOf([&] { ReplaceFile(Path("link41"), std::vector<uint8_t>{1}); }),
            "Cannot create file \"" + Path("link41") + "\". Too many levels of symbolic links");
  EXPECT_EQ(Contents(Path("file.bin")), std::vector<uint8_t>{4});
}

// /proc/self/fd/N opens what descriptor N holds, but its text is no file name:
// "pipe:[N]", or "<path> (deleted)". Nothing is made from that text, and a file
// held open (perhaps to append to) is never replaced whole through such a link.
TEST_F(FileLayer, ReplaceRefusesALinkWhoseTextIsNotTheFileItOpens) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const std::string pipe = "/proc/self/fd/" + std::to_string(ends[1]);
  EXPECT_EQ(ErrorOf([&] { ReplaceFile(pipe, std::vector<uint8_t>{1}); }),
            "Cannot create file \"" + pipe + "\". It is a FIFO, not a regular file");
  const int gone = ::open(Path("gone.txt").c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(gone, 0);
  ::unlink(Path("gone.txt").c_str());
  const std::string deleted = "/proc/self/fd/" + std::to_string(gone);
  EXPECT_EQ(ErrorOf([&] { ReplaceFile(deleted, std::vector<uint8_t>{1}); }),
            "Cannot create file \"" + deleted + "\". " + DescriptorLinkText());
  const std::string log = Write("log.txt", {'o', 'l', 'd'});
  const int appended = ::open(log.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(appended, 0);
  const std::string held = "/dev/fd/" + std::to_string(appended);
  EXPECT_EQ(ErrorOf([&] { ReplaceFile(held, std::vector<uint8_t>{1}); }),
            "Cannot create file \"" + held + "\". " + DescriptorLinkText());
  EXPECT_EQ(Contents(log), (std::vector<uint8_t>{'o', 'l', 'd'}));
  for (const int fd : {ends[0], ends[1], gone, appended}) ::close(fd);
  EXPECT_EQ(Entries().size(), 1u);
}

// Each failing call: the old file stays, and no temporary file is left.
struct ReplaceFault {
  const char* name;
  FileCalls calls;
  const char* message;  // after "Cannot ... file "<path>". "
};

class ReplaceFaults : public FileLayer, public testing::WithParamInterface<ReplaceFault> {};

TEST_P(ReplaceFaults, LeaveTheOldFileAndNoTemporaryFile) {
  const std::vector<uint8_t> old = RandomBytes(100, 1);
  const std::string target = Write("out.bin", old);
  SetFileCallsForTesting(GetParam().calls);
  const std::string error = ErrorOf([&] { ReplaceFile(target, RandomBytes(size_t{1} << 20, 2)); });
  SetFileCallsForTesting(FileCalls{});
  EXPECT_NE(error.find("file \"" + target + "\". " + GetParam().message), std::string::npos)
      << error;
  EXPECT_EQ(Contents(target), old);
  EXPECT_EQ(Entries(), std::vector<std::string>{target});
}

FileCalls Calls(ssize_t (*write)(int, const void*, size_t, off_t), int (*sync)(int),
                int (*rename)(const char*, const char*)) {
  FileCalls calls;
  if (write) calls.pwrite = write;
  if (sync) calls.fsync = sync;
  if (rename) calls.rename = rename;
  return calls;
}

INSTANTIATE_TEST_SUITE_P(
    Calls, ReplaceFaults,
    testing::Values(ReplaceFault{"DiskFull",
                                 Calls(
                                     [](int, const void*, size_t, off_t) -> ssize_t {
                                       errno = ENOSPC;
                                       return -1;
                                     },
                                     nullptr, nullptr),
                                 "No space left on device"},
                    ReplaceFault{
                        "ShortThenTooLarge",
                        Calls(
                            [](int fd, const void* data, size_t count, off_t offset) -> ssize_t {
                              if (offset > 0) {
                                errno = EFBIG;
                                return -1;
                              }
                              return ::pwrite(fd, data, count / 2, offset);
                            },
                            nullptr, nullptr),
                        "File too large"},
                    ReplaceFault{"NoProgress",
                                 Calls([](int, const void*, size_t, off_t) -> ssize_t { return 0; },
                                       nullptr, nullptr),
                                 "No space left on device"},
                    ReplaceFault{"SyncFails",
                                 Calls(
                                     nullptr,
                                     [](int) {
                                       errno = EIO;
                                       return -1;
                                     },
                                     nullptr),
                                 "Input/output error"},
                    ReplaceFault{"RenameFails",
                                 Calls(nullptr, nullptr,
                                       [](const char*, const char*) {
                                         errno = EPERM;
                                         return -1;
                                       }),
                                 "Operation not permitted"}),
    [](const auto& tpi) { return std::string(tpi.param.name); });

TEST_F(FileLayer, ReplaceRefusesWhatItCannotCreate) {
  const std::vector<uint8_t> bytes{1};
  EXPECT_EQ(ErrorOf([&] { ReplaceFile("", bytes); }),
            "Cannot create file \"\". No such file or directory");
  EXPECT_EQ(ErrorOf([&] { ReplaceFile(Path("gone/out.bin"), bytes); }),
            "Cannot create file \"" + Path("gone/out.bin") + "\". No such file or directory");
  EXPECT_EQ(ErrorOf([&] { ReplaceFile(dir_, bytes); }),
            "Cannot create file \"" + dir_ + "\". Is a directory");
  EXPECT_TRUE(Entries().empty());
}

TEST_F(FileLayer, FindSameFileSeesThroughLinks) {
  const std::string rom = Write("rom.gba", {1});
  const std::string other = Write("other.gba", {1});
  fs::create_symlink(rom, Path("link.gba"));
  fs::create_hard_link(rom, Path("hard.gba"));
  const std::vector<std::string> inputs{other, "", Path("link.gba")};
  EXPECT_EQ(FindSameFile(rom, inputs), std::optional<size_t>(2));
  EXPECT_EQ(FindSameFile(Path("hard.gba"), inputs), std::optional<size_t>(2));
  EXPECT_EQ(FindSameFile(Path("new.gba"), inputs), std::nullopt);
  EXPECT_EQ(FindSameFile("", inputs), std::nullopt);
}

TEST_F(FileLayer, LocksKeepUpdatesAndReadsApart) {
  const std::string path = Write("rom.gba", {1, 2, 3});
  FileCalls noWait;
  noWait.lockWaitMilliseconds = 0;
  SetFileCallsForTesting(noWait);
  const int holder = ::open(path.c_str(), O_RDONLY);
  ASSERT_GE(holder, 0);
  const std::string locked =
      "Cannot open file \"" + path + "\". Another program keeps it locked (waited 0 seconds)";
  // Another reader: reading goes on, updating waits.
  ASSERT_EQ(::flock(holder, LOCK_SH), 0);
  EXPECT_EQ(RegularFile(path, RegularFile::Access::Read).Size(), 3u);
  EXPECT_EQ(ErrorOf([&] { RegularFile(path, RegularFile::Access::Update); }), locked);
  // A writer: both wait.
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  EXPECT_EQ(ErrorOf([&] { RegularFile(path, RegularFile::Access::Read); }), locked);
  ::close(holder);
  EXPECT_EQ(RegularFile(path, RegularFile::Access::Update).Size(), 3u);
}

// A writer that replaces the file whole (apply in place) renames its new file
// over the one an updater waits for: the update must land in the new file.
TEST_F(FileLayer, AnUpdateWaitingForTheLockFollowsTheFileThatReplacedIt) {
  const std::string path = Write("rom.gba", {1, 1, 1});
  struct stat old {};
  ASSERT_EQ(::stat(path.c_str(), &old), 0);
  const int holder = ::open(path.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  std::thread updater([&] {
    RegularFile file(path, RegularFile::Access::Update);
    const std::vector<uint8_t> previous{9};
    file.ReplaceRun(0, std::vector<uint8_t>{7}, previous);
    file.Close();
  });
  // Once the updater holds the old file open (and waits for its lock), a new
  // file takes its name and the lock is released.
  const auto opensOfOld = [&] {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
      struct stat info {};
      if (::stat(entry.path().c_str(), &info) == 0 && info.st_ino == old.st_ino &&
          info.st_dev == old.st_dev) {
        ++count;
      }
    }
    return count;
  };
  for (int wait = 0; wait < 500 && opensOfOld() < 2; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const std::string fresh = Write("fresh.gba", {2, 2, 2});
  ASSERT_EQ(::rename(fresh.c_str(), path.c_str()), 0);
  ::close(holder);
  updater.join();
  EXPECT_EQ(Contents(path), (std::vector<uint8_t>{7, 2, 2}));
}

TEST(FileLayerProcess, ClosedStandardDescriptorsAreNotHandedToFiles) {
  EXPECT_EXIT(
      {
        ::close(1);
        PrepareProcessForFiles();
        const int fd = ::open("/dev/null", O_RDONLY);
        const bool ignored = std::signal(SIGXFSZ, SIG_DFL) == SIG_IGN;
        std::_Exit(fd != 1 && ::write(1, "x", 1) < 0 && ignored ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

// A soft limit lowered for another program costs nothing; below a hard
// limit, the free descriptors are counted as the system hands them out.
TEST(FileLayerProcess, TheSoftLimitOfOpenFilesIsRaisedAndFreeDescriptorsCounted) {
  EXPECT_EXIT(
      {
        rlimit files{};
        ::getrlimit(RLIMIT_NOFILE, &files);
        files.rlim_cur = 16;
        ::setrlimit(RLIMIT_NOFILE, &files);
        PrepareProcessForFiles();
        rlimit raised{};
        ::getrlimit(RLIMIT_NOFILE, &raised);
        files.rlim_cur = files.rlim_max = 48;
        ::setrlimit(RLIMIT_NOFILE, &files);
        int64_t free = 0;
        for (int fd = 0; fd < 48; ++fd) free += ::fcntl(fd, F_GETFD) < 0 ? 1 : 0;
        std::_Exit(raised.rlim_cur == raised.rlim_max && FreeDescriptorCount() == free ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace varsk
