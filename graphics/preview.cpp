// The sprite preview and the faction icon strip, drawn into Bitmap32 back
// buffers. Every table index read from the data set is checked first, so a
// record or sprite info with an odd value draws nothing rather than reading
// outside a table.
#include "graphics/preview.h"

#include <array>
#include <cstring>

#include "cliplib/cliplib.h"

namespace varsk {

namespace {

// Entries from this number on are shown with frame 1 whatever their set.
constexpr int64_t kFirstEntryShownStill = 183;
constexpr int kMovingFrame = 5;
constexpr int kStillFrame = 1;

constexpr int kIconCount = 13;

struct IconPlacement {
  int32_t x;         // left edge in the strip
  int32_t tileBase;  // first tile of the icon's 2 x 3 block in iconSheet
  int palette;       // index into iconPalettes
};

// Icon i stands above the check box of factionFlags bit i.
constexpr std::array<IconPlacement, kIconCount> kIcons = {{
    {0, 0, 1},
    {16, 2, 3},
    {32, 4, 1},
    {48, 6, 0},
    {64, 8, 0},
    {80, 10, 0},
    {96, 12, 3},
    {112, 14, 2},
    {128, 48, 3},
    {144, 50, 1},
    {160, 52, 1},
    {176, 54, 2},
    {192, 58, 1},
}};

// The layout of one icon: 2 x 3 cells over a sheet read as 16 tiles wide.
ClipRecord IconLayout() {
  ClipRecord clip;
  std::memset(&clip, 0, sizeof clip);
  clip.cols = 2;
  clip.rows = 3;
  const uint8_t tiles[3][2] = {{1, 2}, {17, 18}, {33, 34}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 2; ++c) clip.tile[r * kClipGridSide + c] = tiles[r][c];
  return clip;
}

std::span<const uint8_t> SheetBytes(const TileSheet& sheet) {
  return std::span<const uint8_t>(sheet.bytes, sizeof sheet.bytes);
}

}  // namespace

uint32_t SystemColourToPixel(uint32_t colourBgr) {
  return ((colourBgr >> 16) & 0xFF) | (colourBgr & 0xFF00) | ((colourBgr & 0xFF) << 16);
}

std::optional<PreviewFrame> ChoosePreviewFrame(const DataSet& dataSet, const AnimSetTable& table,
                                               int selectedPosition) {
  int64_t entryIndex = int64_t{selectedPosition} + 1;
  if (entryIndex < 1) entryIndex = 1;
  if (entryIndex > INT32_MAX) return std::nullopt;
  const int entry = static_cast<int>(entryIndex);

  PreviewFrame frame;
  if (const MsRecord* ms = MsOfEntry(dataSet, entry)) {
    frame.spriteIndex = ms->spriteIndex;
  } else if (const ShipRecord* ship = ShipOfEntry(dataSet, entry)) {
    frame.spriteIndex = ship->spriteIndex;
  } else {
    return std::nullopt;  // no sprite beyond the last ship
  }
  if (frame.spriteIndex < 0 || frame.spriteIndex >= kSpriteInfoSlots) return std::nullopt;

  frame.animSet = dataSet.spriteInfos[static_cast<size_t>(frame.spriteIndex)].animSet;
  const AnimSetEntry* set = table.Find(frame.animSet);
  if (set == nullptr) return std::nullopt;  // set 0 (no sprite) or beyond the table

  frame.frame = (set->frameCount > kMovingFrame && entryIndex < kFirstEntryShownStill)
                    ? kMovingFrame
                    : kStillFrame;
  const std::optional<AnimFrame> chosen = table.Frame(frame.animSet, frame.frame);
  if (!chosen) return std::nullopt;  // an empty set has no frame 1
  frame.clipNumber = chosen->clipNumber;
  frame.tileBase = chosen->tileBase;
  const ClipRecord* clip = dataSet.Clip(frame.clipNumber);
  if (clip == nullptr) return std::nullopt;

  frame.palettePosition = entry - 1;
  if (frame.palettePosition >= kEntryPaletteSlots) return std::nullopt;

  // Centres the cell grid in the 128 x 80 picture.
  frame.x0 = kSpritePreviewWidth / 2 - 4 * clip->cols;
  frame.y0 = kSpritePreviewHeight / 2 - 4 * clip->rows;
  return frame;
}

void DrawEntryPreview(const DataSet& dataSet, const AnimSetTable& table, int selectedPosition,
                      uint32_t background, Bitmap32& target) {
  target.Fill(background);
  const std::optional<PreviewFrame> frame = ChoosePreviewFrame(dataSet, table, selectedPosition);
  if (!frame) return;
  // The colours are those of the entry's list position, not of its sprite.
  DrawClip(frame->x0, frame->y0,
           SheetBytes(dataSet.spriteSheets[static_cast<size_t>(frame->spriteIndex)]),
           dataSet.entryPalettes[static_cast<size_t>(frame->palettePosition)],
           *dataSet.Clip(frame->clipNumber), frame->tileBase, target);
}

void DrawIconStrip(const DataSet& dataSet, uint32_t background, Bitmap32& target) {
  const ClipRecord layout = IconLayout();
  target.Fill(background);
  for (const IconPlacement& icon : kIcons) {
    DrawClip(icon.x, 0, SheetBytes(dataSet.iconSheet),
             dataSet.iconPalettes[static_cast<size_t>(icon.palette)], layout, icon.tileBase,
             target);
  }
}

}  // namespace varsk
