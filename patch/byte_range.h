// A run of byte offsets in a file, as a patch writes it.
#pragma once

#include <cstdint>

namespace varsk {

struct ByteRange {
  uint64_t begin = 0;
  uint64_t end = 0;  // one past the last byte
  bool Overlaps(const ByteRange& other) const { return begin < other.end && other.begin < end; }
};

}  // namespace varsk
