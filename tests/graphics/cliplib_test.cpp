#include "cliplib/cliplib.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <utility>
#include <vector>

#include "graphics_fixtures.h"

namespace varsk {
namespace {

using testing::EmptyClip;
using testing::IndexColour;
using testing::IndexPalette;
using testing::MakeTile;
using testing::SetCell;
using testing::SolidTile;

constexpr uint32_t kSentinel = 0xDEADBEEF;

// ---- Palette conversion ----

struct PaletteCase {
  uint16_t bgr555;
  uint32_t rgb;
};

class PaletteConversion : public ::testing::TestWithParam<PaletteCase> {};

TEST_P(PaletteConversion, ChannelsScaleByEightIntoRgbOrder) {
  Palette16 palette{};
  palette.colours[7] = GetParam().bgr555;
  uint32_t out[16];
  ConvertPalette16(palette, out);
  EXPECT_EQ(out[7], GetParam().rgb);
  EXPECT_EQ(out[0], 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, PaletteConversion,
    ::testing::Values(PaletteCase{0x7FFF, 0x00F8F8F8}, PaletteCase{0x001F, 0x00F80000},
                      PaletteCase{0x03E0, 0x0000F800}, PaletteCase{0x7C00, 0x000000F8},
                      PaletteCase{0x8000, 0x00000000}, PaletteCase{0xFFFF, 0x00F8F8F8},
                      PaletteCase{0x0421, 0x00080808}, PaletteCase{0x1234, 0x00A08820}));

// ---- Drawing ----

// A bitmap filled with a sentinel and the pixels that differ from it.
std::map<std::pair<int, int>, uint32_t> Changed(const Bitmap32& bitmap) {
  std::map<std::pair<int, int>, uint32_t> changed;
  for (int y = 0; y < bitmap.height; ++y)
    for (int x = 0; x < bitmap.width; ++x)
      if (bitmap.At(x, y) != kSentinel) changed[{x, y}] = bitmap.At(x, y);
  return changed;
}

using PixelMap = std::map<std::pair<int, int>, uint32_t>;

// Row 0 is opaque (indices 1..8), row 7 holds index 9 in its last pixel only:
// one row goes through the opaque path, the other through the nibble path.
std::vector<uint8_t> FlipProbeTile() {
  uint8_t pixels[8][8] = {};
  for (int x = 0; x < 8; ++x) pixels[0][x] = static_cast<uint8_t>(x + 1);
  pixels[7][7] = 9;
  return MakeTile(pixels);
}

struct FlipCase {
  uint8_t code;
  bool horizontal;
  bool vertical;
};

class FlipCodes : public ::testing::TestWithParam<FlipCase> {};

TEST_P(FlipCodes, PlacePixelsMirrored) {
  const FlipCase fc = GetParam();
  const std::vector<uint8_t> tiles = FlipProbeTile();
  ClipRecord clip = EmptyClip();
  clip.cols = 1;
  clip.rows = 1;
  SetCell(clip, 0, 0, 1, 0, 0, fc.code);

  // At (4, 3) inside a 16 x 16 bitmap.
  Bitmap32 bitmap(16, 16, kSentinel);
  DrawClip(4, 3, tiles, IndexPalette(), clip, 0, bitmap);

  PixelMap expected;
  for (int x = 0; x < 8; ++x) {
    const int ex = fc.horizontal ? 7 - x : x;
    const int ey = fc.vertical ? 7 : 0;
    expected[{4 + ex, 3 + ey}] = IndexColour(x + 1);
  }
  expected[{4 + (fc.horizontal ? 0 : 7), 3 + (fc.vertical ? 0 : 7)}] = IndexColour(9);
  EXPECT_EQ(Changed(bitmap), expected);
}

INSTANTIATE_TEST_SUITE_P(Codes, FlipCodes,
                         ::testing::Values(FlipCase{0, false, false}, FlipCase{1, true, false},
                                           FlipCase{2, false, true}, FlipCase{3, true, true},
                                           FlipCase{4, false, false}, FlipCase{0x81, false, false},
                                           FlipCase{0xFF, false, false}));

TEST(DrawClip, HighNibbleIsTheLeftPixel) {
  std::vector<uint8_t> tiles(32, 0);
  tiles[0] = 0x12;
  ClipRecord clip = EmptyClip();
  clip.cols = 1;
  clip.rows = 1;
  SetCell(clip, 0, 0, 1);
  Bitmap32 bitmap(8, 8, kSentinel);
  DrawClip(0, 0, tiles, IndexPalette(), clip, 0, bitmap);
  EXPECT_EQ(Changed(bitmap), (PixelMap{{{0, 0}, IndexColour(1)}, {{1, 0}, IndexColour(2)}}));

  clip.flip[0] = 1;
  bitmap.Fill(kSentinel);
  DrawClip(0, 0, tiles, IndexPalette(), clip, 0, bitmap);
  EXPECT_EQ(Changed(bitmap), (PixelMap{{{7, 0}, IndexColour(1)}, {{6, 0}, IndexColour(2)}}));
}

TEST(DrawClip, SignedOffsetsMoveTheCell) {
  std::vector<uint8_t> tiles(32, 0);
  tiles[0] = 0x10;  // one pixel of colour 1 at the cell's top-left corner
  ClipRecord clip = EmptyClip();
  clip.cols = 2;
  clip.rows = 3;
  SetCell(clip, 0, 1, 1, static_cast<int8_t>(0xFF), 0);  // one pixel left: x 8 -> 7
  SetCell(clip, 2, 0, 1, 0, static_cast<int8_t>(0xF6));  // ten pixels up: y 16 -> 6
  SetCell(clip, 1, 1, 1, 5, 3);                          // (8, 8) -> (13, 11)
  Bitmap32 bitmap(32, 32, kSentinel);
  DrawClip(2, 2, tiles, IndexPalette(), clip, 0, bitmap);
  EXPECT_EQ(Changed(bitmap), (PixelMap{{{2 + 7, 2 + 0}, IndexColour(1)},
                                       {{2 + 0, 2 + 6}, IndexColour(1)},
                                       {{2 + 13, 2 + 11}, IndexColour(1)}}));
}

TEST(DrawClip, TransparentIndexAndEmptyCellsLeaveTheDestination) {
  // Colour 0 of the palette is bright, but index 0 is never drawn.
  Palette16 palette = IndexPalette();
  palette.colours[0] = 0x7FFF;
  std::vector<uint8_t> tiles = SolidTile(3);
  tiles.resize(64, 0);  // tile 2: all transparent
  tiles[32 + 5] = 0x04;

  ClipRecord clip = EmptyClip();
  clip.cols = 3;
  clip.rows = 1;
  SetCell(clip, 0, 0, 0, 3, 3, 3);  // tile number 0: nothing, whatever dx, dy, flip
  SetCell(clip, 0, 1, 2);           // transparent except one pixel
  Bitmap32 bitmap(24, 8, kSentinel);
  DrawClip(0, 0, tiles, palette, clip, 0, bitmap);
  // Byte 5 is row 1, byte 1: pixels (2, 1) = 0 and (3, 1) = 4; cell 1 starts at x 8.
  EXPECT_EQ(Changed(bitmap), (PixelMap{{{8 + 3, 1}, IndexColour(4)}}));
}

TEST(DrawClip, ZeroColumnsOrRowsDrawNothing) {
  const std::vector<uint8_t> tiles = SolidTile(5);
  for (auto [cols, rows] : {std::pair{0, 3}, std::pair{3, 0}, std::pair{0, 0}}) {
    ClipRecord clip = EmptyClip();
    clip.cols = static_cast<uint8_t>(cols);
    clip.rows = static_cast<uint8_t>(rows);
    for (int k = 0; k < kClipCells; ++k) clip.tile[k] = 1;
    Bitmap32 bitmap(32, 32, kSentinel);
    DrawClip(0, 0, tiles, IndexPalette(), clip, 0, bitmap);
    EXPECT_TRUE(Changed(bitmap).empty()) << cols << " x " << rows;
  }
}

// ---- Tile addressing ----

struct AddressCase {
  int32_t tileBase;
  uint8_t tileNumber;
  size_t blockBytes;
  int expectedTile;  // index of the 32-byte tile drawn, -1 = none
};

class TileAddressing : public ::testing::TestWithParam<AddressCase> {};

TEST_P(TileAddressing, UsesTileBasePlusNumberMinusOne) {
  const AddressCase ac = GetParam();
  // Tile i of the block is solid colour (i % 15) + 1.
  std::vector<uint8_t> tiles(ac.blockBytes);
  for (size_t i = 0; i < ac.blockBytes; ++i) {
    const uint8_t n = static_cast<uint8_t>((i / 32) % 15 + 1);
    tiles[i] = static_cast<uint8_t>((n << 4) | n);
  }
  ClipRecord clip = EmptyClip();
  clip.cols = 1;
  clip.rows = 1;
  SetCell(clip, 0, 0, ac.tileNumber);
  Bitmap32 bitmap(8, 8, kSentinel);
  DrawClip(0, 0, tiles, IndexPalette(), clip, ac.tileBase, bitmap);
  if (ac.expectedTile < 0) {
    EXPECT_TRUE(Changed(bitmap).empty());
  } else {
    const uint32_t colour = IndexColour(ac.expectedTile % 15 + 1);
    for (uint32_t p : bitmap.pixels) ASSERT_EQ(p, colour);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, TileAddressing,
    ::testing::Values(AddressCase{0, 1, 8192, 0},      // bytes 0..31
                      AddressCase{2, 17, 8192, 18},    // bytes 576..607
                      AddressCase{0, 255, 8192, 254},  //
                      AddressCase{1, 255, 8192, 255},  // last tile of a sheet
                      AddressCase{2, 255, 8192, -1},   // one tile past the sheet
                      AddressCase{-1, 2, 8192, 0},     // negative base, still inside
                      AddressCase{-1, 1, 8192, -1},    // before the block
                      AddressCase{0, 2, 63, -1},       // tile only partly inside
                      AddressCase{0, 2, 64, 1},        //
                      AddressCase{0, 1, 0, -1},        // empty block
                      AddressCase{INT32_MAX, 255, 8192, -1}, AddressCase{INT32_MIN, 1, 8192, -1}));

// ---- Overlap ----

TEST(DrawClip, LaterCellsWinWhereOpaque) {
  std::vector<uint8_t> tiles = SolidTile(1);
  std::vector<uint8_t> second = SolidTile(2);
  second[0] = 0x02;  // pixel (0, 0) of tile 2 is transparent
  tiles.insert(tiles.end(), second.begin(), second.end());
  std::vector<uint8_t> third = SolidTile(3);
  tiles.insert(tiles.end(), third.begin(), third.end());

  ClipRecord clip = EmptyClip();
  clip.cols = 2;
  clip.rows = 2;
  SetCell(clip, 0, 0, 1);
  SetCell(clip, 0, 1, 2, -4, 0);  // same row, further right, overlaps x 4..7
  SetCell(clip, 1, 0, 3, 0, -6);  // lower row, overlaps y 2..7 of both
  Bitmap32 bitmap(16, 16, kSentinel);
  DrawClip(0, 0, tiles, IndexPalette(), clip, 0, bitmap);

  EXPECT_EQ(bitmap.At(0, 0), IndexColour(1));
  EXPECT_EQ(bitmap.At(3, 0), IndexColour(1));
  EXPECT_EQ(bitmap.At(4, 0), IndexColour(1));  // transparent pixel of cell 2
  EXPECT_EQ(bitmap.At(5, 0), IndexColour(2));
  EXPECT_EQ(bitmap.At(7, 1), IndexColour(2));
  EXPECT_EQ(bitmap.At(11, 1), IndexColour(2));
  EXPECT_EQ(bitmap.At(0, 2), IndexColour(3));
  EXPECT_EQ(bitmap.At(7, 9), IndexColour(3));
  EXPECT_EQ(bitmap.At(8, 2), IndexColour(2));
  EXPECT_EQ(bitmap.At(0, 10), kSentinel);
}

// ---- Safety at the edges ----

// A clip of opaque and partly transparent cells with every flip code.
ClipRecord MixedClip(int cols, int rows) {
  ClipRecord clip = EmptyClip();
  clip.cols = static_cast<uint8_t>(cols);
  clip.rows = static_cast<uint8_t>(rows);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      SetCell(clip, r, c, static_cast<uint8_t>(1 + (r * cols + c) % 4),
              static_cast<int8_t>((r * 3 + c) % 5 - 2), static_cast<int8_t>((c * 5 + r) % 7 - 3),
              static_cast<uint8_t>((r + c) % 5));
  return clip;
}

std::vector<uint8_t> MixedTiles() {
  std::vector<uint8_t> tiles;
  for (int t = 0; t < 4; ++t) {
    uint8_t pixels[8][8];
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        pixels[y][x] = static_cast<uint8_t>(t == 3 ? (x + y) % 3 : (x * 7 + y * 3 + t) % 16);
    const std::vector<uint8_t> tile = MakeTile(pixels);
    tiles.insert(tiles.end(), tile.begin(), tile.end());
  }
  return tiles;
}

// Drawing into a small window of a large canvas gives exactly the canvas's
// pixels there, and never writes outside the window.
TEST(DrawClip, PixelsOutsideTheDestinationAreSkipped) {
  const std::vector<uint8_t> tiles = MixedTiles();
  const ClipRecord clip = MixedClip(6, 5);
  constexpr int kMargin = 24;
  Bitmap32 canvas(48 + 2 * kMargin, 40 + 2 * kMargin, kSentinel);
  DrawClip(kMargin, kMargin, tiles, IndexPalette(), clip, 0, canvas);

  for (int wx : {-7, 0, 3, 13, 30, 45}) {
    for (int wy : {-9, 0, 5, 21, 38}) {
      constexpr int kW = 19, kH = 13, kPad = 5;
      // The window sits inside a padded buffer; the padding must stay intact.
      std::vector<uint32_t> buffer(static_cast<size_t>(kW + 2 * kPad) * (kH + 2 * kPad), kSentinel);
      const int stride = kW + 2 * kPad;
      uint32_t* topLeft = buffer.data() + kPad * stride + kPad;
      DrawClipPixels(-wx, -wy, tiles, IndexPalette(), clip, 0, topLeft, kW, kH,
                     stride * static_cast<ptrdiff_t>(sizeof(uint32_t)));
      for (int y = -kPad; y < kH + kPad; ++y) {
        for (int x = -kPad; x < kW + kPad; ++x) {
          const uint32_t got = topLeft[y * stride + x];
          const bool inside = x >= 0 && x < kW && y >= 0 && y < kH;
          const uint32_t want = inside ? canvas.At(kMargin + wx + x, kMargin + wy + y) : kSentinel;
          ASSERT_EQ(got, want) << "window " << wx << "," << wy << " pixel " << x << "," << y;
        }
      }
    }
  }
}

TEST(DrawClip, FarAwayOriginsDrawNothing) {
  const std::vector<uint8_t> tiles = MixedTiles();
  const ClipRecord clip = MixedClip(16, 16);
  for (auto [x0, y0] : {std::pair{INT32_MAX, 0}, std::pair{INT32_MIN, 0}, std::pair{0, INT32_MAX},
                        std::pair{0, INT32_MIN}, std::pair{-200, 0}, std::pair{18, 0}}) {
    Bitmap32 bitmap(16, 16, kSentinel);
    DrawClip(x0, y0, tiles, IndexPalette(), clip, 0, bitmap);
    EXPECT_TRUE(Changed(bitmap).empty()) << x0 << "," << y0;
  }
}

TEST(DrawClip, GridLargerThanSixteenIsCutToSixteen) {
  const std::vector<uint8_t> tiles = SolidTile(6);
  ClipRecord clip = EmptyClip();
  clip.cols = 17;  // cell column 16 would alias cell (1, 0)
  clip.rows = 1;
  SetCell(clip, 1, 0, 1);
  Bitmap32 bitmap(160, 16, kSentinel);
  DrawClip(0, 0, tiles, IndexPalette(), clip, 0, bitmap);
  EXPECT_TRUE(Changed(bitmap).empty());

  clip = EmptyClip();
  clip.cols = 255;
  clip.rows = 255;
  for (int k = 0; k < kClipCells; ++k) clip.tile[k] = 1;
  Bitmap32 big(256, 256, kSentinel);
  DrawClip(0, 0, tiles, IndexPalette(), clip, 0, big);
  EXPECT_EQ(Changed(big).size(), 128u * 128u);
  EXPECT_EQ(big.At(127, 127), IndexColour(6));
  EXPECT_EQ(big.At(128, 0), kSentinel);
}

TEST(DrawClip, UsesTheBitmapWidthAsStride) {
  const std::vector<uint8_t> tiles = SolidTile(2);
  ClipRecord clip = EmptyClip();
  clip.cols = 1;
  clip.rows = 1;
  SetCell(clip, 0, 0, 1);
  Bitmap32 bitmap(11, 9, kSentinel);
  DrawClip(1, 1, tiles, IndexPalette(), clip, 0, bitmap);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 11; ++x) {
      const bool drawn = x >= 1 && x < 9 && y >= 1 && y < 9;
      ASSERT_EQ(bitmap.pixels[static_cast<size_t>(y) * 11 + x], drawn ? IndexColour(2) : kSentinel)
          << x << "," << y;
    }
}

TEST(DrawClip, BitmapWithFewerPixelsThanItsSizeIsNotOverrun) {
  const std::vector<uint8_t> tiles = SolidTile(2);
  ClipRecord clip = EmptyClip();
  clip.cols = 2;
  clip.rows = 2;
  for (int k : {0, 1, 16, 17}) clip.tile[k] = 1;
  Bitmap32 bitmap(16, 16, kSentinel);
  bitmap.pixels.resize(16 * 10);  // only 10 rows held
  DrawClip(0, 0, tiles, IndexPalette(), clip, 0, bitmap);
  EXPECT_EQ(bitmap.pixels.back(), IndexColour(2));
}

}  // namespace
}  // namespace varsk
