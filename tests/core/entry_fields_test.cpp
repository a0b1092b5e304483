// The table of entry fields agrees with the codec: each stored row's range is
// exactly what its ROM bits hold, and each row reaches its own field only.
#include "data/entry_fields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "data/rom_tables.h"

namespace varsk {
namespace {

template <typename Record, size_t Size, typename Pack, typename Unpack>
void CheckRanges(EntryKind kind, Pack pack, Unpack unpack) {
  for (const EntryField& field : EntryFields(kind)) {
    if (!field.StoredInRom()) continue;
    // A value outside the range loses its high bits; raw bytes have none to lose.
    const bool hasHighBits = field.coding != FieldCoding::RawBytes;
    for (const int64_t value : {field.Minimum(), field.Maximum(), field.Maximum() + 1}) {
      if (!hasHighBits && value > field.Maximum()) continue;
      Record record{};
      SetFieldValue(record, field, value);
      std::array<uint8_t, Size> bytes{};
      pack(record, bytes);
      Record back{};
      unpack(bytes, back);
      Record expected{};
      SetFieldValue(expected, field, field.Holds(value) ? value : 0);
      EXPECT_EQ(std::memcmp(&back, &expected, sizeof back), 0) << field.name << " " << value;
    }
  }
}

TEST(EntryFields, EachStoredRangeIsExactlyWhatTheRomHolds) {
  CheckRanges<MsRecord, kRomMsEntrySize>(
      EntryKind::Ms, [](const MsRecord& r, auto& b) { PackMsEntry(r, b); },
      [](const auto& b, MsRecord& r) { UnpackMsEntry(b, r); });
  CheckRanges<ShipRecord, kRomShipEntrySize>(
      EntryKind::Ship, [](const ShipRecord& r, auto& b) { PackShipEntry(r, b); },
      [](const auto& b, ShipRecord& r) { UnpackShipEntry(b, r); });
}

TEST(EntryFields, EntryAccessReachesOnlyRowsOfTheEntrysKind) {
  auto dataSet = std::make_unique<DataSet>();
  dataSet->msCount = kMsEntryCount;
  dataSet->shipCount = kShipEntryCount;
  const EntryField& msAmmo = *FindWeaponField(EntryKind::Ms, 3, "ammo");
  const EntryField& shipDefense = *FindEntryField(EntryKind::Ship, "defense");
  EXPECT_TRUE(SetEntryFieldValue(*dataSet, 12, msAmmo, -16));
  EXPECT_EQ(dataSet->MsSlot(12)->weapons[3].ammo, -16);
  EXPECT_TRUE(SetEntryFieldValue(*dataSet, 192, shipDefense, 30));
  EXPECT_EQ(dataSet->ShipSlot(1)->defense, 30);
  EXPECT_EQ(EntryFieldValue(*dataSet, 192, shipDefense), 30);

  EXPECT_FALSE(SetEntryFieldValue(*dataSet, 12, shipDefense, 1));
  EXPECT_FALSE(EntryFieldValue(*dataSet, 192, msAmmo).has_value());
  EXPECT_FALSE(EntryFieldValue(*dataSet, 230, shipDefense).has_value());
  EXPECT_EQ(FindEntryField(EntryKind::Ship, "ace"), nullptr);
}

// Raw bytes are read back from the forms the dump writes, and only whole.
TEST(EntryFields, ValuesComeBackFromTheirText) {
  const EntryField& msRaw = *FindEntryField(EntryKind::Ms, "rawBytes");
  const EntryField& shipRaw = *FindEntryField(EntryKind::Ship, "rawBytes");
  const EntryField& hp = *FindEntryField(EntryKind::Ms, "hp");
  EXPECT_EQ(FieldValueFromText(msRaw, FieldValueText(msRaw, 0x01011403)), 0x01011403);
  EXPECT_EQ(FieldValueFromText(shipRaw, " 82 5a\tA "), 0x0A5A82);
  EXPECT_EQ(FieldValueFromText(hp, "$FA"), 250);
  for (const char* bad : {"82 5A", "82 5A 0A 00", "82 5A 0AA", "82 5A 0G", "", "825A0A"}) {
    EXPECT_FALSE(FieldValueFromText(shipRaw, bad).has_value()) << bad;
  }
  const int64_t bytes[] = {3, 20, 1, 1};
  EXPECT_EQ(RawBytesValue(msRaw, bytes), 0x01011403);
  EXPECT_FALSE(RawBytesValue(shipRaw, bytes).has_value());
  const int64_t tooLarge[] = {3, 20, 256};
  EXPECT_FALSE(RawBytesValue(shipRaw, tooLarge).has_value());
}

TEST(EntryFields, FindValueNotHeldNamesTheFirstStoredValueThatDoesNotFit) {
  auto dataSet = std::make_unique<DataSet>();
  dataSet->msCount = kMsEntryCount;
  dataSet->shipCount = kShipEntryCount;
  dataSet->ShipSlot(1)->speed = -5;  // a ship's speed is not stored
  EXPECT_FALSE(FindValueNotHeld(*dataSet).has_value());
  dataSet->MsSlot(40)->weapons[6].ammo = 300;
  dataSet->ShipSlot(2)->armor = 256;
  const std::optional<ValueNotHeld> found = FindValueNotHeld(*dataSet);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->entryIndex, 40);
  EXPECT_STREQ(found->field->name, "w6.ammo");
  EXPECT_EQ(found->value, 300);
}

}  // namespace
}  // namespace varsk
