// Synthetic ROM images for the patch tests: reproducible pseudo-random bytes.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace varsk::testing {

constexpr size_t kSyntheticRomSize = size_t{8} << 20;

inline std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  std::mt19937 random(seed);
  size_t i = 0;
  for (; i + 4 <= size; i += 4) {
    const uint32_t word = random();
    for (int k = 0; k < 4; ++k) bytes[i + k] = static_cast<uint8_t>(word >> (8 * k));
  }
  for (; i < size; ++i) bytes[i] = static_cast<uint8_t>(random());
  return bytes;
}

inline std::vector<uint8_t> SyntheticRom(uint32_t seed = 1) {
  return RandomBytes(kSyntheticRomSize, seed);
}

}  // namespace varsk::testing
