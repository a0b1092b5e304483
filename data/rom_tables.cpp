// The codec between the packed ROM stat tables and the record tables.
#include "data/rom_tables.h"

namespace varsk {

static_assert(kRomMsEntryCount <= kMsSlots && kRomShipEntryCount <= kShipSlots,
              "the codec's slots lie within the record tables");

namespace {

uint8_t Low8(int32_t value) { return static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFFu); }

void PutU16(std::span<uint8_t> bytes, size_t at, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  bytes[at] = static_cast<uint8_t>(v & 0xFFu);
  bytes[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFFu);
}

int32_t GetU16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<int32_t>(bytes[at] | (static_cast<uint32_t>(bytes[at + 1]) << 8));
}

// Bytes 0..14 except byte 11 are laid out alike in both entry formats.
template <typename Record>
void PackCommonFields(const Record& record, std::span<uint8_t> bytes) {
  PutU16(bytes, 0, record.cost);
  PutU16(bytes, 2, record.hp);
  bytes[4] = static_cast<uint8_t>(((static_cast<uint32_t>(record.terrainFlags) & 7u) << 5) |
                                  (static_cast<uint32_t>(record.move) & 31u));
  bytes[5] = Low8(record.en);
  const uint32_t faction = static_cast<uint32_t>(record.factionFlags) & 8191u;
  bytes[6] = static_cast<uint8_t>(faction & 0xFFu);
  bytes[7] = static_cast<uint8_t>((faction >> 8) |
                                  ((static_cast<uint32_t>(record.factoryFlags) & 7u) << 5));
  bytes[8] = Low8(record.tech);
  bytes[9] = Low8(record.moveType);
  bytes[10] = static_cast<uint8_t>(((static_cast<uint32_t>(record.productTurn) & 31u) << 3) |
                                   (static_cast<uint32_t>(record.supportTurn) & 7u));
  bytes[12] = Low8(record.areaRange);
  PutU16(bytes, 13, record.areaDamage);
}

template <typename Record>
void UnpackCommonFields(std::span<const uint8_t> bytes, Record& record) {
  record.cost = GetU16(bytes, 0);
  record.hp = GetU16(bytes, 2);
  record.terrainFlags = bytes[4] >> 5;
  record.move = bytes[4] & 31;
  record.en = bytes[5];
  record.factionFlags = (bytes[7] & 31) * 256 + bytes[6];
  record.factoryFlags = bytes[7] >> 5;
  record.tech = bytes[8];
  record.moveType = bytes[9];
  record.productTurn = (bytes[10] >> 3) & 31;
  record.supportTurn = bytes[10] & 7;
  record.artilleryRange = bytes[11] & 127;
  record.areaRange = bytes[12];
  record.areaDamage = GetU16(bytes, 13);
}

// Byte positions of weapon slots 0..7 in an MS entry; -1: the slot carries no ammo byte.
struct WeaponBytes {
  size_t weaponId;
  size_t damage;
  int ammo;
};
constexpr WeaponBytes kWeaponBytes[kShownWeaponSlots] = {
    {21, 22, -1}, {23, 24, -1}, {25, 26, 27}, {28, 29, 30},
    {31, 32, -1}, {33, 34, -1}, {35, 36, 37}, {38, 39, 40},
};

}  // namespace

RomBuffers& GlobalRomBuffers() {
  static RomBuffers buffers;
  return buffers;
}

int32_t DecodeAmmo(uint8_t byte) {
  if (byte <= 127) return byte;
  if (byte == 255) return 0;
  return static_cast<int32_t>(byte) - 255;
}

uint8_t EncodeAmmo(int32_t ammo) {
  if (ammo > 0) return static_cast<uint8_t>(static_cast<uint32_t>(ammo) & 127u);
  if (ammo == 0) return 255;
  return static_cast<uint8_t>(static_cast<uint64_t>(255 + int64_t{ammo}) & 0xFFu);
}

void PackMsEntry(const MsRecord& record, std::span<uint8_t, kRomMsEntrySize> bytes) {
  PackCommonFields(record, bytes);
  bytes[11] =
      record.artilleryRange > 0
          ? static_cast<uint8_t>(128u | (static_cast<uint32_t>(record.artilleryRange) & 127u))
          : uint8_t{0};
  for (size_t i = 0; i < 4; ++i) bytes[15 + i] = record.rawBytes[i];
  bytes[19] = Low8(record.sPoint);
  bytes[20] = Low8(record.ace);
  for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
    const WeaponBytes& at = kWeaponBytes[slot];
    const WeaponSlot& weapon = record.weapons[slot];
    bytes[at.weaponId] = Low8(weapon.weaponId);
    bytes[at.damage] = Low8(weapon.damage);
    if (at.ammo >= 0) bytes[static_cast<size_t>(at.ammo)] = EncodeAmmo(weapon.ammo);
  }
  bytes[41] = Low8(record.speed);
  PutU16(bytes, 42, record.armor);
  PutU16(bytes, 44, record.artillery);
  PutU16(bytes, 46, record.shipDamage);
  PutU16(bytes, 48, record.baseDamage);
}

void UnpackMsEntry(std::span<const uint8_t, kRomMsEntrySize> bytes, MsRecord& record) {
  UnpackCommonFields(bytes, record);
  for (size_t i = 0; i < 4; ++i) record.rawBytes[i] = bytes[15 + i];
  record.sPoint = bytes[19];
  record.ace = bytes[20];
  for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
    const WeaponBytes& at = kWeaponBytes[slot];
    WeaponSlot& weapon = record.weapons[slot];
    weapon.weaponId = bytes[at.weaponId];
    weapon.damage = bytes[at.damage];
    if (at.ammo >= 0) weapon.ammo = DecodeAmmo(bytes[static_cast<size_t>(at.ammo)]);
  }
  record.speed = bytes[41];
  record.armor = GetU16(bytes, 42);
  record.artillery = GetU16(bytes, 44);
  record.shipDamage = GetU16(bytes, 46);
  record.baseDamage = GetU16(bytes, 48);
}

void PackShipEntry(const ShipRecord& record, std::span<uint8_t, kRomShipEntrySize> bytes) {
  PackCommonFields(record, bytes);
  bytes[11] = static_cast<uint8_t>(static_cast<uint32_t>(record.artilleryRange) & 127u);
  for (size_t i = 0; i < 3; ++i) bytes[15 + i] = record.rawBytes[i];
  bytes[18] = Low8(record.space);
  bytes[19] = Low8(record.sPoint);
  bytes[20] = Low8(record.sPointShip);
  bytes[21] = Low8(record.armor);
  bytes[22] = Low8(record.artillery);
  bytes[23] = Low8(record.defense);
}

void UnpackShipEntry(std::span<const uint8_t, kRomShipEntrySize> bytes, ShipRecord& record) {
  UnpackCommonFields(bytes, record);
  for (size_t i = 0; i < 3; ++i) record.rawBytes[i] = bytes[15 + i];
  record.space = bytes[18];
  record.sPoint = bytes[19];
  record.sPointShip = bytes[20];
  record.armor = bytes[21];
  record.artillery = bytes[22];
  record.defense = bytes[23];
}

void UnpackRomTables(const RomBuffers& buffers, DataSet& dataSet) {
  for (size_t k = 0; k < kRomMsEntryCount; ++k) {
    UnpackMsEntry(std::span(buffers.ms).subspan(k * kRomMsEntrySize).first<kRomMsEntrySize>(),
                  dataSet.msRecords[k]);
  }
  for (size_t n = 0; n < kRomShipEntryCount; ++n) {
    UnpackShipEntry(
        std::span(buffers.ship).subspan(n * kRomShipEntrySize).first<kRomShipEntrySize>(),
        dataSet.shipRecords[n]);
  }
}

void PackRomTables(const DataSet& dataSet, RomBuffers& buffers) {
  for (size_t k = 0; k < kRomMsEntryCount; ++k) {
    PackMsEntry(dataSet.msRecords[k],
                std::span(buffers.ms).subspan(k * kRomMsEntrySize).first<kRomMsEntrySize>());
  }
  for (size_t n = 0; n < kRomShipEntryCount; ++n) {
    PackShipEntry(
        dataSet.shipRecords[n],
        std::span(buffers.ship).subspan(n * kRomShipEntrySize).first<kRomShipEntrySize>());
  }
}

}  // namespace varsk
