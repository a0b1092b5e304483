// The unit-table diff: which fields an edit of the packed tables shows, and
// which byte differences no field shows.
#include "patch/table_diff.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "data/data_set.h"
#include "data/rom_tables.h"
#include "patch/synthetic_rom.h"

namespace varsk {
namespace {

// Tables as Save ROM writes them: random records, unpacked and packed again.
RomBuffers CanonicalTables(uint32_t seed) {
  const std::vector<uint8_t> noise = testing::RandomBytes(kRomTableBytes, seed);
  RomBuffers buffers;
  std::copy_n(noise.begin(), kMsTableBytes, buffers.ms.begin());
  std::copy_n(noise.begin() + kMsTableBytes, kShipTableBytes, buffers.ship.begin());
  auto dataSet = std::make_unique<DataSet>();
  UnpackRomTables(buffers, *dataSet);
  PackRomTables(*dataSet, buffers);
  return buffers;
}

class UnitTableDiffTest : public ::testing::Test {
 protected:
  // Unpacks entry k of `buffers`, lets `edit` change it, packs it back.
  template <typename Edit>
  static void EditMs(RomBuffers& buffers, int k, Edit edit) {
    const std::span<uint8_t, kRomMsEntrySize> bytes(buffers.ms.data() + (k - 1) * kRomMsEntrySize,
                                                    kRomMsEntrySize);
    MsRecord record{};
    UnpackMsEntry(bytes, record);
    edit(record);
    PackMsEntry(record, bytes);
  }

  std::unique_ptr<DataSet> base_ = std::make_unique<DataSet>();
  RomBuffers original_ = CanonicalTables(11);
};

TEST_F(UnitTableDiffTest, IdenticalTablesHaveNoChanges) {
  const UnitTableDiff diff = DiffUnitTables(*base_, original_, original_);
  EXPECT_TRUE(diff.changes.empty());
  EXPECT_EQ(diff.unseenTableBytes, 0);
}

TEST_F(UnitTableDiffTest, NamesExactlyTheEditedFields) {
  RomBuffers edited = original_;
  int32_t oldHp = 0;
  int32_t oldAmmo = 0;
  EditMs(edited, 12, [&](MsRecord& record) {
    oldHp = record.hp;
    record.hp = oldHp == 500 ? 501 : 500;
  });
  EditMs(edited, 191, [&](MsRecord& record) {
    oldAmmo = record.weapons[2].ammo;
    record.weapons[2].ammo = oldAmmo == -16 ? -17 : -16;
  });
  // Ship 1 (entry 192): armor is one byte of its own.
  const uint8_t oldArmor = edited.ship[21];
  edited.ship[21] = static_cast<uint8_t>(oldArmor + 1);
  // Ship 38: the third raw byte.
  const uint8_t oldRaw = edited.ship[37 * kRomShipEntrySize + 17];
  edited.ship[37 * kRomShipEntrySize + 17] = static_cast<uint8_t>(oldRaw ^ 0x40);

  const UnitTableDiff diff = DiffUnitTables(*base_, original_, edited);
  ASSERT_EQ(diff.changes.size(), 4u);
  const FieldChange& hp = diff.changes[0];
  EXPECT_EQ(hp.entryIndex, 12);
  EXPECT_EQ(hp.kind, EntryKind::Ms);
  EXPECT_STREQ(hp.field->name, "hp");
  EXPECT_EQ(hp.oldValue, oldHp);
  EXPECT_EQ(hp.newValue, oldHp == 500 ? 501 : 500);
  EXPECT_EQ(diff.changes[1].entryIndex, 191);
  EXPECT_STREQ(diff.changes[1].field->name, "w2.ammo");
  EXPECT_EQ(diff.changes[1].oldValue, oldAmmo);
  EXPECT_EQ(diff.changes[2].entryIndex, 192);
  EXPECT_EQ(diff.changes[2].kind, EntryKind::Ship);
  EXPECT_STREQ(diff.changes[2].field->name, "armor");
  EXPECT_EQ(diff.changes[2].newValue, uint8_t(oldArmor + 1));
  EXPECT_EQ(diff.changes[3].entryIndex, 229);
  // The raw bytes change as one value, written as the dump writes them.
  const FieldChange& raw = diff.changes[3];
  EXPECT_STREQ(raw.field->name, "rawBytes");
  const uint8_t* rawBytes = &original_.ship[37 * kRomShipEntrySize + 15];
  char text[16];
  std::snprintf(text, sizeof text, "%02X %02X %02X", rawBytes[0], rawBytes[1], oldRaw);
  EXPECT_EQ(FieldValueText(*raw.field, raw.oldValue), text);
  std::snprintf(text, sizeof text, "%02X %02X %02X", rawBytes[0], rawBytes[1], oldRaw ^ 0x40);
  EXPECT_EQ(FieldValueText(*raw.field, raw.newValue), text);
  EXPECT_EQ(diff.unseenTableBytes, 0);
}

TEST_F(UnitTableDiffTest, CountsByteDifferencesThatNoFieldShows) {
  RomBuffers edited = original_;
  // Entry 1, slot 2: an ammunition byte of 0 reads as 0, like 255.
  original_.ms[27] = 0xFF;
  edited.ms[27] = 0x00;
  // Ship 2: bit 7 of byte 11 is ignored.
  edited.ship[kRomShipEntrySize + 11] ^= 0x80;
  const UnitTableDiff diff = DiffUnitTables(*base_, original_, edited);
  EXPECT_TRUE(diff.changes.empty());
  EXPECT_EQ(diff.unseenTableBytes, 2);
}

TEST(CountDifferencesOutsideTables, IgnoresTheTablesAndCountsExtraLength) {
  std::vector<uint8_t> a = testing::RandomBytes(kRomTablesEnd + 100, 3);
  std::vector<uint8_t> b = a;
  EXPECT_EQ(CountDifferencesOutsideTables(a, b), 0);
  b[kMsTableOffset] ^= 1;
  b[kRomTablesEnd - 1] ^= 1;
  EXPECT_EQ(CountDifferencesOutsideTables(a, b), 0);
  b[kMsTableOffset - 1] ^= 1;
  b[kRomTablesEnd] ^= 1;
  b.push_back(0);
  b.push_back(0);
  EXPECT_EQ(CountDifferencesOutsideTables(a, b), 4);
  EXPECT_EQ(CountDifferencesOutsideTables(b, a), 4);
}

}  // namespace
}  // namespace varsk
