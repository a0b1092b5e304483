// The embedded data set as the programs load it: table layout, record rules,
// clips, animation sets and the pictures the preview draws from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

#include "cliplib/bitmap32.h"
#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "data/rom_tables.h"
#include "graphics/anim_set.h"
#include "graphics/clip_export.h"
#include "graphics/preview.h"

namespace varsk {
namespace {

template <typename T>
bool AllZero(const T& value) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
  return std::all_of(bytes, bytes + sizeof(T), [](uint8_t b) { return b == 0; });
}

int32_t Int32At(std::span<const uint8_t> bytes, size_t at) {
  int32_t v;
  std::memcpy(&v, bytes.data() + at, 4);
  return v;
}

class ShippedDataSet : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterEmbeddedDataSet();
    data_ = std::make_unique<DataSet>().release();
    LoadDataSet(*data_);
    table_ = std::make_unique<AnimSetTable>().release();
    BuildAnimSetTable(*table_);
  }
  static void TearDownTestSuite() {
    delete data_;
    delete table_;
  }
  static const DataSet& Data() { return *data_; }
  static const AnimSetTable& Table() { return *table_; }
  static int SpriteOf(int entryIndex) {
    return entryIndex <= kMsEntryCount ? Data().MsSlot(entryIndex)->spriteIndex
                                       : Data().ShipSlot(entryIndex - kMsEntryCount)->spriteIndex;
  }

 private:
  static DataSet* data_;
  static AnimSetTable* table_;
};
DataSet* ShippedDataSet::data_ = nullptr;
AnimSetTable* ShippedDataSet::table_ = nullptr;

TEST(EmbeddedBytes, TableHeadersSitAtTheShippedOffsets) {
  const auto bytes = EmbeddedDataSetBytes();
  ASSERT_EQ(bytes.size(), 2279263u);
  EXPECT_EQ(Int32At(bytes, 0), 0);
  struct Table {
    size_t offset;
    int32_t count, size;
  };
  const Table tables[] = {{4, 191, 560},     {106972, 38, 556}, {128108, 147, 1026},
                          {278938, 230, 32}, {286306, 4, 32},   {286442, 1, 8192},
                          {294642, 4, 8192}, {327418, 237, 9},  {329559, 237, 8192}};
  for (const Table& t : tables) {
    EXPECT_EQ(Int32At(bytes, t.offset), t.count) << "table at " << t.offset;
    EXPECT_EQ(Int32At(bytes, t.offset + 4), t.size) << "table at " << t.offset;
  }
  for (size_t i = 2271071; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], 0) << "trailer byte " << i;
}

TEST_F(ShippedDataSet, RecordsCarryTheirOwnIndexAndSprites) {
  ASSERT_EQ(Data().msCount, 191);
  ASSERT_EQ(Data().shipCount, 38);
  std::set<int> sprites;
  for (int k = 1; k <= 191; ++k) {
    const MsRecord& r = *Data().MsSlot(k);
    EXPECT_EQ(r.ownIndex, k);
    EXPECT_GE(r.spriteIndex, 1);
    EXPECT_LE(r.spriteIndex, 191);
    sprites.insert(r.spriteIndex);
    EXPECT_EQ(r.reserved2, 2);
    EXPECT_EQ(r.reserved3, 0);
    EXPECT_TRUE(r.reserved1 == 8 || r.reserved1 == 0);
    EXPECT_TRUE((r.moveType >= 0 && r.moveType <= 15) || r.moveType == 18) << k;
  }
  EXPECT_LT(sprites.size(), 191u) << "several records share a sprite";
  EXPECT_EQ(Data().MsSlot(1)->spriteIndex, 1);
  EXPECT_EQ(Data().MsSlot(2)->spriteIndex, 1);
  EXPECT_NE(std::memcmp(&Data().entryPalettes[0], &Data().entryPalettes[1], sizeof(Palette16)), 0);
  int reserved1Eight = 0;
  for (int k = 1; k <= 191; ++k) reserved1Eight += Data().MsSlot(k)->reserved1 == 8;
  EXPECT_GE(reserved1Eight, 180);
  EXPECT_LT(reserved1Eight, 191);

  for (int n = 1; n <= 38; ++n) {
    const ShipRecord& r = *Data().ShipSlot(n);
    EXPECT_EQ(r.ownIndex, 191 + n);
    EXPECT_EQ(r.spriteIndex, 191 + n);
    EXPECT_EQ(r.reserved1, 0);
    EXPECT_EQ(r.reserved2, 0);
    EXPECT_EQ(r.padding, 0);
    for (const WeaponSlot& w : r.weapons) EXPECT_TRUE(AllZero(w));
  }
}

TEST_F(ShippedDataSet, WeaponSlotsFollowTheShippedRules) {
  int hpFed = 0;
  int longTurns = 0;
  for (int k = 1; k <= 191; ++k) {
    const MsRecord& r = *Data().MsSlot(k);
    longTurns += r.productTurn > 1 || r.supportTurn > 1;
    EXPECT_NE(r.weapons[0].weaponId, 0) << "every unit carries a weapon";
    for (int s = 0; s < kWeaponSlotsPerRecord; ++s) {
      const WeaponSlot& w = r.weapons[s];
      SCOPED_TRACE(testing::Message() << "entry " << k << " slot " << s);
      if (s >= 8 || w.weaponId == 0) {
        EXPECT_TRUE(AllZero(w));
        continue;
      }
      EXPECT_LE(w.weaponId, 175);
      EXPECT_EQ(w.occupied, 1);
      EXPECT_EQ(w.reserved1 | w.reserved2 | w.reserved3, 0);
      const bool ammoSlot = s == 2 || s == 3 || s == 6 || s == 7;
      if (ammoSlot) {
        EXPECT_NE(w.ammo, 0);
      } else {
        EXPECT_EQ(w.ammo, 0);
      }
      hpFed += w.ammo < 0;
    }
  }
  EXPECT_GE(hpFed, 5);
  EXPECT_GE(longTurns, 5);
}

TEST_F(ShippedDataSet, PackingAndUnpackingChangesNothing) {
  auto unpacked = std::make_unique<DataSet>(Data());
  auto buffers = std::make_unique<RomBuffers>();
  PackRomTables(Data(), *buffers);
  UnpackRomTables(*buffers, *unpacked);
  for (int k = 1; k <= 191; ++k) {
    EXPECT_EQ(std::memcmp(unpacked->MsSlot(k), Data().MsSlot(k), sizeof(MsRecord)), 0)
        << "MS " << k;
  }
  for (int n = 1; n <= 38; ++n) {
    EXPECT_EQ(std::memcmp(unpacked->ShipSlot(n), Data().ShipSlot(n), sizeof(ShipRecord)), 0)
        << "ship " << n;
  }
}

TEST_F(ShippedDataSet, ClipsHaveTheShippedSizes) {
  for (int k = 1; k <= 256; ++k) {
    const ClipRecord& clip = *Data().Clip(k);
    if (k > 147) {
      EXPECT_EQ(clip.cols, 0) << k;
      continue;
    }
    ASSERT_NE(clip.cols, 0) << k;
    for (int cell = 0; cell < kClipCells; ++cell) {
      if (cell / 16 < clip.rows && cell % 16 < clip.cols) continue;
      ASSERT_EQ(clip.tile[cell] | clip.flip[cell] | clip.dx[cell] | clip.dy[cell], 0)
          << "clip " << k << " cell " << cell;
    }
  }
  const std::pair<int, std::pair<int, int>> sizes[] = {{1, {4, 4}},  {2, {4, 4}},   {5, {4, 4}},
                                                       {38, {6, 8}}, {119, {8, 5}}, {134, {16, 6}}};
  for (const auto& [k, size] : sizes) {
    EXPECT_EQ(Data().Clip(k)->cols, size.first) << k;
    EXPECT_EQ(Data().Clip(k)->rows, size.second) << k;
  }
  const std::vector<uint8_t> file = EncodeClipSet(Data());
  EXPECT_EQ(file.size(), 21977u);
  const std::vector<uint8_t> head = {1,    4,    4,    0x01, 0x02, 0x03, 0x04, 0x11, 0x12, 0x13,
                                     0x14, 0x0D, 0x0E, 0x0F, 0x10, 0x1D, 0x1E, 0x1F, 0x20};
  ASSERT_GE(file.size(), 70u);
  EXPECT_TRUE(std::equal(head.begin(), head.end(), file.begin()));
  EXPECT_TRUE(std::all_of(file.begin() + 19, file.begin() + 67, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(file[67], 2);
}

TEST_F(ShippedDataSet, ShippedClipsUseFlipsAndOffsets) {
  std::set<int> flips;
  bool offsets = false;
  for (int k = 1; k <= 147; ++k) {
    const ClipRecord& clip = *Data().Clip(k);
    for (int cell = 0; cell < kClipCells; ++cell) {
      if (clip.tile[cell] == 0) continue;
      flips.insert(clip.flip[cell]);
      offsets = offsets || clip.dx[cell] != 0 || clip.dy[cell] != 0;
    }
  }
  EXPECT_TRUE(flips.contains(1));
  EXPECT_TRUE(offsets);
}

TEST_F(ShippedDataSet, SpriteInfosNameOnlyTheShippedSets) {
  EXPECT_TRUE(AllZero(Data().spriteInfos[0]));
  for (int s = 0; s < kSpriteInfoSlots; ++s) EXPECT_LE(Data().spriteInfos[s].animSet, 51) << s;
  const std::pair<int, int> known[] = {{1, 1}, {183, 22}, {192, 19}, {208, 38}};
  for (const auto& [entry, set] : known) {
    EXPECT_EQ(Data().spriteInfos[SpriteOf(entry)].animSet, set) << "entry " << entry;
  }
}

TEST_F(ShippedDataSet, PalettesLeaveBit15Clear) {
  for (const Palette16& p : Data().entryPalettes) {
    for (uint16_t c : p.colours) ASSERT_EQ(c & 0x8000, 0);
  }
  for (const Palette16& p : Data().iconPalettes) {
    for (uint16_t c : p.colours) ASSERT_EQ(c & 0x8000, 0);
  }
}

// Every cell the preview draws of every frame of every entry's set lies inside
// the 128 x 80 image at the preview's position and reads a tile of its sheet.
TEST_F(ShippedDataSet, EveryFrameStaysInsideThePreview) {
  for (int entry = 1; entry <= 229; ++entry) {
    const int sprite = SpriteOf(entry);
    const int set = Data().spriteInfos[sprite].animSet;
    ASSERT_NE(set, 0) << "entry " << entry << " has no picture";
    const AnimSetEntry& frames = *Table().Find(set);
    for (int f = 1; f <= frames.frameCount; ++f) {
      const ClipRecord& clip = *Data().Clip(frames.clipNumber[f - 1]);
      const int x0 = 64 - 4 * clip.cols, y0 = 40 - 4 * clip.rows;
      for (int r = 0; r < clip.rows; ++r) {
        for (int c = 0; c < clip.cols; ++c) {
          const int cell = r * 16 + c;
          if (clip.tile[cell] == 0) continue;
          SCOPED_TRACE(testing::Message()
                       << "entry " << entry << " frame " << f << " cell " << cell);
          const int px = x0 + 8 * c + clip.dx[cell], py = y0 + 8 * r + clip.dy[cell];
          EXPECT_TRUE(px >= 0 && px + 8 <= 128 && py >= 0 && py + 8 <= 80);
          const int tile = frames.tileBase[f - 1] + clip.tile[cell] - 1;
          EXPECT_TRUE(tile >= 0 && tile < 256);
        }
      }
    }
  }
}

// The preview shows a real picture for every entry: a good share of the image
// is drawn, in several colours, and entries sharing a sprite differ in colour.
TEST_F(ShippedDataSet, EveryEntryShowsAPicture) {
  constexpr uint32_t kBackground = 0x00F0F0F0;
  Bitmap32 target(128, 80);
  Bitmap32 first(128, 80);
  for (int position = 0; position < 229; ++position) {
    DrawEntryPreview(Data(), Table(), position, kBackground, target);
    std::set<uint32_t> colours;
    int drawn = 0;
    for (uint32_t p : target.pixels) {
      if (p == kBackground) continue;
      ++drawn;
      colours.insert(p);
    }
    EXPECT_GE(drawn, 250) << "entry " << position + 1;
    EXPECT_GE(colours.size(), 6u) << "entry " << position + 1;
    if (position == 0) first = target;
    if (position == 1) {
      EXPECT_NE(first.pixels, target.pixels) << "entries 1 and 2 share a sprite";
    }
  }
  const auto frame = ChoosePreviewFrame(Data(), Table(), 0);
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(frame->clipNumber, 5);
  EXPECT_EQ(frame->x0, 48);
  EXPECT_EQ(frame->y0, 24);
}

TEST_F(ShippedDataSet, IconStripShowsThirteenDistinctEmblems) {
  Bitmap32 strip(208, 24);
  DrawIconStrip(Data(), 0, strip);
  std::set<std::vector<uint32_t>> icons;
  for (int i = 0; i < 13; ++i) {
    std::vector<uint32_t> icon;
    int drawn = 0;
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 16; ++x) {
        icon.push_back(strip.At(16 * i + x, y));
        drawn += strip.At(16 * i + x, y) != 0;
      }
    }
    EXPECT_GE(drawn, 120) << "icon " << i;
    icons.insert(icon);
  }
  EXPECT_EQ(icons.size(), 13u);
}

}  // namespace
}  // namespace varsk
