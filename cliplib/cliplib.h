// The tile-sprite renderer: 8 x 8 tiles of 4 bits per pixel, drawn by clip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "cliplib/bitmap32.h"
#include "data/records.h"

namespace varsk {

// 0x00RRGGBB for each of the 16 colours; a 5-bit channel v becomes v * 8.
void ConvertPalette16(const Palette16& palette, uint32_t out[16]);

// Draws `clip` with its top-left cell at (x0, y0) before offsets. Tile number
// t of a cell uses the 32 bytes at (tileBase + t - 1) * 32 of `tileData`; a
// tile outside `tileData` is skipped, and so is every pixel outside the
// width x height destination. Columns and rows beyond 16 are not drawn.
// `pixels` is the top-left pixel, `strideBytes` the distance between rows.
void DrawClipPixels(int32_t x0, int32_t y0, std::span<const uint8_t> tileData,
                    const Palette16& palette, const ClipRecord& clip, int32_t tileBase,
                    uint32_t* pixels, int32_t width, int32_t height, ptrdiff_t strideBytes);

// DrawClipPixels into a Bitmap32 (stride = width * 4), never beyond the
// pixels the bitmap holds.
void DrawClip(int32_t x0, int32_t y0, std::span<const uint8_t> tileData, const Palette16& palette,
              const ClipRecord& clip, int32_t tileBase, Bitmap32& target);

}  // namespace varsk
