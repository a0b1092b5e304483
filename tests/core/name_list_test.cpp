#include "data/name_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/messages.h"
#include "base/shown_text.h"

namespace varsk {
namespace {

NameList Split(const std::string& text) {
  return SplitNameList({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

struct SplitCase {
  std::string text;
  NameList lines;
};

class NameListSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(NameListSplit, Lines) { EXPECT_EQ(Split(GetParam().text), GetParam().lines); }

INSTANTIATE_TEST_SUITE_P(
    Texts, NameListSplit,
    testing::Values(
        SplitCase{"", {}}, SplitCase{"a", {"a"}}, SplitCase{"a\n", {"a"}},
        SplitCase{"a\r\n", {"a"}}, SplitCase{"a\r", {"a"}}, SplitCase{"\n", {""}},
        SplitCase{"\r\n\r\n", {"", ""}}, SplitCase{"a\nb\r\nc\rd", {"a", "b", "c", "d"}},
        SplitCase{"a\n\rb", {"a", "", "b"}},  // LF CR is two terminators
        SplitCase{"a\r\r\nb", {"a", "", "b"}}, SplitCase{" a \t\r\n", {" a \t"}},  // no trimming
        SplitCase{std::string("a\nb\0c\nd", 7), {"a", "b"}}, SplitCase{std::string("\0a", 2), {}},
        SplitCase{"\xa4\xa4\xa4\xe5\n\xff", {"\xa4\xa4\xa4\xe5", "\xff"}}));

TEST(NameList, LineIndexOutsideTheListIsAnError) {
  const NameList list = Split("zero\none\n");
  EXPECT_EQ(NameLine(list, 0), "zero");
  EXPECT_EQ(NameLine(list, 1), "one");
  for (int64_t index : {int64_t{2}, int64_t{-1}, int64_t{404}}) {
    try {
      NameLine(list, index);
      FAIL() << index;
    } catch (const VarskError& error) {
      EXPECT_EQ(error.what(), "List index out of bounds (" + std::to_string(index) + ")");
    }
  }
}

TEST(NameList, ThreeDigitNumbers) {
  EXPECT_EQ(ThreeDigitNumber(1), "001");
  EXPECT_EQ(ThreeDigitNumber(42), "042");
  EXPECT_EQ(ThreeDigitNumber(229), "229");
}

TEST(NameList, LoadReadsTheFileBytes) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("varsk-names-" + std::to_string(getpid()));
  std::ofstream(path, std::ios::binary) << "first\r\nsecond\n\xb0\xaa\r\n";
  EXPECT_EQ(LoadNameList(path.string()), (NameList{"first", "second", "\xb0\xaa"}));
  std::filesystem::remove(path);
}

TEST(NameList, LoadOfAMissingFileNamesTheFullPath) {
  const std::string cwd = std::filesystem::current_path().string();
  try {
    LoadNameList("no-such-namestring.txt");
    FAIL();
  } catch (const VarskError& error) {
    EXPECT_EQ(error.what(),
              "Cannot open file \"" + cwd + "/no-such-namestring.txt\". No such file or directory");
  }
  EXPECT_THROW(LoadNameList(std::filesystem::temp_directory_path().string()), VarskError);
}

}  // namespace
}  // namespace varsk
