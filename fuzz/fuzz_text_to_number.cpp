// Text to number: any text into TryParseInteger and ParseInteger, compared
// with a plain reading of the rule written out here, plus the round trips
// through the editor's own number formats.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/messages.h"
#include "base/number_text.h"
#include "base/shown_text.h"
#include "base/text_to_number.h"
#include "base/utf8.h"
#include "fuzz/fuzz_support.h"

namespace {

// The rule, read as plainly as possible: blanks (space and the control
// characters below it), an optional sign, then decimal digits within the
// signed 32-bit range, or "$", "x", "X", "0x", "0X" and one to eight
// hexadecimal digits taken as a two's-complement value that the sign negates.
// Nothing may follow the digits.
std::optional<int32_t> ReferenceParse(std::string_view text) {
  std::string_view s = text;
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (s.starts_with("0x") || s.starts_with("0X")) {
    base = 16;
    s.remove_prefix(2);
  } else if (s.starts_with('$') || s.starts_with('x') || s.starts_with('X')) {
    base = 16;
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  if (base == 16 && s.size() > 8) return std::nullopt;
  int64_t value = 0;
  for (char ch : s) {
    int digit = -1;
    if (ch >= '0' && ch <= '9') digit = ch - '0';
    if (base == 16 && ch >= 'a' && ch <= 'f') digit = ch - 'a' + 10;
    if (base == 16 && ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (base == 10 && value > (int64_t{1} << 31)) return std::nullopt;
  }
  if (base == 16) {
    const uint32_t bits = static_cast<uint32_t>(value);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::optional<int32_t> parsed = varsk::TryParseInteger(text);
  const std::optional<int32_t> expected = ReferenceParse(text);
  FUZZ_CHECK(parsed == expected);

  // ParseInteger agrees, and its error quotes the text: whole (what() is not
  // cut at a zero byte), one line of valid UTF-8 with no control bytes, and at
  // most 60 characters of the text.
  try {
    const int32_t value = varsk::ParseInteger(text);
    FUZZ_CHECK(parsed && value == *parsed);
  } catch (const varsk::VarskError& error) {
    FUZZ_CHECK(!parsed);
    const std::string_view message(error.what());
    FUZZ_CHECK(message == varsk::InvalidIntegerMessage(text));
    FUZZ_CHECK(message.size() <= 4 * varsk::kQuotedValueLength + 40);
    for (size_t pos = 0; pos < message.size();) {
      const size_t length = varsk::Utf8SequenceLength(message.substr(pos));
      FUZZ_CHECK(length > 0 && static_cast<unsigned char>(message[pos]) >= 0x20 &&
                 message[pos] != 0x7F);
      pos += length;
    }
    if (size <= varsk::kQuotedValueLength && varsk::ShownText(text) == text) {
      FUZZ_CHECK(message == "'" + std::string(text) + "' is not a valid integer value");
    }
  }

  // Whatever the editor shows, it reads back: decimal and "$" + hex.
  if (size >= 4) {
    int32_t value;
    __builtin_memcpy(&value, data, 4);
    FUZZ_CHECK(varsk::TryParseInteger(varsk::FormatDecimal(value)) == value);
    FUZZ_CHECK(varsk::TryParseInteger("$" + varsk::FormatHex2(value)) == value);
    FUZZ_CHECK(varsk::TryParseInteger("  -0x" + varsk::FormatHex2(value)) ==
               static_cast<int32_t>(0u - static_cast<uint32_t>(value)));
  }
  return 0;
}
