// The shape of the sprite graphics: the 147 clip layouts, the animation sets
// that use them and the pose each frame shows. A clip is a canvas of tiles; a
// sprite's sheet holds the pixels, so sprites that share a set share layouts
// but not pictures.
#pragma once

#include <cstdint>
#include <vector>

#include "data/records.h"

namespace varsk::datagen {

constexpr int kClipCount = 147;
constexpr int kSetCount = 51;

enum class Pose : uint8_t {
  Idle,
  Walk,
  Ready,
  Fire,
  Crouch,
  Melee,
  Guard,
  Damaged,
  Boost,
  Burst1,
  Burst2,
  Burst3,  // a 16 x 16 explosion, growing
  Transforming,
  Cruise,  // the transforming unit's middle and flight forms
  Hull,    // a ship
};

enum class ClipKind : uint8_t {
  Canvas,     // own tiles, a picture of its own
  Symmetric,  // own tiles for the left half; the right half repeats them with flip 1
  Mirror,     // the tiles of `source`, columns reversed, flip 1: the picture facing the other way
  Shift,      // the tiles of `source`, every cell moved by (shiftX, shiftY)
  Rotate,     // the tiles of `source` turned half round (flip 3)
  Filler,     // a layout no set uses
};

struct ClipDesign {
  int number = 0;
  int cols = 0;
  int rows = 0;
  ClipKind kind = ClipKind::Canvas;
  int source = 0;
  int shiftX = 0;
  int shiftY = 0;
  std::vector<uint8_t>
      numbers;  // canvas and filler clips: tile number of each used cell, row-major
};

enum class SetRole : uint8_t {
  Light,
  Hover,
  Support,
  Transform,
  Medium,
  Heavy,
  Tall,
  Armor,
  Elite,
  Single,
  Ship
};

struct SetFrame {
  int clip = 0;
  int32_t tileBase = 0;
  Pose pose = Pose::Idle;  // what a canvas frame shows
};

struct SetDesign {
  int number = 0;
  SetRole role = SetRole::Light;
  int32_t auxValue = 0;
  std::vector<SetFrame> frames;  // frame f at [f - 1]
};

// Clip number k at [k - 1].
const std::vector<ClipDesign>& ClipDesigns();
// Set number n at [n - 1].
const std::vector<SetDesign>& SetDesigns();
// The layout as stored in the data set.
ClipRecord MakeClipRecord(int clipNumber);
// The frame the preview shows for an entry (frame 5 of sets with more than
// five frames below entry 183, else frame 1), 1-based.
int PreviewFrameOf(int setNumber, int entryIndex);
// Throws std::logic_error when a set addresses a tile outside its sheet or two
// canvas frames of one set claim the same tile, or the clip sizes do not add
// up to the shipped total.
void CheckClipPlan();

}  // namespace varsk::datagen
