#include "base/number_text.h"

#include <cstdio>

namespace varsk {

std::string FormatHex2(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(static_cast<uint32_t>(value)));
  return text;
}

std::string FormatDecimal(int32_t value) { return std::to_string(value); }

}  // namespace varsk
