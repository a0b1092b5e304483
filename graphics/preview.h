// The two previews of the window, drawn into Bitmap32 back buffers: the
// selected entry's sprite (128 x 80) and the 13 faction icons (208 x 24).
#pragma once

#include <cstdint>
#include <optional>

#include "cliplib/bitmap32.h"
#include "data/data_set.h"
#include "graphics/anim_set.h"

namespace varsk {

constexpr int kSpritePreviewWidth = 128;
constexpr int kSpritePreviewHeight = 80;
constexpr int kIconStripWidth = 208;
constexpr int kIconStripHeight = 24;

// The system colour 0x00BBGGRR turned into Bitmap32 order 0x00RRGGBB.
uint32_t SystemColourToPixel(uint32_t colourBgr);

// What the sprite preview draws for an entry: sprite, set, frame, clip and origin.
struct PreviewFrame {
  int spriteIndex = 0;
  int animSet = 0;
  int frame = 0;
  int clipNumber = 0;
  int32_t tileBase = 0;
  int32_t x0 = 0;
  int32_t y0 = 0;
  int palettePosition = 0;  // index into entryPalettes (entryIndex - 1)
};

// The frame the preview chooses for list position `selectedPosition`
// (entryIndex = position + 1, at least 1); nothing when no picture is drawn.
// Every table index is checked.
std::optional<PreviewFrame> ChoosePreviewFrame(const DataSet& dataSet, const AnimSetTable& table,
                                               int selectedPosition);

// Clears `target` to `background` (0x00RRGGBB) and draws the entry's frame.
void DrawEntryPreview(const DataSet& dataSet, const AnimSetTable& table, int selectedPosition,
                      uint32_t background, Bitmap32& target);

// Clears `target` and draws the 13 faction icons.
void DrawIconStrip(const DataSet& dataSet, uint32_t background, Bitmap32& target);

}  // namespace varsk
