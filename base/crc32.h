// CRC32 (the zlib / IEEE 802.3 polynomial) of a byte run of any length.
#pragma once

#include <cstdint>
#include <span>

namespace varsk {

// The CRC32 of `bytes`, as zlib's crc32 computes it ("123456789" -> 0xCBF43926).
uint32_t Crc32(std::span<const uint8_t> bytes);

}  // namespace varsk
