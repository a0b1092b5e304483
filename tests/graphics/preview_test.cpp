#include "graphics/preview.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "cliplib/cliplib.h"

namespace varsk {
namespace {

constexpr uint32_t kBackground = 0x00C0C4C8;

uint32_t Converted(const Palette16& palette, int index) {
  uint32_t colours[16];
  ConvertPalette16(palette, colours);
  return colours[index];
}

void SetClipSize(DataSet& ds, int number, int cols, int rows) {
  ClipRecord& clip = ds.clips[static_cast<size_t>(number - 1)];
  clip.cols = static_cast<uint8_t>(cols);
  clip.rows = static_cast<uint8_t>(rows);
}

// A data set shaped like the shipped one (191 MS entries, 38 ships) with the
// sprites, sets and clips that the cases below need; heap-allocated (2.6 MB).
class PreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ds = std::make_unique<DataSet>();
    ds->msCount = kMsEntryCount;
    ds->shipCount = kShipEntryCount;
    BuildAnimSetTable(table);
    // A set of exactly five frames and a set whose frame names clip 0.
    table.sets[59].frameCount = 5;
    table.sets[59].clipNumber = {11, 12, 13, 14, 15};
    table.sets[60].frameCount = 1;

    struct Sprite {
      int index;
      uint8_t animSet;
    };
    for (Sprite s : {Sprite{1, 1}, Sprite{2, 22}, Sprite{3, 19}, Sprite{4, 0}, Sprite{5, 60},
                     Sprite{6, 65}, Sprite{7, 52}, Sprite{8, 61}, Sprite{9, 23}, Sprite{10, 200},
                     Sprite{11, 7}, Sprite{12, 40}})
      ds->spriteInfos[static_cast<size_t>(s.index)].animSet = s.animSet;

    SetClipSize(*ds, 5, 4, 4);     // set 1, frame 5
    SetClipSize(*ds, 10, 3, 2);    // set 7, frame 1
    SetClipSize(*ds, 11, 2, 2);    // set 60, frame 1
    SetClipSize(*ds, 36, 5, 5);    // set 22, frame 5
    SetClipSize(*ds, 38, 6, 8);    // set 22, frame 1
    SetClipSize(*ds, 42, 7, 7);    // set 23, frame 1
    SetClipSize(*ds, 45, 3, 3);    // set 23, frame 5
    SetClipSize(*ds, 119, 8, 5);   // set 19
    SetClipSize(*ds, 136, 16, 6);  // set 40
  }

  void SetMsSprite(int entryIndex, int sprite) {
    ds->msRecords[entryIndex - 1].spriteIndex = sprite;
  }
  void SetShipSprite(int shipNumber, int sprite) {
    ds->shipRecords[shipNumber - 1].spriteIndex = sprite;
  }

  std::unique_ptr<DataSet> ds;
  AnimSetTable table;
};

struct ChoiceCase {
  const char* name;
  int position;
  int frame;  // 0 = no picture
  int clip;
  int32_t x0;
  int32_t y0;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class PreviewChoice : public PreviewTest, public ::testing::WithParamInterface<ChoiceCase> {
 protected:
  void SetUp() override {
    PreviewTest::SetUp();
    SetMsSprite(1, 1);      // set 1, 8 frames
    SetMsSprite(2, 4);      // sprite without a set
    SetMsSprite(3, 5);      // exactly five frames
    SetMsSprite(4, 300);    // sprite index beyond the tables
    SetMsSprite(5, -1);     // negative sprite index
    SetMsSprite(6, 6);      // set number above 64
    SetMsSprite(7, 7);      // empty set
    SetMsSprite(8, 8);      // frame naming clip 0
    SetMsSprite(9, 10);     // set number 200
    SetMsSprite(10, 11);    // four frames
    SetMsSprite(182, 2);    // set 22, six frames, still before 183
    SetMsSprite(183, 2);    // the same set from entry 183 on
    SetMsSprite(190, 9);    // set 23, ten frames
    SetMsSprite(191, 12);   // last MS entry
    SetShipSprite(1, 3);    // entry 192: set 19, one frame
    SetShipSprite(17, 12);  // entry 208: 16 x 6 cells
    SetShipSprite(38, 1);   // entry 229: frame 1 though set 1 has 8 frames
  }
};

TEST_P(PreviewChoice, PicksSpriteSetFrameAndPlace) {
  const ChoiceCase& c = GetParam();
  const std::optional<PreviewFrame> frame = ChoosePreviewFrame(*ds, table, c.position);
  if (c.frame == 0) {
    EXPECT_FALSE(frame.has_value());
    return;
  }
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(frame->frame, c.frame);
  EXPECT_EQ(frame->clipNumber, c.clip);
  EXPECT_EQ(frame->x0, c.x0);
  EXPECT_EQ(frame->y0, c.y0);
  const int entryIndex = c.position < 0 ? 1 : c.position + 1;
  EXPECT_EQ(frame->palettePosition, entryIndex - 1);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PreviewChoice,
    ::testing::Values(
        ChoiceCase{"FirstEntryFrameFive", 0, 5, 5, 48, 24},
        ChoiceCase{"NegativePositionIsEntryOne", -1, 5, 5, 48, 24},
        ChoiceCase{"VeryNegativePosition", INT_MIN, 5, 5, 48, 24},
        ChoiceCase{"SetZero", 1, 0, 0, 0, 0},
        ChoiceCase{"ExactlyFiveFramesUsesFrameOne", 2, 1, 11, 56, 32},
        ChoiceCase{"SpriteIndexTooLarge", 3, 0, 0, 0, 0},
        ChoiceCase{"SpriteIndexNegative", 4, 0, 0, 0, 0},
        ChoiceCase{"SetAboveSixtyFour", 5, 0, 0, 0, 0}, ChoiceCase{"EmptySet", 6, 0, 0, 0, 0},
        ChoiceCase{"ClipNumberZero", 7, 0, 0, 0, 0}, ChoiceCase{"SetTwoHundred", 8, 0, 0, 0, 0},
        ChoiceCase{"FourFramesUsesFrameOne", 9, 1, 10, 52, 32},
        ChoiceCase{"Entry182SixFrames", 181, 5, 36, 44, 20},
        ChoiceCase{"Entry183UsesFrameOne", 182, 1, 38, 40, 8},
        ChoiceCase{"Entry190TenFrames", 189, 1, 42, 36, 12},
        ChoiceCase{"LastMsEntry", 190, 1, 136, 0, 16}, ChoiceCase{"FirstShip", 191, 1, 119, 32, 20},
        ChoiceCase{"WideShip", 207, 1, 136, 0, 16},
        ChoiceCase{"LastShipFrameOne", 228, 1, 1, 64, 40},
        ChoiceCase{"BeyondTheLastShip", 229, 0, 0, 0, 0},
        ChoiceCase{"HugePosition", INT_MAX, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<ChoiceCase>& param) {
      return std::string(param.param.name);
    });

TEST_F(PreviewTest, PalettePositionBeyondTheTableDrawsNothing) {
  // 250 MS entries and 10 ships: entry 257 is ship 7, whose palette slot 256
  // does not exist.
  ds->msCount = 250;
  ds->shipCount = 10;
  SetShipSprite(6, 1);
  SetShipSprite(7, 1);
  EXPECT_TRUE(ChoosePreviewFrame(*ds, table, 255).has_value());
  EXPECT_FALSE(ChoosePreviewFrame(*ds, table, 256).has_value());
}

TEST_F(PreviewTest, CountsBeyondTheRecordTablesDrawNothing) {
  ds->msCount = INT_MAX;
  ds->shipCount = INT_MAX;
  EXPECT_FALSE(ChoosePreviewFrame(*ds, table, 300).has_value());
  ds->msCount = -5;
  EXPECT_FALSE(ChoosePreviewFrame(*ds, table, 0).has_value());
}

// Entry 1 and entry 2 share sprite 1; its frame 5 is clip 5 with one cell.
class PreviewPixels : public PreviewTest {
 protected:
  void SetUp() override {
    PreviewTest::SetUp();
    SetMsSprite(1, 1);
    SetMsSprite(2, 1);
    SetMsSprite(3, 4);  // no set
    ClipRecord& clip = ds->clips[4];
    clip.tile[0] = 1;                      // cell (0, 0)
    clip.tile[3 * kClipGridSide + 3] = 2;  // cell (3, 3), flipped
    clip.flip[3 * kClipGridSide + 3] = 1;
    // Sheet 1: tile 0 solid colour 3, tile 1 colour 4 with a transparent pixel.
    std::memset(ds->spriteSheets[1].bytes, 0x33, 32);
    std::memset(ds->spriteSheets[1].bytes + 32, 0x44, 32);
    ds->spriteSheets[1].bytes[32] = 0x04;  // pixel (0, 0) of tile 1 transparent
    std::memset(ds->spriteSheets[0].bytes, 0x55, sizeof ds->spriteSheets[0].bytes);
    for (int n = 0; n < 16; ++n) {
      ds->entryPalettes[0].colours[n] = static_cast<uint16_t>(n);        // reds
      ds->entryPalettes[1].colours[n] = static_cast<uint16_t>(n << 10);  // blues
    }
  }
};

TEST_F(PreviewPixels, DrawsTheFrameCentredInTheEntrysColours) {
  for (int position : {0, 1}) {
    SCOPED_TRACE(position);
    Bitmap32 target(kSpritePreviewWidth, kSpritePreviewHeight, 0x12345678);
    DrawEntryPreview(*ds, table, position, kBackground, target);
    const Palette16& palette = ds->entryPalettes[static_cast<size_t>(position)];
    for (int y = 0; y < target.height; ++y) {
      for (int x = 0; x < target.width; ++x) {
        uint32_t want = kBackground;
        if (x >= 48 && x < 56 && y >= 24 && y < 32) want = Converted(palette, 3);
        // Cell (3, 3) at (72, 48), flipped: its transparent pixel is at (79, 48).
        if (x >= 72 && x < 80 && y >= 48 && y < 56 && !(x == 79 && y == 48))
          want = Converted(palette, 4);
        ASSERT_EQ(target.At(x, y), want) << x << "," << y;
      }
    }
  }
  // Same shape, different colours.
  EXPECT_NE(Converted(ds->entryPalettes[0], 3), Converted(ds->entryPalettes[1], 3));
}

TEST_F(PreviewPixels, NoPictureLeavesOnlyTheBackground) {
  for (int position : {2, 229, 5000}) {
    Bitmap32 target(kSpritePreviewWidth, kSpritePreviewHeight, 0x12345678);
    DrawEntryPreview(*ds, table, position, kBackground, target);
    EXPECT_EQ(target.pixels, std::vector<uint32_t>(target.pixels.size(), kBackground)) << position;
  }
}

TEST_F(PreviewPixels, UsesTheFramesTileBase) {
  // Set 7 frame 1 (clip 10, tile base 0) then a copy of it with tile base 1.
  SetMsSprite(1, 11);
  ds->spriteSheets[11] = ds->spriteSheets[1];
  ds->clips[9].tile[0] = 1;
  Bitmap32 target(kSpritePreviewWidth, kSpritePreviewHeight);
  DrawEntryPreview(*ds, table, 0, kBackground, target);
  EXPECT_EQ(target.At(52, 32), Converted(ds->entryPalettes[0], 3));
  table.sets[6].tileBase[0] = 1;
  DrawEntryPreview(*ds, table, 0, kBackground, target);
  EXPECT_EQ(target.At(53, 32), Converted(ds->entryPalettes[0], 4));
}

TEST_F(PreviewPixels, OtherBitmapSizesUseTheirOwnWidthAndClip) {
  Bitmap32 reference(kSpritePreviewWidth, kSpritePreviewHeight);
  DrawEntryPreview(*ds, table, 0, kBackground, reference);

  Bitmap32 wide(200, 90, 0x12345678);
  DrawEntryPreview(*ds, table, 0, kBackground, wide);
  for (int y = 0; y < wide.height; ++y)
    for (int x = 0; x < wide.width; ++x) {
      const bool inPicture = x < kSpritePreviewWidth && y < kSpritePreviewHeight;
      ASSERT_EQ(wide.At(x, y), inPicture ? reference.At(x, y) : kBackground) << x << "," << y;
    }

  Bitmap32 small(60, 30, 0x12345678);
  DrawEntryPreview(*ds, table, 0, kBackground, small);
  for (int y = 0; y < small.height; ++y)
    for (int x = 0; x < small.width; ++x) ASSERT_EQ(small.At(x, y), reference.At(x, y));

  Bitmap32 empty;
  DrawEntryPreview(*ds, table, 0, kBackground, empty);
  EXPECT_TRUE(empty.pixels.empty());
}

// ---- Icon strip ----

TEST(IconStrip, DrawsThirteenIconsFromTheirTilesAndPalettes) {
  auto ds = std::make_unique<DataSet>();
  // Tile t of the icon sheet is solid colour index (t % 15) + 1; palette p
  // gives colour n its own red (n) and green (p + 1).
  for (int t = 0; t < kTilesPerSheet; ++t) {
    const uint8_t n = static_cast<uint8_t>(t % 15 + 1);
    std::memset(ds->iconSheet.bytes + 32 * t, (n << 4) | n, 32);
  }
  ds->iconSheet.bytes[58 * 32] =
      0x0E;  // (58 % 15) + 1 = 14  // icon 12: its first pixel is transparent
  for (int p = 0; p < kIconPaletteSlots; ++p)
    for (int n = 0; n < 16; ++n)
      ds->iconPalettes[static_cast<size_t>(p)].colours[n] =
          static_cast<uint16_t>(n | ((p + 1) << 5));

  struct Icon {
    int x, tileBase, palette;
  };
  const Icon icons[13] = {{0, 0, 1},    {16, 2, 3},   {32, 4, 1},   {48, 6, 0},   {64, 8, 0},
                          {80, 10, 0},  {96, 12, 3},  {112, 14, 2}, {128, 48, 3}, {144, 50, 1},
                          {160, 52, 1}, {176, 54, 2}, {192, 58, 1}};

  Bitmap32 strip(kIconStripWidth, kIconStripHeight, 0x12345678);
  DrawIconStrip(*ds, kBackground, strip);
  for (const Icon& icon : icons) {
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 16; ++x) {
        const int tile = icon.tileBase + 16 * (y / 8) + x / 8;
        uint32_t want =
            Converted(ds->iconPalettes[static_cast<size_t>(icon.palette)], tile % 15 + 1);
        if (icon.tileBase == 58 && x == 0 && y == 0) want = kBackground;
        ASSERT_EQ(strip.At(icon.x + x, y), want) << "icon at " << icon.x << ": " << x << "," << y;
      }
    }
  }
}

TEST(IconStrip, ClearsToTheBackgroundAndStaysInsideOtherSizes) {
  auto ds = std::make_unique<DataSet>();
  std::memset(ds->iconSheet.bytes, 0x11, sizeof ds->iconSheet.bytes);
  ds->iconPalettes[1].colours[1] = 0x7FFF;
  Bitmap32 strip(300, 30, 0x12345678);
  DrawIconStrip(*ds, kBackground, strip);
  EXPECT_EQ(strip.At(0, 0), 0x00F8F8F8u);  // icon 0 uses palette 1
  EXPECT_EQ(strip.At(207, 23), Converted(ds->iconPalettes[1], 1));
  EXPECT_EQ(strip.At(208, 0), kBackground);
  EXPECT_EQ(strip.At(0, 24), kBackground);

  Bitmap32 narrow(100, 10);
  ds->iconPalettes[3].colours[1] = 0x001F;
  DrawIconStrip(*ds, kBackground, narrow);
  EXPECT_EQ(narrow.At(99, 9), 0x00F80000u);  // icon 6 (x 96) uses palette 3
}

TEST(SystemColour, SwapsRedAndBlueBytes) {
  EXPECT_EQ(SystemColourToPixel(0x00112233), 0x00332211u);
  EXPECT_EQ(SystemColourToPixel(0x00F0F0F0), 0x00F0F0F0u);
  EXPECT_EQ(SystemColourToPixel(0x000000FF), 0x00FF0000u);
  EXPECT_EQ(SystemColourToPixel(0xFF112233), 0x00332211u);
}

}  // namespace
}  // namespace varsk
