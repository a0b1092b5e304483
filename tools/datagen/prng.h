// The generator's only source of variety: a fixed-seed SplitMix64, so that
// every run on every machine makes the same bytes.
#pragma once

#include <cstdint>

namespace varsk::datagen {

class Prng {
 public:
  explicit Prng(uint64_t seed) : state_(seed) {}

  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A value in lo..hi (inclusive); the tiny modulo bias does not matter here.
  int Range(int lo, int hi) {
    const uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(hi) - lo + 1);
    return lo + static_cast<int>(Next() % span);
  }

  bool Chance(int percent) { return Range(0, 99) < percent; }

 private:
  uint64_t state_;
};

// A seed for one named thing, so that changing one item leaves the others alone.
inline uint64_t SeedFor(uint64_t domain, uint64_t id) {
  Prng prng(domain * 0x100000001B3ull ^ (id + 0x51ED270Bull));
  return prng.Next();
}

}  // namespace varsk::datagen
