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

// Characters that would act on a terminal instead of showing: C1 controls
// (NEL among them), the line and paragraph separators, and the direction
// controls that reorder what follows them on the line. U+FFFE and U+FFFF are
// no characters at all (XML cannot hold them: an SVG with one does not open).
bool ActsOnTheLine(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0x061C || c == 0x200E ||
         c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
         c == 0xFFFE || c == 0xFFFF;
}

// ShownText of at most `maxCharacters` characters (an escape counts as the
// four it shows); sets `cut` when text was left out.
std::string Shown(std::string_view text, size_t maxCharacters, bool& cut) {
  std::string out;
  size_t characters = 0;
  size_t pos = 0;
  cut = false;
  while (pos < text.size()) {
    const std::string_view rest = text.substr(pos);
    const size_t length = Utf8SequenceLength(rest);
    const char32_t c = length == 0 ? 0 : Utf8Character(rest, length);
    const bool printable = length > 0 && c >= 0x20 && c != 0x7F && !ActsOnTheLine(c);
    // A byte that is not UTF-8 is escaped alone; a character, every byte of it.
    const size_t taken = length == 0 ? 1 : length;
    const size_t width = printable ? 1 : 4 * taken;
    if (characters + width > maxCharacters) {
      cut = true;
      break;
    }
    if (printable) {
      out.append(rest.substr(0, length));
    } else {
      for (size_t i = 0; i < taken; ++i) AppendEscaped(out, static_cast<unsigned char>(rest[i]));
    }
    pos += taken;
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
