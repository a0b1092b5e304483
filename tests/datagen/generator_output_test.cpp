// The generator's files: the same bytes on every run, the name lists' layout
// and character sets, and the sample ROM.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "data/name_list.h"
#include "data/rom_tables.h"

namespace varsk {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* const kFiles[] = {"ms_data.bin", "namestringC.txt", "namestringE.txt",
                              "namestringJ.txt", "sample-rom.gba"};

class GeneratorRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("varsk-datagen-test-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path Run(const std::string& name) {
    const fs::path out = dir_ / name;
    const std::string command =
        std::string("\"") + VARSK_DATAGEN_EXE + "\" \"" + out.string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return out;
  }
  fs::path dir_;
};

TEST_F(GeneratorRuns, TwoRunsWriteTheSameBytesAsTheBuild) {
  const fs::path a = Run("a");
  const fs::path b = Run("b");
  for (const char* name : kFiles) {
    const auto bytesA = ReadAll(a / name);
    ASSERT_FALSE(bytesA.empty()) << name;
    EXPECT_EQ(bytesA, ReadAll(b / name)) << name;
    EXPECT_EQ(bytesA, ReadAll(fs::path(VARSK_GENERATED_DIR) / name)) << name << " is stale";
    EXPECT_FALSE(fs::exists(a / (std::string(name) + ".part")));
  }
  const auto blob = EmbeddedDataSetBytes();
  EXPECT_EQ(ReadAll(a / "ms_data.bin"), std::vector<uint8_t>(blob.begin(), blob.end()))
      << "the programs embed what the generator writes";
}

TEST_F(GeneratorRuns, RefusesAMissingArgument) {
  const std::string command = std::string("\"") + VARSK_DATAGEN_EXE + "\" 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
}

TEST_F(GeneratorRuns, ReportsAFolderItCannotWrite) {
  fs::create_directories(dir_);
  const fs::path file = dir_ / "not-a-folder";
  std::ofstream(file) << "x";
  const std::string command =
      std::string("\"") + VARSK_DATAGEN_EXE + "\" \"" + (file / "out").string() + "\" 2>/dev/null";
  EXPECT_NE(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadAll(file), std::vector<uint8_t>{'x'});
}

struct NameListCase {
  const char* file;
  const char* encoding;  // nullptr: plain ASCII
};

class NameLists : public ::testing::TestWithParam<NameListCase> {};

TEST_P(NameLists, HaveTheLineLayoutAndDecodeCleanly) {
  const auto bytes = ReadAll(fs::path(VARSK_GENERATED_DIR) / GetParam().file);
  ASSERT_FALSE(bytes.empty());
  // Every line ends in CR LF; no bare CR or LF, no zero byte.
  int lines = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    ASSERT_NE(bytes[i], 0) << i;
    if (bytes[i] == '\r') {
      ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
      ++lines;
      ++i;
    } else {
      ASSERT_NE(bytes[i], '\n') << "bare LF at " << i;
    }
  }
  EXPECT_EQ(bytes.back(), '\n');
  EXPECT_GT(lines, 404);
  const NameList list = SplitNameList(bytes);
  ASSERT_EQ(static_cast<int>(list.size()), lines);
  for (int i = 0; i < 404; ++i)
    EXPECT_FALSE(list[static_cast<size_t>(i)].empty()) << "line " << i + 1;

  if (GetParam().encoding == nullptr) {
    for (uint8_t b : bytes) ASSERT_LT(b, 0x80);
    return;
  }
  QStringDecoder decoder(GetParam().encoding);
  ASSERT_TRUE(decoder.isValid());
  const QString text = decoder.decode(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<qsizetype>(bytes.size())));
  EXPECT_FALSE(decoder.hasError());
  EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
  // Names are not just ASCII: most lines carry Chinese or Japanese characters.
  int wide = 0;
  for (const QString& line : text.split(QStringLiteral("\r\n"))) {
    wide += std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() >= 0x3000; });
  }
  EXPECT_GT(wide, 350);
}

INSTANTIATE_TEST_SUITE_P(AllThree, NameLists,
                         ::testing::Values(NameListCase{"namestringE.txt", nullptr},
                                           NameListCase{"namestringC.txt", "Big5"},
                                           NameListCase{"namestringJ.txt", "Shift_JIS"}));

// The unit designations ("AR-05", "XM-90P") agree across the three lists.
TEST(NameListsAgree, UnitDesignationsMatchAcrossLanguages) {
  const fs::path dir(VARSK_GENERATED_DIR);
  const NameList e = SplitNameList(ReadAll(dir / "namestringE.txt"));
  const NameList c = SplitNameList(ReadAll(dir / "namestringC.txt"));
  const NameList j = SplitNameList(ReadAll(dir / "namestringJ.txt"));
  ASSERT_GE(e.size(), 404u);
  ASSERT_GE(c.size(), 404u);
  ASSERT_GE(j.size(), 404u);
  for (size_t i = 0; i < 191; ++i) {
    const std::string code = e[i].substr(0, e[i].find(' ') + 1);
    ASSERT_GE(code.size(), 6u) << e[i];
    EXPECT_EQ(c[i].compare(0, code.size(), code), 0) << "line " << i + 1;
    EXPECT_EQ(j[i].compare(0, code.size(), code), 0) << "line " << i + 1;
  }
  std::set<std::string> unique(e.begin(), e.begin() + 404);
  EXPECT_EQ(unique.size(), 404u) << "every entry and weapon has a name of its own";
}

class SampleRom : public ::testing::Test {
 protected:
  void SetUp() override { rom_ = ReadAll(fs::path(VARSK_GENERATED_DIR) / "sample-rom.gba"); }
  std::vector<uint8_t> rom_;
};

TEST_F(SampleRom, HasAPlausibleHeader) {
  ASSERT_EQ(rom_.size(), 8u * 1024 * 1024);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&rom_[0xA0]), 10), "VARSK DEMO");
  EXPECT_EQ(rom_[0xB2], 0x96);
  int sum = 0;
  for (int i = 0xA0; i <= 0xBC; ++i) sum += rom_[i];
  EXPECT_EQ(rom_[0xBD], static_cast<uint8_t>(-sum - 0x19));
}

TEST_F(SampleRom, HoldsTunedStatTablesThatRoundTrip) {
  ASSERT_EQ(rom_.size(), 8u * 1024 * 1024);
  RegisterEmbeddedDataSet();
  auto shipped = std::make_unique<DataSet>();
  LoadDataSet(*shipped);
  auto loaded = std::make_unique<DataSet>(*shipped);
  auto buffers = std::make_unique<RomBuffers>();
  std::memcpy(buffers->ms.data(), rom_.data() + kMsTableOffset, kMsTableBytes);
  std::memcpy(buffers->ship.data(), rom_.data() + kShipTableOffset, kShipTableBytes);
  UnpackRomTables(*buffers, *loaded);
  int cheaper = 0, sturdier = 0;
  for (int k = 1; k <= 191; ++k) {
    const MsRecord& a = *shipped->MsSlot(k);
    const MsRecord& b = *loaded->MsSlot(k);
    cheaper += b.cost < a.cost;
    sturdier += b.hp > a.hp;
    EXPECT_EQ(a.weapons[1].weaponId, b.weapons[1].weaponId) << k;
    EXPECT_EQ(a.factionFlags, b.factionFlags) << k;
  }
  EXPECT_GT(cheaper, 150);
  EXPECT_GT(sturdier, 150);
  // The tables are what packing the unpacked records gives back.
  auto repacked = std::make_unique<RomBuffers>();
  PackRomTables(*loaded, *repacked);
  EXPECT_EQ(repacked->ms, buffers->ms);
  EXPECT_EQ(repacked->ship, buffers->ship);
  // Unit tables by every sign `info` looks for.
  EXPECT_EQ(CountImplausibleEntries(*buffers), 0);
}

}  // namespace
}  // namespace varsk
