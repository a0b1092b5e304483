// The editor's text-to-number rule: optional leading blanks, optional sign,
// then decimal digits within the signed 32-bit range, or "$", "x" or "0x"
// followed by up to eight hexadecimal digits taken as a two's-complement value.
// Nothing may follow the digits.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace varsk {

std::optional<int32_t> TryParseInteger(std::string_view text);
// Throws VarskError("'<text>' is not a valid integer value").
int32_t ParseInteger(std::string_view text);

}  // namespace varsk
