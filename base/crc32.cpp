#include "base/crc32.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace varsk {

uint32_t Crc32(std::span<const uint8_t> bytes) {
  // zlib takes the length as uInt: feed very long runs in pieces.
  uLong crc = crc32(0L, Z_NULL, 0);
  size_t pos = 0;
  while (pos < bytes.size()) {
    const size_t piece = std::min<size_t>(bytes.size() - pos, UINT_MAX);
    crc = crc32(crc, bytes.data() + pos, static_cast<uInt>(piece));
    pos += piece;
  }
  return static_cast<uint32_t>(crc);
}

}  // namespace varsk
