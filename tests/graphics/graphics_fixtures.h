// Small hand-made tiles, palettes and clips for the graphics tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "data/records.h"

namespace varsk::testing {

// Palette whose colour n converts to 0x00RRGGBB with red = n * 8 and blue 0xF8,
// so every index, 0 included, has its own colour that no sentinel matches.
inline Palette16 IndexPalette() {
  Palette16 palette{};
  for (int n = 0; n < 16; ++n) palette.colours[n] = static_cast<uint16_t>(n | (0x1F << 10));
  return palette;
}
inline uint32_t IndexColour(int n) { return (static_cast<uint32_t>(n * 8) << 16) | 0xF8u; }

// One 32-byte tile in which pixel (x, y) has colour index pixels[y][x].
inline std::vector<uint8_t> MakeTile(const uint8_t (&pixels)[8][8]) {
  std::vector<uint8_t> tile(32, 0);
  for (int y = 0; y < 8; ++y)
    for (int b = 0; b < 4; ++b)
      tile[y * 4 + b] = static_cast<uint8_t>((pixels[y][2 * b] << 4) | pixels[y][2 * b + 1]);
  return tile;
}

// A tile filled with one colour index.
inline std::vector<uint8_t> SolidTile(uint8_t index) {
  return std::vector<uint8_t>(32, static_cast<uint8_t>((index << 4) | index));
}

inline ClipRecord EmptyClip() {
  ClipRecord clip;
  std::memset(&clip, 0, sizeof clip);
  return clip;
}

// Sets cell (r, c) of a clip.
inline void SetCell(ClipRecord& clip, int r, int c, uint8_t tile, int8_t dx = 0, int8_t dy = 0,
                    uint8_t flip = 0) {
  const int k = r * kClipGridSide + c;
  clip.tile[k] = tile;
  clip.dx[k] = dx;
  clip.dy[k] = dy;
  clip.flip[k] = flip;
}

}  // namespace varsk::testing
