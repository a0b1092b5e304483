#include "base/shown_text.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "base/utf8.h"

namespace varsk {

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
  static const char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

// ShownText of at most `maxCharacters` characters (an escape counts as the
// four it shows); sets `cut` when text was left out.
std::string Shown(std::string_view text, size_t maxCharacters, bool& cut) {
  std::string out;
  size_t characters = 0;
  size_t pos = 0;
  cut = false;
  while (pos < text.size()) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    const size_t length = Utf8SequenceLength(text.substr(pos));
    // C1 control characters (U+0080..U+009F) are control characters too.
    const bool c1 = length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[pos + 1]) < 0xA0;
    const bool printable = (length > 1 && !c1) || (length == 1 && byte >= 0x20 && byte != 0x7F);
    const size_t width = printable ? 1 : 4;
    if (characters + width > maxCharacters) {
      cut = true;
      break;
    }
    if (printable) {
      out.append(text.substr(pos, length));
      pos += length;
    } else {
      AppendEscaped(out, byte);
      ++pos;
    }
    characters += width;
  }
  return out;
}

}  // namespace

std::string ShownText(std::string_view text) {
  bool cut = false;
  return Shown(text, SIZE_MAX, cut);
}

std::string QuotedValue(std::string_view value) {
  bool cut = false;
  std::string shown = Shown(value, kQuotedValueLength, cut);
  if (cut) shown += "...";
  return shown;
}

std::string FullPath(std::string_view fileName) {
  std::error_code error;
  std::filesystem::path absolute =
      std::filesystem::absolute(std::filesystem::path(fileName), error);
  if (error) return ShownText(fileName);
  return ShownText(absolute.lexically_normal().string());
}

std::string QuotedAsciiText(std::string_view bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      text += c;
    } else {
      AppendEscaped(text, byte);
    }
  }
  return text + '"';
}

}  // namespace varsk
