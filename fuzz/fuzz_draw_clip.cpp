// The renderer: any clip, tile base, origin and a small tile block drawn into
// a small destination with padding between rows. The result must equal a
// pixel-by-pixel reference drawing; nothing outside width x height (the row
// padding included) may change, and ASan watches the tile block, the clip and
// the pixel memory, each allocated at its exact size.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "cliplib/bitmap32.h"
#include "cliplib/cliplib.h"
#include "data/records.h"
#include "fuzz/fuzz_support.h"

namespace {

// Not a converted colour (those keep the low three bits of each channel and the
// top byte zero), so a stray write always shows.
constexpr uint32_t kUntouched = 0xA5030507;

uint32_t ReferenceColour(uint16_t w) {
  return ((w & 0x1Fu) << 19) | (((w >> 5) & 0x1Fu) << 11) | (((w >> 10) & 0x1Fu) << 3);
}

// One pixel at a time, straight from the rule: rows then columns of the used
// corner (at most 16 x 16), tile (tileBase + t - 1) of the block when it lies
// wholly inside it, flips, and only pixels inside width x height.
void ReferenceDraw(int32_t x0, int32_t y0, const std::vector<uint8_t>& tiles,
                   const varsk::Palette16& palette, const varsk::ClipRecord& clip, int32_t tileBase,
                   std::vector<uint32_t>& pixels, int32_t width, int32_t height,
                   int32_t strideWords) {
  const int rows = std::min<int>(clip.rows, 16);
  const int cols = std::min<int>(clip.cols, 16);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const int k = r * 16 + c;
      const int t = clip.tile[k];
      if (t == 0) continue;
      const int64_t first = (int64_t{tileBase} + t - 1) * 32;
      if (first < 0 || first + 32 > static_cast<int64_t>(tiles.size())) continue;
      const int64_t px = int64_t{x0} + 8 * c + clip.dx[k];
      const int64_t py = int64_t{y0} + 8 * r + clip.dy[k];
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
          const uint8_t byte = tiles[static_cast<size_t>(first + y * 4 + x / 2)];
          const int n = x % 2 == 0 ? byte >> 4 : byte & 0x0F;
          if (n == 0) continue;
          const int f = clip.flip[k];
          const int xx = (f == 1 || f == 3) ? 7 - x : x;
          const int yy = (f == 2 || f == 3) ? 7 - y : y;
          const int64_t X = px + xx;
          const int64_t Y = py + yy;
          if (X < 0 || Y < 0 || X >= width || Y >= height) continue;
          pixels[static_cast<size_t>(Y * strideWords + X)] = ReferenceColour(palette.colours[n]);
        }
      }
    }
  }
}

int32_t ConsumeCoordinate(FuzzedDataProvider& in) {
  // Mostly near the destination, sometimes anywhere in 32 bits.
  return in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-160, 160)
                          : in.ConsumeIntegral<int32_t>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int32_t width = in.ConsumeIntegralInRange<int32_t>(0, 40);
  const int32_t height = in.ConsumeIntegralInRange<int32_t>(0, 40);
  const int32_t padding = in.ConsumeIntegralInRange<int32_t>(0, 3);
  const int32_t x0 = ConsumeCoordinate(in);
  const int32_t y0 = ConsumeCoordinate(in);
  const int32_t tileBase =
      in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-4, 40) : in.ConsumeIntegral<int32_t>();
  // A small block of tiles, possibly ending inside a tile.
  std::vector<uint8_t> tiles =
      in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(0, 40 * 32 + 31));

  varsk::Palette16 palette{};
  for (uint16_t& colour : palette.colours) colour = in.ConsumeIntegral<uint16_t>();

  auto clip = std::make_unique<varsk::ClipRecord>();
  *clip = {};
  clip->cols = in.ConsumeIntegral<uint8_t>();
  clip->rows = in.ConsumeIntegral<uint8_t>();
  // Cells in grid order while input lasts, also those outside the used corner.
  for (int k = 0; k < varsk::kClipCells && in.remaining_bytes() >= 4; ++k) {
    clip->tile[k] = in.ConsumeIntegral<uint8_t>();
    clip->flip[k] = in.ConsumeIntegral<uint8_t>();
    clip->dx[k] = in.ConsumeIntegral<int8_t>();
    clip->dy[k] = in.ConsumeIntegral<int8_t>();
  }

  // Pixel memory with `padding` spare words at the end of each row.
  const int32_t strideWords = width + padding;
  const size_t words = static_cast<size_t>(strideWords) * static_cast<size_t>(height);
  std::vector<uint32_t> drawn(words, kUntouched);
  std::vector<uint32_t> expected(words, kUntouched);
  varsk::DrawClipPixels(x0, y0, tiles, palette, *clip, tileBase, drawn.data(), width, height,
                        static_cast<ptrdiff_t>(strideWords) * 4);
  ReferenceDraw(x0, y0, tiles, palette, *clip, tileBase, expected, width, height, strideWords);
  FUZZ_CHECK(drawn == expected);

  // DrawClip into a Bitmap32 draws the same picture without padding, also when
  // the bitmap holds fewer pixels than width x height claims.
  varsk::Bitmap32 bitmap(width, height, kUntouched);
  const bool shortBitmap = in.ConsumeBool() && !bitmap.pixels.empty();
  if (shortBitmap) {
    bitmap.pixels.resize(bitmap.pixels.size() - 1);
    bitmap.pixels.shrink_to_fit();
  }
  varsk::DrawClip(x0, y0, tiles, palette, *clip, tileBase, bitmap);
  // A short bitmap is drawn only in its whole rows; its partial last row stays as it was.
  const int32_t wholeRows = shortBitmap ? height - 1 : height;
  for (size_t i = 0; i < bitmap.pixels.size(); ++i) {
    const int32_t y = static_cast<int32_t>(i / static_cast<size_t>(width));
    const int32_t x = static_cast<int32_t>(i % static_cast<size_t>(width));
    const uint32_t want =
        y < wholeRows ? expected[static_cast<size_t>(y * strideWords + x)] : kUntouched;
    FUZZ_CHECK(bitmap.pixels[i] == want);
  }
  return 0;
}
