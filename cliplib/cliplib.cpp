// The tile-sprite renderer: 8 x 8 tiles at 4 bits per pixel, coloured through
// a 16-colour BGR555 palette, drawn cell by cell into 32-bit pixel memory.
#include "cliplib/cliplib.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace varsk {

namespace {

constexpr int kCellSide = 8;
constexpr int kTileRowBytes = 4;

// Where a tile pixel lands in its cell for each flip code; codes other than
// 1..3 draw like 0.
struct CellFlip {
  bool horizontal = false;
  bool vertical = false;
};

CellFlip FlipOf(uint8_t code) {
  switch (code) {
    case 1:
      return {true, false};
    case 2:
      return {false, true};
    case 3:
      return {true, true};
    default:
      return {};
  }
}

// True when none of the eight 4-bit pixels of a tile row is 0.
bool RowIsOpaque(uint32_t row) {
  const uint32_t any = row | (row >> 1) | (row >> 2) | (row >> 3);
  return (any & 0x11111111u) == 0x11111111u;
}

// Two neighbouring pixels as one 64-bit store: `first` at the lower address.
inline void StorePair(uint32_t* dst, uint32_t first, uint32_t second) {
  const uint64_t pair = static_cast<uint64_t>(first) | (static_cast<uint64_t>(second) << 32);
  std::memcpy(dst, &pair, sizeof pair);
}

// A cell that lies wholly inside the destination: no per-pixel checks.
void DrawCellInside(const uint8_t* tile, const uint32_t colours[16], CellFlip flip, uint8_t* origin,
                    ptrdiff_t strideBytes) {
  for (int y = 0; y < kCellSide; ++y) {
    const uint8_t* src = tile + y * kTileRowBytes;
    uint32_t rowBits;
    std::memcpy(&rowBits, src, sizeof rowBits);
    if (rowBits == 0) continue;  // eight transparent pixels
    const int destRow = flip.vertical ? kCellSide - 1 - y : y;
    uint32_t* dst = reinterpret_cast<uint32_t*>(origin + destRow * strideBytes);
    if (RowIsOpaque(rowBits)) {
      if (flip.horizontal) {
        for (int b = 0; b < kTileRowBytes; ++b) {
          const uint8_t v = src[b];
          StorePair(dst + 6 - 2 * b, colours[v & 0x0F], colours[v >> 4]);
        }
      } else {
        for (int b = 0; b < kTileRowBytes; ++b) {
          const uint8_t v = src[b];
          StorePair(dst + 2 * b, colours[v >> 4], colours[v & 0x0F]);
        }
      }
      continue;
    }
    for (int b = 0; b < kTileRowBytes; ++b) {
      const uint8_t v = src[b];
      if (v == 0) continue;  // two transparent pixels
      const uint8_t left = v >> 4;
      const uint8_t right = v & 0x0F;
      const int xl = flip.horizontal ? kCellSide - 1 - 2 * b : 2 * b;
      const int xr = flip.horizontal ? xl - 1 : xl + 1;
      if (left != 0) dst[xl] = colours[left];
      if (right != 0) dst[xr] = colours[right];
    }
  }
}

// A cell that crosses an edge of the destination: each pixel is checked.
void DrawCellClipped(const uint8_t* tile, const uint32_t colours[16], CellFlip flip, int64_t px,
                     int64_t py, uint8_t* pixels, int32_t width, int32_t height,
                     ptrdiff_t strideBytes) {
  for (int y = 0; y < kCellSide; ++y) {
    const int64_t destY = py + (flip.vertical ? kCellSide - 1 - y : y);
    if (destY < 0 || destY >= height) continue;
    uint32_t* dst = reinterpret_cast<uint32_t*>(pixels + destY * strideBytes);
    for (int x = 0; x < kCellSide; ++x) {
      const uint8_t v = tile[y * kTileRowBytes + x / 2];
      const uint8_t n = (x % 2 == 0) ? (v >> 4) : (v & 0x0F);
      if (n == 0) continue;
      const int64_t destX = px + (flip.horizontal ? kCellSide - 1 - x : x);
      if (destX < 0 || destX >= width) continue;
      dst[destX] = colours[n];
    }
  }
}

}  // namespace

void ConvertPalette16(const Palette16& palette, uint32_t out[16]) {
  for (int i = 0; i < 16; ++i) {
    const uint32_t w = palette.colours[i];
    const uint32_t red = (w & 0x1F) << 3;
    const uint32_t green = ((w >> 5) & 0x1F) << 3;
    const uint32_t blue = ((w >> 10) & 0x1F) << 3;
    out[i] = (red << 16) | (green << 8) | blue;
  }
}

void DrawClipPixels(int32_t x0, int32_t y0, std::span<const uint8_t> tileData,
                    const Palette16& palette, const ClipRecord& clip, int32_t tileBase,
                    uint32_t* pixels, int32_t width, int32_t height, ptrdiff_t strideBytes) {
  if (pixels == nullptr || width <= 0 || height <= 0) return;
  // A grid wider or taller than 16 cells would index past the 256-byte planes.
  const int cols = std::min<int>(clip.cols, kClipGridSide);
  const int rows = std::min<int>(clip.rows, kClipGridSide);
  if (cols == 0 || rows == 0) return;

  uint32_t colours[16];
  ConvertPalette16(palette, colours);

  uint8_t* base = reinterpret_cast<uint8_t*>(pixels);
  const uint64_t tileBytes = tileData.size();
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const int k = r * kClipGridSide + c;
      const uint8_t t = clip.tile[k];
      if (t == 0) continue;
      // A tile not wholly inside the block passed in is skipped.
      const int64_t tileOffset = (static_cast<int64_t>(tileBase) + t - 1) * kTileBytes;
      if (tileOffset < 0 || static_cast<uint64_t>(tileOffset) + kTileBytes > tileBytes) continue;
      const uint8_t* tile = tileData.data() + tileOffset;

      const int64_t px = static_cast<int64_t>(x0) + kCellSide * c + clip.dx[k];
      const int64_t py = static_cast<int64_t>(y0) + kCellSide * r + clip.dy[k];
      if (px + kCellSide <= 0 || py + kCellSide <= 0 || px >= width || py >= height) continue;

      const CellFlip flip = FlipOf(clip.flip[k]);
      if (px >= 0 && py >= 0 && px + kCellSide <= width && py + kCellSide <= height) {
        uint8_t* origin = base + py * strideBytes + px * static_cast<int64_t>(sizeof(uint32_t));
        DrawCellInside(tile, colours, flip, origin, strideBytes);
      } else {
        DrawCellClipped(tile, colours, flip, px, py, base, width, height, strideBytes);
      }
    }
  }
}

void DrawClip(int32_t x0, int32_t y0, std::span<const uint8_t> tileData, const Palette16& palette,
              const ClipRecord& clip, int32_t tileBase, Bitmap32& target) {
  if (target.width <= 0 || target.height <= 0) return;
  // Never trust width x height beyond the pixels actually held.
  const size_t width = static_cast<size_t>(target.width);
  const int32_t height = static_cast<int32_t>(
      std::min<size_t>(static_cast<size_t>(target.height), target.pixels.size() / width));
  DrawClipPixels(x0, y0, tileData, palette, clip, tileBase, target.pixels.data(), target.width,
                 height, static_cast<ptrdiff_t>(width * sizeof(uint32_t)));
}

std::string FormatHex2(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(static_cast<uint32_t>(value)));
  return text;
}

std::string FormatDecimal(int32_t value) { return std::to_string(value); }

}  // namespace varsk
