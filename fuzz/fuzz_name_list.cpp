// Name lists: any bytes into SplitNameList and, through a file, LoadNameList;
// the lines are compared with a plain splitter written out here.
#include <cstdint>
#include <string>
#include <vector>

#include "base/messages.h"
#include "data/name_list.h"
#include "fuzz/fuzz_support.h"

namespace {

// The text ends at its end or at its first zero byte; CR, LF and CR LF end a
// line; a last line without a terminator counts, an empty tail does not.
std::vector<std::string> ReferenceSplit(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  std::string current;
  bool open = false;
  for (size_t i = 0; i < size && data[i] != 0; ++i) {
    const char ch = static_cast<char>(data[i]);
    if (ch == '\n' || ch == '\r') {
      lines.push_back(current);
      current.clear();
      open = false;
      if (ch == '\r' && i + 1 < size && data[i + 1] == '\n') ++i;
    } else {
      current.push_back(ch);
      open = true;
    }
  }
  if (open) lines.push_back(current);
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const varsk::NameList lines = varsk::SplitNameList({data, size});
  FUZZ_CHECK(lines == ReferenceSplit(data, size));

  // Reading the same bytes from a file gives the same lines.
  static const auto path = varsk::fuzz::ScratchDir() / "namestringE.txt";
  varsk::fuzz::WriteWholeFile(path, {data, size});
  FUZZ_CHECK(varsk::LoadNameList(path.string()) == lines);

  // NameLine hands out exactly the lines there are.
  const int64_t count = static_cast<int64_t>(lines.size());
  for (int64_t index : {int64_t{-1}, int64_t{0}, count - 1, count, int64_t{varsk::kEntryNameLines},
                        int64_t{INT32_MAX} + 1}) {
    try {
      const std::string& line = varsk::NameLine(lines, index);
      FUZZ_CHECK(index >= 0 && index < count && &line == &lines[static_cast<size_t>(index)]);
    } catch (const varsk::VarskError& error) {
      FUZZ_CHECK(index < 0 || index >= count);
      FUZZ_CHECK(error.what() == varsk::ListIndexOutOfBoundsMessage(index));
    }
  }
  return 0;
}
