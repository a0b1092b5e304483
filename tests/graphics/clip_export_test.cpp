#include "graphics/clip_export.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "base/messages.h"

namespace varsk {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<uint8_t>;

ClipRecord& ClipAt(DataSet& ds, int number) { return ds.clips[static_cast<size_t>(number - 1)]; }

// Clip 1 as a 4 x 4 layout with the tiles 01..04 / 11..14 / 0D..10 / 1D..20,
// and clip 2 another 4 x 4 layout.
std::unique_ptr<DataSet> TwoClipDataSet() {
  auto ds = std::make_unique<DataSet>();
  const uint8_t tiles[4][4] = {{0x01, 0x02, 0x03, 0x04},
                               {0x11, 0x12, 0x13, 0x14},
                               {0x0D, 0x0E, 0x0F, 0x10},
                               {0x1D, 0x1E, 0x1F, 0x20}};
  ClipRecord& first = ClipAt(*ds, 1);
  first.cols = 4;
  first.rows = 4;
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) first.tile[r * 16 + c] = tiles[r][c];
  ClipRecord& second = ClipAt(*ds, 2);
  second.cols = 4;
  second.rows = 4;
  second.tile[0] = 9;
  return ds;
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(EncodeClipSet, FirstRecordsKeepOnlyTheUsedCells) {
  const auto ds = TwoClipDataSet();
  const Bytes bytes = EncodeClipSet(*ds);
  ASSERT_EQ(bytes.size(), 2u * 67u);
  const Bytes head(bytes.begin(), bytes.begin() + 19);
  EXPECT_EQ(head, (Bytes{0x01, 0x04, 0x04, 0x01, 0x02, 0x03, 0x04, 0x11, 0x12, 0x13, 0x14, 0x0D,
                         0x0E, 0x0F, 0x10, 0x1D, 0x1E, 0x1F, 0x20}));
  EXPECT_EQ(Bytes(bytes.begin() + 19, bytes.begin() + 67), Bytes(48, 0));
  EXPECT_EQ(Bytes(bytes.begin() + 67, bytes.begin() + 71), (Bytes{0x02, 0x04, 0x04, 0x09}));
}

TEST(EncodeClipSet, PlanesInTileFlipDxDyOrderRowByRow) {
  auto ds = std::make_unique<DataSet>();
  ClipRecord& clip = ClipAt(*ds, 7);
  clip.cols = 2;
  clip.rows = 3;
  for (int k = 0; k < kClipCells; ++k) {  // cells outside the 2 x 3 corner hold junk
    clip.tile[k] = 0xEE;
    clip.flip[k] = 0xEE;
    clip.dx[k] = -18;
    clip.dy[k] = -18;
  }
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 2; ++c) {
      const int k = r * 16 + c;
      clip.tile[k] = static_cast<uint8_t>(0x10 + 2 * r + c);
      clip.flip[k] = static_cast<uint8_t>(0x20 + 2 * r + c);
      clip.dx[k] = static_cast<int8_t>(-1 - (2 * r + c));
      clip.dy[k] = static_cast<int8_t>(0x40 + 2 * r + c);
    }
  EXPECT_EQ(EncodeClipSet(*ds), (Bytes{7,    2,    3,                          //
                                       0x10, 0x11, 0x12, 0x13, 0x14, 0x15,     // tile
                                       0x20, 0x21, 0x22, 0x23, 0x24, 0x25,     // flip
                                       0xFF, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA,     // dx
                                       0x40, 0x41, 0x42, 0x43, 0x44, 0x45}));  // dy
}

TEST(EncodeClipSet, EmptyColumnsSkipAndEmptyRowsEndAfterTheHead) {
  auto ds = std::make_unique<DataSet>();
  ClipAt(*ds, 3).cols = 0;
  ClipAt(*ds, 3).rows = 3;
  ClipAt(*ds, 3).tile[0] = 5;
  EXPECT_TRUE(EncodeClipSet(*ds).empty());

  ClipAt(*ds, 4).cols = 3;
  ClipAt(*ds, 4).rows = 0;
  ClipAt(*ds, 4).tile[0] = 5;
  EXPECT_EQ(EncodeClipSet(*ds), (Bytes{4, 3, 0}));
}

TEST(EncodeClipSet, SlotTwoHundredFiftySixIsNumberedZero) {
  auto ds = std::make_unique<DataSet>();
  ClipAt(*ds, 256).cols = 1;
  ClipAt(*ds, 256).rows = 1;
  ClipAt(*ds, 256).tile[0] = 3;
  ClipAt(*ds, 255).cols = 1;
  EXPECT_EQ(EncodeClipSet(*ds), (Bytes{255, 1, 0, 0, 1, 1, 3, 0, 0, 0}));
}

TEST(EncodeClipSet, GridsLargerThanSixteenAreCutToSixteen) {
  auto ds = std::make_unique<DataSet>();
  ClipAt(*ds, 256).cols = 255;
  ClipAt(*ds, 256).rows = 40;
  for (int k = 0; k < kClipCells; ++k) ClipAt(*ds, 256).tile[k] = static_cast<uint8_t>(k);
  const Bytes bytes = EncodeClipSet(*ds);
  ASSERT_EQ(bytes.size(), 3u + 4u * 256u);
  EXPECT_EQ(bytes[1], 16);
  EXPECT_EQ(bytes[2], 16);
  EXPECT_EQ(bytes[3 + 255], 255);
}

// ---- Writing the file ----

// A fresh folder made the working directory for the test's lifetime.
class SaveClipSetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "varsk-clipset-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    fs::current_path(folder_);
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(folder_);
  }
  // Every entry of info/ other than the export itself.
  std::vector<fs::path> Strays() const {
    std::vector<fs::path> strays;
    for (const auto& entry : fs::directory_iterator(folder_ / "info"))
      if (entry.path().filename() != "ms_anmset.dat") strays.push_back(entry.path());
    return strays;
  }

  fs::path previous_;
  fs::path folder_;
};

TEST_F(SaveClipSetTest, WritesInfoMsAnmsetInTheWorkingDirectory) {
  fs::create_directory("info");
  const auto ds = TwoClipDataSet();
  SaveClipSet(*ds);
  EXPECT_EQ(ReadFile(folder_ / "info" / "ms_anmset.dat"), EncodeClipSet(*ds));
  EXPECT_TRUE(Strays().empty());
}

TEST_F(SaveClipSetTest, ReplacesAnEarlierFileWhole) {
  fs::create_directory("info");
  std::ofstream("info/ms_anmset.dat", std::ios::binary) << std::string(5000, 'x');
  const auto ds = TwoClipDataSet();
  SaveClipSet(*ds);
  SaveClipSet(*ds);
  EXPECT_EQ(ReadFile("info/ms_anmset.dat"), EncodeClipSet(*ds));

  const auto empty = std::make_unique<DataSet>();
  SaveClipSet(*empty);
  EXPECT_TRUE(fs::exists("info/ms_anmset.dat"));
  EXPECT_EQ(fs::file_size("info/ms_anmset.dat"), 0u);
  EXPECT_TRUE(Strays().empty());
}

TEST_F(SaveClipSetTest, MissingFolderIsReportedAndNotCreated) {
  const auto ds = TwoClipDataSet();
  try {
    SaveClipSet(*ds);
    FAIL() << "no error";
  } catch (const VarskError& error) {
    const std::string expected = "Cannot create file \"" +
                                 (folder_ / "info" / "ms_anmset.dat").string() + "\". " +
                                 std::strerror(ENOENT);
    EXPECT_EQ(std::string(error.what()), expected);
  }
  EXPECT_FALSE(fs::exists("info"));
}

TEST_F(SaveClipSetTest, AFolderInTheFilesPlaceIsReported) {
  fs::create_directories("info/ms_anmset.dat");
  const auto ds = TwoClipDataSet();
  EXPECT_THROW(SaveClipSet(*ds), VarskError);
  EXPECT_TRUE(fs::is_directory("info/ms_anmset.dat"));
  EXPECT_TRUE(Strays().empty());
}

TEST_F(SaveClipSetTest, AReadOnlyFileIsNotReplaced) {
  fs::create_directory("info");
  std::ofstream("info/ms_anmset.dat") << "keep";
  fs::permissions("info/ms_anmset.dat", fs::perms::owner_read);
  const auto ds = TwoClipDataSet();
  // Root may write any file, so under root the attempt runs as another user
  // in a writable folder, where only the file's own permission forbids it.
  const auto save = [&] {
    try {
      SaveClipSet(*ds);
    } catch (const VarskError& error) {
      return std::string(error.what()).starts_with("Cannot create file") ? 0 : 2;
    }
    return 1;
  };
  if (geteuid() == 0) {
    fs::permissions(folder_, fs::perms::all);
    fs::permissions(folder_ / "info", fs::perms::all);
    const auto saveAsNobody = [&] {
      if (setgid(65534) != 0 || setuid(65534) != 0) std::_Exit(3);
      std::_Exit(save());
    };
    EXPECT_EXIT(saveAsNobody(), ::testing::ExitedWithCode(0), "");
  } else {
    EXPECT_EQ(save(), 0);
  }
  EXPECT_EQ(ReadFile("info/ms_anmset.dat"), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_TRUE(Strays().empty());
}

// A write that fails (here: beyond the process's file size limit) is reported
// as such, the earlier file stays as it was and no temporary file is left.
TEST_F(SaveClipSetTest, FailedWriteIsReportedAndLeavesTheOldFile) {
  fs::create_directory("info");
  std::ofstream("info/ms_anmset.dat") << "old";
  const auto ds = TwoClipDataSet();  // 134 bytes
  const std::string cannotWrite = "Cannot write file \"" +
                                  (folder_ / "info" / "ms_anmset.dat").string() + "\". " +
                                  std::strerror(EFBIG);
  const auto saveWithLimit = [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      SaveClipSet(*ds);
    } catch (const VarskError& error) {
      std::_Exit(error.what() == cannotWrite ? 0 : 2);
    }
    std::_Exit(1);
  };
  EXPECT_EXIT(saveWithLimit(), ::testing::ExitedWithCode(0), "");
  EXPECT_EQ(ReadFile("info/ms_anmset.dat"), (Bytes{'o', 'l', 'd'}));
  EXPECT_TRUE(Strays().empty());
}

}  // namespace
}  // namespace varsk
