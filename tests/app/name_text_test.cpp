// Display text of name-list lines: UTF-8 first, then the list's code page.
#include "qtbridge/name_text.h"

#include <gtest/gtest.h>

namespace varsk {
namespace {

struct NameTextCase {
  const char* name;
  std::string bytes;
  NameListLanguage language;
  const char16_t* expected;
};

class NameTextTest : public ::testing::TestWithParam<NameTextCase> {};

TEST_P(NameTextTest, DecodesTheLine) {
  const NameTextCase& c = GetParam();
  EXPECT_EQ(DecodeNameLine(c.bytes, c.language), QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, NameTextTest,
    ::testing::Values(
        NameTextCase{"Ascii", "Beam Rifle", NameListLanguage::E, u"Beam Rifle"},
        NameTextCase{"Empty", "", NameListLanguage::C, u""},
        NameTextCase{"Utf8InAnyList", "\xE5\x85\x89\xE6\x9D\x9F", NameListLanguage::E, u"光束"},
        NameTextCase{"Big5", "\xA5\xFA\xA7\xF4", NameListLanguage::C, u"光束"},
        NameTextCase{"ShiftJis", "\x83\x72\x81\x5B\x83\x80", NameListLanguage::J, u"ビーム"},
        NameTextCase{"Windows1252", "\x93Z\x94 caf\xE9", NameListLanguage::E,
                     u"\u201CZ\u201D caf\u00E9"},
        NameTextCase{"Blanks", "  a  ", NameListLanguage::J, u"  a  "}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST(NameText, InvalidBytesNeverCrashAndKeepTheLineVisible) {
  for (const auto language : {NameListLanguage::C, NameListLanguage::E, NameListLanguage::J}) {
    EXPECT_FALSE(DecodeNameLine(std::string("\xFF\xFE\x81", 3), language).isEmpty());
  }
}

}  // namespace
}  // namespace varsk
