// The animation set table: set number -> frames of (clip number, tile base).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace varsk {

constexpr int kAnimSetCount = 64;
constexpr int kMaxFrames = 14;

struct AnimSetEntry {
  uint8_t frameCount = 0;                        // 0 = empty set
  int32_t auxValue = 0;                          // carried, never read
  std::array<uint8_t, kMaxFrames> clipNumber{};  // frame f (1-based) at [f - 1]
  std::array<int32_t, kMaxFrames> tileBase{};    // frame f (1-based) at [f - 1]
};

struct AnimFrame {
  int clipNumber = 0;
  int32_t tileBase = 0;
};

struct AnimSetTable {
  std::array<AnimSetEntry, kAnimSetCount> sets{};  // set number n at [n - 1]

  // The set of number 1..64; nullptr for 0, negative or above 64.
  const AnimSetEntry* Find(int setNumber) const;
  // Frame f (1..frameCount) of a set; nothing for a missing set or frame.
  std::optional<AnimFrame> Frame(int setNumber, int frame) const;
};

// Writes the fixed content of sets 1..51 (variants copied from earlier sets),
// after emptying all 64.
void BuildAnimSetTable(AnimSetTable& table);

AnimSetTable& GlobalAnimSetTable();

}  // namespace varsk
