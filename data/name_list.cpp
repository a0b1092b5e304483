// The name lists: 8-bit text files split into lines.
#include "data/name_list.h"

#include <algorithm>
#include <cstdio>

#include "base/file_io.h"
#include "base/messages.h"

namespace varsk {

NameList SplitNameList(std::span<const uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  const std::span<const uint8_t> text(bytes.begin(), end);
  NameList lines;
  size_t start = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const uint8_t c = text[pos];
    if (c != '\r' && c != '\n') {
      ++pos;
      continue;
    }
    lines.emplace_back(reinterpret_cast<const char*>(text.data() + start), pos - start);
    pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    start = pos;
  }
  // A last line without a terminator still counts.
  if (start < text.size()) {
    lines.emplace_back(reinterpret_cast<const char*>(text.data() + start), text.size() - start);
  }
  return lines;
}

NameList LoadNameList(const std::string& path) {
  return SplitNameList(ReadWholeFile(path, FileKind::NameListFile));
}

const std::string& NameLine(const NameList& list, int64_t index) {
  if (index < 0 || index >= static_cast<int64_t>(list.size())) {
    throw VarskError(ListIndexOutOfBoundsMessage(index));
  }
  return list[static_cast<size_t>(index)];
}

std::string ThreeDigitNumber(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%03d", n);
  return text;
}

}  // namespace varsk
