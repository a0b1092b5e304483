// Name lists in their 8-bit character sets.
#include "name_lists.h"

#include <QStringEncoder>
#include <stdexcept>

#include "catalogue.h"

namespace varsk::datagen {
namespace {

std::vector<uint8_t> Encode(const std::string& utf8, NameLanguage language) {
  if (language == NameLanguage::E) {
    for (char ch : utf8) {
      if (static_cast<unsigned char>(ch) >= 0x80) throw std::runtime_error("not ASCII: " + utf8);
    }
    return {utf8.begin(), utf8.end()};
  }
  QStringEncoder encoder(language == NameLanguage::C ? "Big5" : "Shift_JIS");
  if (!encoder.isValid()) throw std::runtime_error("no Big5 / Shift_JIS encoder in this Qt");
  const QByteArray bytes =
      encoder.encode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  if (encoder.hasError()) throw std::runtime_error("cannot encode: " + utf8);
  return {bytes.begin(), bytes.end()};
}

}  // namespace

std::vector<uint8_t> MakeNameList(NameLanguage language) {
  const Catalogue& cat = TheCatalogue();
  auto pick = [&](const Names& n) -> const std::string& {
    return language == NameLanguage::E ? n.e : language == NameLanguage::C ? n.c : n.j;
  };
  std::vector<std::string> lines;
  for (const EntryDesign& e : cat.entries) lines.push_back(pick(e.names));
  for (const Names& w : cat.weapons) lines.push_back(pick(w));
  // Lines after 404 are not read by the editor: a note on where the list came from.
  static const Names kTrailer[] = {
      {"", "", ""},
      {"; Varsk sample catalogue, made by varsk-datagen", "; Varsk 範例目錄，由 varsk-datagen 產生",
       "; Varsk サンプル目録 (varsk-datagen により生成)"},
      {"; lines 1-229 units and ships, 230-404 weapons", "; 第1-229行 機體與艦艇，第230-404行 武器",
       "; 1-229行 機体と艦艇、230-404行 武装"},
  };
  for (const Names& t : kTrailer) lines.push_back(pick(t));
  std::vector<uint8_t> out;
  for (const std::string& line : lines) {
    const std::vector<uint8_t> bytes = Encode(line, language);
    out.insert(out.end(), bytes.begin(), bytes.end());
    out.push_back('\r');
    out.push_back('\n');
  }
  return out;
}

}  // namespace varsk::datagen
