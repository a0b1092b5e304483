// Fast scans over two byte runs, for the patch writers and the diff.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

namespace varsk {

// The first i in [from, to) with a[i] != b[i], or `to`. Equal stretches are
// skipped a block at a time with memcmp, which is many times faster than a
// byte loop over the megabytes that a ROM edit leaves alone.
inline size_t FindDifference(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t from,
                             size_t to) {
  constexpr size_t kBlock = 256;
  size_t i = from;
  while (to - i >= kBlock && std::memcmp(a.data() + i, b.data() + i, kBlock) == 0) i += kBlock;
  while (i < to && a[i] == b[i]) ++i;
  return i;
}

// How many i in [from, to) have a[i] != b[i].
inline int64_t CountDifferences(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t from,
                                size_t to) {
  constexpr size_t kBlock = 256;
  int64_t count = 0;
  size_t i = from;
  while (i < to) {
    const size_t end = std::min(to, i + kBlock);
    if (end - i < kBlock || std::memcmp(a.data() + i, b.data() + i, kBlock) != 0) {
      for (size_t k = i; k < end; ++k) count += a[k] != b[k];
    }
    i = end;
  }
  return count;
}

}  // namespace varsk
