// The tile-sprite renderer: 8 x 8 tiles at 4 bits per pixel, coloured through
// a 16-colour BGR555 palette, drawn cell by cell into 32-bit pixel memory.
#include "cliplib/cliplib.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// True when none of the 4-bit pixels packed in `bits` is 0.
template <typename Word>
bool AllNibblesSet(Word bits) {
  constexpr Word kLowBits = static_cast<Word>(0x1111111111111111ull);
  const Word any = bits | (bits >> 1) | (bits >> 2) | (bits >> 3);
  return (any & kLowBits) == kLowBits;
}

// True when none of the 64 pixels of a tile is 0.
inline bool TileIsOpaque(const uint8_t* tile) {
#if defined(__SSE2__)
  const __m128i high = _mm_set1_epi8(static_cast<char>(0xF0));
  const __m128i low = _mm_set1_epi8(0x0F);
  const __m128i zero = _mm_setzero_si128();
  __m128i holes = zero;
  for (int half = 0; half < 2; ++half) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(tile + 16 * half));
    holes = _mm_or_si128(holes, _mm_cmpeq_epi8(_mm_and_si128(bytes, high), zero));
    holes = _mm_or_si128(holes, _mm_cmpeq_epi8(_mm_and_si128(bytes, low), zero));
  }
  return _mm_movemask_epi8(holes) == 0;
#else
  uint64_t rows[4];
  std::memcpy(rows, tile, sizeof rows);
  return AllNibblesSet(rows[0]) && AllNibblesSet(rows[1]) && AllNibblesSet(rows[2]) &&
         AllNibblesSet(rows[3]);
#endif
}

// The converted palette, also as pixel pairs: pairs[v] holds the two pixels
// of tile byte v, the left (high nibble) one in the low half, so the eight
// pixels of an opaque tile row take four table reads and two stores.
struct Colours {
  uint32_t single[16];
  uint64_t pairs[256];

  explicit Colours(const Palette16& palette) {
    ConvertPalette16(palette, single);
    for (int left = 0; left < 16; ++left)
      for (int right = 0; right < 16; ++right)
        pairs[left * 16 + right] = single[left] | (static_cast<uint64_t>(single[right]) << 32);
  }
};

// Four neighbouring pixels in one register.
#if defined(__SSE2__)
using Quad = __m128i;
inline Quad LoadQuad(const uint64_t* pairs, uint32_t first, uint32_t second) {
  const __m128d low =
      _mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pairs + first)));
  return _mm_castpd_si128(_mm_loadh_pd(low, reinterpret_cast<const double*>(pairs + second)));
}
inline Quad ReverseQuad(Quad quad) { return _mm_shuffle_epi32(quad, _MM_SHUFFLE(0, 1, 2, 3)); }
inline void StoreQuad(uint32_t* dst, Quad quad) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), quad);
}
#else
struct Quad {
  uint64_t low;
  uint64_t high;
};
inline uint64_t SwapPair(uint64_t pair) { return (pair >> 32) | (pair << 32); }
inline Quad LoadQuad(const uint64_t* pairs, uint32_t first, uint32_t second) {
  return {pairs[first], pairs[second]};
}
inline Quad ReverseQuad(Quad quad) { return {SwapPair(quad.high), SwapPair(quad.low)}; }
inline void StoreQuad(uint32_t* dst, Quad quad) { std::memcpy(dst, &quad, sizeof quad); }
#endif

inline uint32_t* RowAt(uint8_t* origin, int row, ptrdiff_t strideBytes) {
  return reinterpret_cast<uint32_t*>(origin + row * strideBytes);
}

// The eight pixels of an opaque tile row, its four bytes in `bits` (first
// byte lowest). The bytes are taken from a register rather than loaded one by
// one: table reads already keep the load ports busy.
template <bool kHorizontal>
inline void DrawOpaqueRow(uint32_t bits, const uint64_t* pairs, uint32_t* dst) {
  const Quad left = LoadQuad(pairs, bits & 0xFF, (bits >> 8) & 0xFF);
  const Quad right = LoadQuad(pairs, (bits >> 16) & 0xFF, bits >> 24);
  if constexpr (kHorizontal) {
    StoreQuad(dst, ReverseQuad(right));
    StoreQuad(dst + 4, ReverseQuad(left));
  } else {
    StoreQuad(dst, left);
    StoreQuad(dst + 4, right);
  }
}

// A cell that lies wholly inside the destination: no per-pixel checks. Opaque
// tiles and rows are copied whole; elsewhere each nibble is tested.
template <bool kHorizontal, bool kVertical>
void DrawCellInside(const uint8_t* tile, const Colours& colours, uint8_t* origin,
                    ptrdiff_t strideBytes) {
  if (TileIsOpaque(tile)) {
    for (int y = 0; y < kCellSide; ++y) {
      uint32_t bits;
      std::memcpy(&bits, tile + y * kTileRowBytes, sizeof bits);
      DrawOpaqueRow<kHorizontal>(bits, colours.pairs,
                                 RowAt(origin, kVertical ? kCellSide - 1 - y : y, strideBytes));
    }
    return;
  }
  for (int y = 0; y < kCellSide; ++y) {
    const uint8_t* src = tile + y * kTileRowBytes;
    uint32_t rowBits;
    std::memcpy(&rowBits, src, sizeof rowBits);
    if (rowBits == 0) continue;  // eight transparent pixels
    uint32_t* dst = RowAt(origin, kVertical ? kCellSide - 1 - y : y, strideBytes);
    if (AllNibblesSet(rowBits)) {
      DrawOpaqueRow<kHorizontal>(rowBits, colours.pairs, dst);
      continue;
    }
    for (int b = 0; b < kTileRowBytes; ++b) {
      const uint8_t v = src[b];
      if (v == 0) continue;  // two transparent pixels
      const uint8_t left = v >> 4;
      const uint8_t right = v & 0x0F;
      const int xl = kHorizontal ? kCellSide - 1 - 2 * b : 2 * b;
      const int xr = kHorizontal ? xl - 1 : xl + 1;
      if (left != 0) dst[xl] = colours.single[left];
      if (right != 0) dst[xr] = colours.single[right];
    }
  }
}

void DrawCellInside(const uint8_t* tile, const Colours& colours, CellFlip flip, uint8_t* origin,
                    ptrdiff_t strideBytes) {
  if (flip.horizontal) {
    if (flip.vertical)
      DrawCellInside<true, true>(tile, colours, origin, strideBytes);
    else
      DrawCellInside<true, false>(tile, colours, origin, strideBytes);
  } else {
    if (flip.vertical)
      DrawCellInside<false, true>(tile, colours, origin, strideBytes);
    else
      DrawCellInside<false, false>(tile, colours, origin, strideBytes);
  }
}

// A cell that crosses an edge of the destination: each pixel is checked.
void DrawCellClipped(const uint8_t* tile, const Colours& colours, CellFlip flip, int64_t px,
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
      dst[destX] = colours.single[n];
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

  const Colours colours(palette);

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

}  // namespace varsk
