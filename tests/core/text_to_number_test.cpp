#include "base/text_to_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "base/messages.h"
#include "base/number_text.h"
#include "base/shown_text.h"

namespace varsk {
namespace {

struct Accepted {
  std::string text;
  int32_t value;
};

class AcceptedText : public testing::TestWithParam<Accepted> {};

TEST_P(AcceptedText, ConvertsToItsValue) {
  EXPECT_EQ(TryParseInteger(GetParam().text), GetParam().value);
  EXPECT_EQ(ParseInteger(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AcceptedText,
    testing::Values(Accepted{"0", 0}, Accepted{"171", 171}, Accepted{"-16", -16},
                    Accepted{"+42", 42}, Accepted{"-0", 0}, Accepted{"007", 7},
                    Accepted{"   12", 12}, Accepted{"\t\r\n 5", 5},
                    Accepted{"2147483647", 2147483647}, Accepted{"-2147483648", INT32_MIN},
                    Accepted{"000000000002147483647", 2147483647},  // leading zeros do not overflow
                    Accepted{"$10", 16}, Accepted{"x1f", 31}, Accepted{"X1F", 31},
                    Accepted{"0x7fffFFFF", 2147483647}, Accepted{"0XFF", 255},
                    Accepted{"$FFFFFFFF", -1}, Accepted{"$80000000", INT32_MIN},
                    Accepted{"-$10", -16}, Accepted{"+$10", 16}, Accepted{"-0x80000000", INT32_MIN},
                    Accepted{"-$FFFFFFFF", 1}, Accepted{" $0", 0}, Accepted{"$00000001", 1}));

class RejectedText : public testing::TestWithParam<std::string> {};

TEST_P(RejectedText, RaisesTheConversionErrorWithTheText) {
  EXPECT_EQ(TryParseInteger(GetParam()), std::nullopt);
  try {
    ParseInteger(GetParam());
    FAIL() << "no error for '" << GetParam() << "'";
  } catch (const VarskError& error) {
    // The text as messages quote it: a NUL or a byte that is not UTF-8 escaped.
    EXPECT_EQ(error.what(), "'" + QuotedValue(GetParam()) + "' is not a valid integer value");
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, RejectedText,
                         testing::Values("", " ", "+", "-", "--1", "+-1", "- 1", "12 ", "12a",
                                         "1.5", "1e3", "2147483648", "-2147483649",
                                         "99999999999999999999", "$", "x", "0x", "-$", "$123456789",
                                         "0x000000001", "$G", "0x-1", "$ 1", "0b101", "a12",
                                         std::string("12\0", 3),
                                         "\xa0"
                                         "1",
                                         "1,000"));

TEST(FormatText, HexAndDecimal) {
  const std::pair<int32_t, const char*> hex[] = {
      {0, "00"}, {10, "0A"}, {255, "FF"}, {256, "100"}, {-1, "FFFFFFFF"}, {INT32_MIN, "80000000"}};
  for (auto [value, text] : hex) EXPECT_EQ(FormatHex2(value), text) << value;
  const std::pair<int32_t, const char*> dec[] = {
      {0, "0"}, {-5, "-5"}, {42, "42"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
  for (auto [value, text] : dec) EXPECT_EQ(FormatDecimal(value), text) << value;
}

}  // namespace
}  // namespace varsk
