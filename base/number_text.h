// Numbers as text, digit by digit: the hexadecimal digit values every reader
// shares, and the editor's number-to-text forms.
#pragma once

#include <cstdint>
#include <string>

namespace varsk {

// The value of a hexadecimal digit ('0'..'9', 'a'..'f', 'A'..'F'), or -1.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value as unsigned 32-bit upper-case hex, at least two digits: -1 -> "FFFFFFFF".
std::string FormatHex2(int32_t value);
// Signed decimal: -5 -> "-5".
std::string FormatDecimal(int32_t value);

}  // namespace varsk
