// Name-line decoding: any bytes split into lines, each line decoded for the
// three languages. Valid UTF-8 must decode as UTF-8; the Western list's
// single-byte code page gives one character per byte; the result is always
// well-formed UTF-16.
#include <QString>
#include <cstdint>

#include "data/name_list.h"
#include "fuzz/fuzz_support.h"
#include "qtbridge/name_text.h"

namespace {

bool IsValidUtf8(const std::string& line) {
  const QByteArray bytes =
      QByteArray::fromRawData(line.data(), static_cast<qsizetype>(line.size()));
  // QUtf8StringView::isValidUtf8 is Qt 6.5+; a round trip does the same here.
  return QString::fromUtf8(bytes).toUtf8() == bytes;
}

bool IsWellFormed(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text.at(i);
    if (ch.isHighSurrogate()) {
      if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate()) return false;
      ++i;
    } else if (ch.isLowSurrogate()) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const varsk::NameList lines = varsk::SplitNameList({data, size});
  for (const std::string& line : lines) {
    const bool utf8 = IsValidUtf8(line);
    for (varsk::NameListLanguage language :
         {varsk::NameListLanguage::C, varsk::NameListLanguage::E, varsk::NameListLanguage::J}) {
      const QString text = varsk::DecodeNameLine(line, language);
      FUZZ_CHECK(IsWellFormed(text));
      if (utf8) {
        FUZZ_CHECK(text == QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
      } else if (language == varsk::NameListLanguage::E) {
        FUZZ_CHECK(text.size() == static_cast<qsizetype>(line.size()));
      }
    }
  }
  return 0;
}
