#include "data/rom_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace varsk {
namespace {

std::vector<uint8_t> Hex(const char* text) {
  std::vector<uint8_t> bytes;
  unsigned value = 0;
  int used = 0;
  while (std::sscanf(text, "%2x%n", &value, &used) == 1) {
    bytes.push_back(static_cast<uint8_t>(value));
    text += used;
  }
  return bytes;
}

TEST(RomTables, MsWorkedExample) {
  MsRecord record{};
  record.cost = 300;
  record.hp = 200;
  record.en = 60;
  record.terrainFlags = 2;
  record.moveType = 5;
  record.move = 6;
  record.factionFlags = 1040;
  record.factoryFlags = 7;
  record.ace = 0;
  record.baseDamage = 30;
  record.tech = 5;
  record.productTurn = 2;
  record.supportTurn = 1;
  record.sPoint = 1;
  record.armor = 8;
  record.shipDamage = 24;
  record.artillery = 70;
  record.artilleryRange = 3;
  record.speed = 2;
  const uint8_t raw[] = {40, 0, 1, 1};
  std::memcpy(record.rawBytes, raw, 4);
  record.weapons[0] = {12, 20, 0};
  record.weapons[1] = {30, 35, 0};
  record.weapons[2] = {45, 50, 8};
  record.weapons[3] = {60, 64, -16};

  std::array<uint8_t, kRomMsEntrySize> bytes{};
  PackMsEntry(record, bytes);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()),
            Hex("2C 01 C8 00 46 3C 10 E4 05 05 11 83 00 00 00 28 00 01 01 01 00 0C 14 1E 23 2D 32 "
                "08 3C 40 EF 00 00 00 00 00 00 FF 00 00 FF 02 08 00 46 00 18 00 1E 00"));

  MsRecord back{};
  UnpackMsEntry(bytes, back);
  EXPECT_EQ(back.factionFlags, 1040);
  EXPECT_EQ(back.factoryFlags, 7);
  EXPECT_EQ(back.artilleryRange, 3);
  EXPECT_EQ(back.weapons[3].ammo, -16);
  EXPECT_EQ(back.weapons[2].ammo, 8);
  EXPECT_EQ(std::memcmp(&back, &record, sizeof record), 0);
}

TEST(RomTables, ShipWorkedExample) {
  ShipRecord record{};
  record.cost = 450;
  record.hp = 390;
  record.en = 130;
  record.terrainFlags = 1;
  record.moveType = 2;
  record.move = 7;
  record.factionFlags = 8191;
  record.factoryFlags = 5;
  record.tech = 28;
  record.productTurn = 3;
  record.supportTurn = 2;
  record.artilleryRange = 3;
  const uint8_t raw[] = {130, 90, 10};
  std::memcpy(record.rawBytes, raw, 3);
  record.space = 4;
  record.sPoint = 48;
  record.sPointShip = 20;
  record.armor = 8;
  record.artillery = 40;
  record.defense = 30;

  std::array<uint8_t, kRomShipEntrySize> bytes{};
  PackShipEntry(record, bytes);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()),
            Hex("C2 01 86 01 27 82 FF BF 1C 02 1A 03 00 00 00 82 5A 0A 04 30 14 08 28 1E"));
  ShipRecord back{};
  UnpackShipEntry(bytes, back);
  EXPECT_EQ(std::memcmp(&back, &record, sizeof record), 0);
}

TEST(RomTables, AmmoCoding) {
  for (int byte = 0; byte < 256; ++byte) {
    const int32_t ammo = DecodeAmmo(static_cast<uint8_t>(byte));
    if (byte <= 127) {
      EXPECT_EQ(ammo, byte);
    }
    if (byte >= 128 && byte <= 254) {
      EXPECT_EQ(ammo, byte - 255);
    }
    // Every byte but 0 (rewritten as 255) packs back to itself.
    EXPECT_EQ(EncodeAmmo(ammo), byte == 0 ? 255 : byte) << byte;
  }
  EXPECT_EQ(DecodeAmmo(255), 0);
  EXPECT_EQ(EncodeAmmo(0), 255);
  EXPECT_EQ(EncodeAmmo(-16), 239);
  EXPECT_EQ(EncodeAmmo(-1), 254);
  EXPECT_EQ(EncodeAmmo(-127), 128);
  EXPECT_EQ(EncodeAmmo(200), 200 & 127);
  EXPECT_EQ(EncodeAmmo(INT32_MAX), 127);
  EXPECT_EQ(EncodeAmmo(-128), 127);       // low 8 bits of 255 - 128
  EXPECT_EQ(EncodeAmmo(INT32_MIN), 255);  // low 8 bits of 255 - 2^31
}

TEST(RomTables, FieldsThatDoNotFitKeepTheirLowBits) {
  MsRecord record{};
  record.move = 40;
  record.factionFlags = 0x7FFF;
  record.artilleryRange = 3;
  record.cost = 70000;
  std::array<uint8_t, kRomMsEntrySize> bytes{};
  PackMsEntry(record, bytes);
  EXPECT_EQ(bytes[11], 131);
  MsRecord back{};
  UnpackMsEntry(bytes, back);
  EXPECT_EQ(back.move, 8);
  EXPECT_EQ(back.factionFlags, 0x1FFF);
  EXPECT_EQ(back.cost, 70000 & 0xFFFF);

  record.artilleryRange = -3;  // 0 or negative: the whole byte is 0
  PackMsEntry(record, bytes);
  EXPECT_EQ(bytes[11], 0);

  ShipRecord ship{};
  ship.artilleryRange = 3;
  std::array<uint8_t, kRomShipEntrySize> shipBytes{};
  PackShipEntry(ship, shipBytes);
  EXPECT_EQ(shipBytes[11], 3);
  ship.artilleryRange = -1;  // low 7 bits whatever the sign
  PackShipEntry(ship, shipBytes);
  EXPECT_EQ(shipBytes[11], 127);
}

std::unique_ptr<DataSet> RandomRecords(std::mt19937& random) {
  auto dataSet = std::make_unique<DataSet>();
  auto bytes = reinterpret_cast<uint8_t*>(dataSet->msRecords.data());
  for (size_t i = 0; i < sizeof dataSet->msRecords; ++i) bytes[i] = static_cast<uint8_t>(random());
  bytes = reinterpret_cast<uint8_t*>(dataSet->shipRecords.data());
  for (size_t i = 0; i < sizeof dataSet->shipRecords; ++i) {
    bytes[i] = static_cast<uint8_t>(random());
  }
  return dataSet;
}

// An unpacked image packs back to its bytes except for the known rewrites.
TEST(RomTables, UnpackThenPackGivesTheSameBytes) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 20; ++round) {
    RomBuffers image;
    for (uint8_t& b : image.ms) b = static_cast<uint8_t>(random());
    for (uint8_t& b : image.ship) b = static_cast<uint8_t>(random());
    image.ms[27] = 0;  // an ammo byte of 0 in the first entry
    image.ms[11] = 5;  // an MS byte 11 without its bit 7

    std::unique_ptr<DataSet> dataSet = RandomRecords(random);
    UnpackRomTables(image, *dataSet);
    RomBuffers packed;
    PackRomTables(*dataSet, packed);

    RomBuffers expected = image;
    for (size_t k = 0; k < kRomMsEntryCount; ++k) {
      uint8_t* entry = expected.ms.data() + k * kRomMsEntrySize;
      entry[11] = (entry[11] & 127) != 0 ? static_cast<uint8_t>(128 | (entry[11] & 127)) : 0;
      for (size_t at : {27, 30, 37, 40}) {
        if (entry[at] == 0) entry[at] = 255;
      }
    }
    for (size_t n = 0; n < kRomShipEntryCount; ++n)
      expected.ship[n * kRomShipEntrySize + 11] &= 127;
    ASSERT_EQ(packed.ms, expected.ms);
    ASSERT_EQ(packed.ship, expected.ship);
    EXPECT_EQ(expected.ms[11], 133);
    EXPECT_EQ(expected.ms[27], 255);
  }
}

// Values that fit their fields survive a save and load; every other field is
// never touched by the codec.
TEST(RomTables, PackThenUnpackKeepsFittingValues) {
  std::mt19937 random(42);
  auto pick = [&](int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(random);
  };
  std::unique_ptr<DataSet> original = RandomRecords(random);
  for (size_t k = 0; k < kRomMsEntryCount; ++k) {
    MsRecord& r = original->msRecords[k];
    r.cost = pick(0, 65535);
    r.hp = pick(0, 65535);
    r.en = pick(0, 255);
    r.terrainFlags = pick(0, 7);
    r.moveType = pick(0, 255);
    r.move = pick(0, 31);
    r.factionFlags = pick(0, 8191);
    r.factoryFlags = pick(0, 7);
    r.ace = pick(0, 255);
    r.baseDamage = pick(0, 65535);
    r.tech = pick(0, 255);
    r.productTurn = pick(0, 31);
    r.supportTurn = pick(0, 7);
    r.sPoint = pick(0, 255);
    r.armor = pick(0, 65535);
    r.shipDamage = pick(0, 65535);
    r.artillery = pick(0, 65535);
    r.artilleryRange = pick(0, 127);
    r.areaDamage = pick(0, 65535);
    r.areaRange = pick(0, 255);
    r.speed = pick(0, 255);
    for (int s = 0; s < kShownWeaponSlots; ++s) {
      r.weapons[s].weaponId = pick(0, 255);
      r.weapons[s].damage = pick(0, 255);
      if (s % 4 >= 2) r.weapons[s].ammo = pick(-127, 127);
    }
  }
  for (size_t n = 0; n < kRomShipEntryCount; ++n) {
    ShipRecord& r = original->shipRecords[n];
    r.cost = pick(0, 65535);
    r.hp = pick(0, 65535);
    r.en = pick(0, 255);
    r.terrainFlags = pick(0, 7);
    r.moveType = pick(0, 255);
    r.move = pick(0, 31);
    r.factionFlags = pick(0, 8191);
    r.factoryFlags = pick(0, 7);
    r.tech = pick(0, 255);
    r.productTurn = pick(0, 31);
    r.supportTurn = pick(0, 7);
    r.artilleryRange = pick(0, 127);
    r.areaRange = pick(0, 255);
    r.areaDamage = pick(0, 65535);
    r.space = pick(0, 255);
    r.sPoint = pick(0, 255);
    r.sPointShip = pick(0, 255);
    r.armor = pick(0, 255);
    r.artillery = pick(0, 255);
    r.defense = pick(0, 255);
  }
  RomBuffers buffers;
  PackRomTables(*original, buffers);
  auto loaded = std::make_unique<DataSet>(*original);
  // Scramble what the ROM carries, so the unpack has to bring every value back.
  for (size_t k = 0; k < kRomMsEntryCount; ++k) {
    loaded->msRecords[k].cost = -1;
    loaded->msRecords[k].weapons[7].ammo = 1000;
  }
  UnpackRomTables(buffers, *loaded);
  EXPECT_EQ(std::memcmp(&loaded->msRecords, &original->msRecords, sizeof original->msRecords), 0);
  EXPECT_EQ(std::memcmp(&loaded->shipRecords, &original->shipRecords, sizeof original->shipRecords),
            0);
}

TEST(RomTables, CodecCoversSlots191And38Only) {
  auto dataSet = std::make_unique<DataSet>();
  dataSet->msRecords[191].cost = 5;   // slot 192
  dataSet->shipRecords[38].cost = 6;  // ship slot 39
  RomBuffers buffers;
  buffers.ms.fill(0xFF);
  buffers.ship.fill(0xFF);
  UnpackRomTables(buffers, *dataSet);
  EXPECT_EQ(dataSet->msRecords[190].cost, 65535);
  EXPECT_EQ(dataSet->msRecords[191].cost, 5);
  EXPECT_EQ(dataSet->shipRecords[37].cost, 65535);
  EXPECT_EQ(dataSet->shipRecords[38].cost, 6);
}

}  // namespace
}  // namespace varsk

namespace varsk {
namespace {

// Tables packed from records hold nothing implausible; one odd value makes its
// entry count; random bytes are mostly odd.
TEST(RomTables, ImplausibleEntriesAreCounted) {
  auto dataSet = std::make_unique<DataSet>();
  dataSet->msCount = kMsEntryCount;
  dataSet->shipCount = kShipEntryCount;
  for (int k = 1; k <= kMsEntryCount; ++k) {
    dataSet->MsSlot(k)->moveType = k % 16;
    dataSet->MsSlot(k)->artilleryRange = k % 4;
    dataSet->MsSlot(k)->weapons[3].weaponId = 175;
  }
  dataSet->ShipSlot(2)->moveType = 18;
  RomBuffers tables;
  PackRomTables(*dataSet, tables);
  EXPECT_EQ(CountImplausibleEntries(tables), 0);
  tables.ms[kRomMsEntrySize * 4 + 25] = 176;   // entry 5, w2.weaponId
  tables.ms[kRomMsEntrySize * 4 + 9] = 17;     // and its move type: still one entry
  tables.ms[kRomMsEntrySize * 9 + 11] = 0x80;  // entry 10: presence without a range
  tables.ship[kRomShipEntrySize * 0 + 11] |= 0x80;
  tables.ship[kRomShipEntrySize * 1 + 9] = 16;
  EXPECT_EQ(CountImplausibleEntries(tables), 4);
  std::mt19937 random(7);
  for (uint8_t& byte : tables.ms) byte = static_cast<uint8_t>(random());
  for (uint8_t& byte : tables.ship) byte = static_cast<uint8_t>(random());
  EXPECT_GT(CountImplausibleEntries(tables), 200);
}

}  // namespace
}  // namespace varsk
