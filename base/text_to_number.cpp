// The text-to-number rule of the editor's edits.
#include "base/text_to_number.h"

#include <cstddef>
#include <limits>

#include "base/messages.h"
#include "base/number_text.h"

namespace varsk {

std::optional<int32_t> TryParseInteger(std::string_view text) {
  size_t pos = 0;
  // Blanks: the space and every ASCII control character before it.
  while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= 0x20) ++pos;

  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }

  bool hex = false;
  if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
    hex = true;
    pos += 1;
  } else if (pos + 1 < text.size() && text[pos] == '0' &&
             (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    hex = true;
    pos += 2;
  }

  const std::string_view digits = text.substr(pos);
  if (digits.empty()) return std::nullopt;

  if (hex) {
    // One to eight digits, taken as a 32-bit two's-complement value; a sign negates it.
    if (digits.size() > 8) return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
      const int digit = HexDigitValue(c);
      if (digit < 0) return std::nullopt;
      value = (value << 4) | static_cast<uint32_t>(digit);
    }
    if (negative) value = 0u - value;
    return static_cast<int32_t>(value);
  }

  // Decimal: the magnitude may reach 2^31 only with a minus sign.
  const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
  uint64_t magnitude = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
    if (magnitude > limit) return std::nullopt;
  }
  if (negative) return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
  return static_cast<int32_t>(magnitude);
}

int32_t ParseInteger(std::string_view text) {
  const std::optional<int32_t> value = TryParseInteger(text);
  if (!value) throw VarskError(InvalidIntegerMessage(text));
  return *value;
}

}  // namespace varsk
