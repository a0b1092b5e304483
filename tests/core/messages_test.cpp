#include "base/messages.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "base/shown_text.h"

namespace varsk {
namespace {

TEST(Messages, TextsOfTheFormats) {
  EXPECT_EQ(InvalidIntegerMessage("12a"), "'12a' is not a valid integer value");
  EXPECT_EQ(CannotOpenFileMessage("/r/a.gba", "No such file or directory"),
            "Cannot open file \"/r/a.gba\". No such file or directory");
  EXPECT_EQ(CannotCreateFileMessage("/w/info/ms_anmset.dat", "Permission denied"),
            "Cannot create file \"/w/info/ms_anmset.dat\". Permission denied");
  EXPECT_EQ(ResourceNotFoundMessage("MS_DATA"), "Resource MS_DATA not found");
  EXPECT_EQ(ListIndexOutOfBoundsMessage(404), "List index out of bounds (404)");
  EXPECT_EQ(ListIndexOutOfBoundsMessage(-1), "List index out of bounds (-1)");
  EXPECT_EQ(RomTooShortMessage("/r/a.gba", 100, 4205224),
            "File \"/r/a.gba\" is too short to hold the unit tables (100 bytes, at least 4205224 "
            "needed)");
  EXPECT_EQ(CannotWriteFileMessage("/r/a.gba", "No space left on device"),
            "Cannot write file \"/r/a.gba\". No space left on device");
}

// A question names at most three controls; four are named whole.
TEST(Messages, ControlNamesInASentence) {
  EXPECT_EQ(ControlNamesText({"HP"}), "HP");
  EXPECT_EQ(ControlNamesText({"HP", "Cost"}), "HP and Cost");
  EXPECT_EQ(ControlNamesText({"HP", "Cost", "EN", "Move"}), "HP, Cost, EN and Move");
  EXPECT_EQ(ControlNamesText({"HP", "Cost", "EN", "Move", "Tech"}), "HP, Cost, EN and 2 more");
}

TEST(Messages, FullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(WithFullStop("'x' is not a valid integer value"), "'x' is not a valid integer value.");
  EXPECT_EQ(WithFullStop("List index out of bounds (3)"), "List index out of bounds (3)");
  EXPECT_EQ(WithFullStop("done."), "done.");
  EXPECT_EQ(WithFullStop("a-"), "a-");         // '-' is below '.'
  EXPECT_EQ(WithFullStop("a/"), "a/.");        // '/' is just above
  EXPECT_EQ(WithFullStop("a\xa4"), "a\xa4.");  // 8-bit characters count as above
  EXPECT_EQ(WithFullStop(""), "");
}

TEST(Messages, SystemErrorTextIsTheSystemsDescription) {
  EXPECT_EQ(SystemErrorText(ENOENT), "No such file or directory");
}

TEST(Messages, ValuesAreShownEscapedAndAtMostSixtyCharactersLong) {
  EXPECT_EQ(QuotedValue("12a"), "12a");
  EXPECT_EQ(QuotedValue(std::string("a\0b\n", 4)), "a\\x00b\\x0A");  // not cut at the NUL
  EXPECT_EQ(QuotedValue("\xff-rom \xe9t\xc3\xa9"), "\\xFF-rom \\xE9t\xc3\xa9");
  EXPECT_EQ(QuotedValue(std::string(1 << 20, '7')), std::string(60, '7') + "...");
  EXPECT_EQ(QuotedValue(std::string(60, '7')), std::string(60, '7'));
  EXPECT_EQ(InvalidIntegerMessage(std::string(59, '1') + "\x01"),
            "'" + std::string(59, '1') + "...' is not a valid integer value");
  EXPECT_EQ(FullPath("/r/\xff\x1b[2J.gba"), "/r/\\xFF\\x1B[2J.gba");
}

// Names from a list reach terminals through reports: what would act there
// instead of showing (C1 controls such as NEL, the line and paragraph
// separators, direction overrides) is escaped byte by byte; letters stay.
TEST(Messages, TextThatWouldActOnATerminalIsEscaped) {
  EXPECT_EQ(ShownText("a\xc2\x85"
                      "b\xe2\x80\xa8"
                      "c\xe2\x80\xa9"
                      "d\xe2\x80\xae"
                      "e\x1b[2J\v\f"
                      "f\xef\xbf\xbf"),
            "a\\xC2\\x85b\\xE2\\x80\\xA8c\\xE2\\x80\\xA9d\\xE2\\x80\\xAEe\\x1B[2J\\x0B\\x0C"
            "f\\xEF\\xBF\\xBF");
  EXPECT_EQ(ShownText("\xc2\xa0\xc3\xa9\xe6\xa9\x9f\xe2\x80\xa6"),
            "\xc2\xa0\xc3\xa9\xe6\xa9\x9f\xe2\x80\xa6");
  // A cut never splits an escaped character: its escapes count whole.
  EXPECT_EQ(QuotedValue(std::string(57, '7') + "\xe2\x80\xa8"), std::string(57, '7') + "...");
}

// Header bytes read back unambiguously: a quote or backslash inside is escaped
// too, and so is every byte outside printable ASCII, UTF-8 or not.
TEST(Messages, HeaderBytesAreQuotedAsAscii) {
  EXPECT_EQ(QuotedAsciiText("AVTE"), "\"AVTE\"");
  EXPECT_EQ(QuotedAsciiText(std::string("a\"b\\c\x01\x7f\xc3\xa9\0", 10)),
            "\"a\\x22b\\x5Cc\\x01\\x7F\\xC3\\xA9\\x00\"");
}

TEST(Messages, FullPathIsAbsoluteAndNormal) {
  const std::filesystem::path cwd = std::filesystem::current_path();
  EXPECT_EQ(FullPath("a.gba"), (cwd / "a.gba").string());
  EXPECT_EQ(FullPath("sub/../b.gba"), (cwd / "b.gba").string());
  EXPECT_EQ(FullPath("/x/./y//z.gba"), "/x/y/z.gba");
}

}  // namespace
}  // namespace varsk
