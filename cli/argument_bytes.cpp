#include "cli/argument_bytes.h"

#include "base/shown_text.h"
#include "base/utf8.h"

namespace varsk::cli {

namespace {

// Lone surrogates U+DC80..U+DCFF stand for the bytes 0x80..0xFF of an
// argument that are not UTF-8.
constexpr char16_t kEscapedByteBase = 0xDC00;

}  // namespace

QString DecodeArgument(const char* bytes) {
  const std::string_view text(bytes);
  QString decoded;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t length = Utf8SequenceLength(text.substr(pos));
    if (length == 0) {
      decoded += QChar(static_cast<char16_t>(kEscapedByteBase + static_cast<uint8_t>(text[pos])));
      ++pos;
    } else {
      decoded += QString::fromUtf8(text.data() + pos, static_cast<qsizetype>(length));
      pos += length;
    }
  }
  return decoded;
}

std::string ArgumentBytes(const QString& argument) {
  std::string bytes;
  const qsizetype n = argument.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t unit = argument.at(i).unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < n && argument.at(i + 1).isLowSurrogate()) {
      AppendUtf8(bytes, QChar::surrogateToUcs4(unit, argument.at(i + 1).unicode()));
      ++i;
    } else if (unit >= kEscapedByteBase + 0x80 && unit <= kEscapedByteBase + 0xFF) {
      bytes += static_cast<char>(unit - kEscapedByteBase);
    } else {
      AppendUtf8(bytes, unit);
    }
  }
  return bytes;
}

QString ShownPath(const std::string& path) { return QString::fromStdString(FullPath(path)); }

}  // namespace varsk::cli
