// Name-list lines are 8-bit text of unknown origin: lines that are valid
// UTF-8 are taken as such, the others in the legacy code page of their list.
#include "qtbridge/name_text.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <optional>

namespace varsk {

namespace {

bool IsAscii(const std::string& line) {
  for (const char c : line) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

const char* CodePageOf(NameListLanguage language) {
  switch (language) {
    case NameListLanguage::C:
      return "Big5";
    case NameListLanguage::J:
      return "Shift_JIS";
    case NameListLanguage::E:
      break;
  }
  return "windows-1252";
}

// One decoder per list, opened once: opening a code-page converter costs far
// more than decoding a line.
QStringDecoder* LegacyDecoder(NameListLanguage language) {
  thread_local std::optional<QStringDecoder> decoders[3];
  std::optional<QStringDecoder>& decoder = decoders[static_cast<int>(language)];
  if (!decoder) decoder.emplace(CodePageOf(language), QStringDecoder::Flag::Stateless);
  return decoder->isValid() ? &*decoder : nullptr;
}

}  // namespace

QString DecodeNameLine(const std::string& line, NameListLanguage language) {
  const QByteArrayView bytes(line.data(), static_cast<qsizetype>(line.size()));
  if (IsAscii(line)) return QString::fromLatin1(bytes);
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  if (QStringDecoder* decoder = LegacyDecoder(language)) {
    decoder->resetState();
    return decoder->decode(bytes);
  }
  // No converter for the code page on this system: keep every byte visible.
  return QString::fromLatin1(bytes);
}

}  // namespace varsk
