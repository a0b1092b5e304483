// UTF-8: the length of a sequence, decoding and encoding a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varsk {

// The length of the UTF-8 sequence at the start of `text`, or 0 when it is
// not one (a stray continuation byte, an overlong form, a surrogate, a value
// above U+10FFFF, a sequence cut short, or empty text).
size_t Utf8SequenceLength(std::string_view text);
// The character of the first `length` bytes of `text`, a sequence that
// Utf8SequenceLength measured.
char32_t Utf8Character(std::string_view text, size_t length);
// Appends the UTF-8 bytes of the character `c` (up to U+10FFFF; a lone
// surrogate is encoded as its three bytes).
void AppendUtf8(std::string& out, char32_t c);

}  // namespace varsk
