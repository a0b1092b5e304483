// A run of byte offsets in a file, as a patch writes it.
#pragma once

#include <cstdint>
#include <vector>

namespace varsk {

struct ByteRange {
  uint64_t begin = 0;
  uint64_t end = 0;  // one past the last byte
  bool Overlaps(const ByteRange& other) const { return begin < other.end && other.begin < end; }
};

// Adds [begin, end) to `ranges`, joined to the last one where they meet, so
// that a patch's many small writes stay a short list.
inline void AddRange(std::vector<ByteRange>& ranges, uint64_t begin, uint64_t end) {
  if (begin >= end) return;
  if (!ranges.empty() && ranges.back().end == begin) {
    ranges.back().end = end;
    return;
  }
  ranges.push_back({begin, end});
}

}  // namespace varsk
