// The table of entry fields: for every value of an MS or ship entry, its name
// as the dump and the import spell it, where it lies in the record, where and
// how the packed ROM entry stores it, and so the values the ROM can hold. The
// ROM codec, the record diff, the dump and import and the window's weapon rows
// read it; adding a field is one new row.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "data/data_set.h"
#include "data/records.h"

namespace varsk {

// How a ROM entry stores a value.
enum class FieldCoding : uint8_t {
  NotStored,    // not in the ROM entry: the value travels with the record only
  Bits,         // the low `bits` bits, at bit `shift` of the little-endian run from `romByte`
  Ammo,         // one byte: 1..127 as is, 0 as 255, -127..-1 as 255 + value; reads 0..127,
                // 128..254 as byte - 255, 255 as 0
  PresenceBit,  // one byte: above 0, bit 7 set and the low 7 bits; else the whole byte 0
  RawBytes,     // bits / 8 bytes copied unchanged; the value is those bytes little-endian
};

struct EntryField {
  const char* name;       // the dump's CSV column and edit name: "hp", "w2.ammo", "rawBytes"
  const char* key;        // its JSON key within its object: "hp", "ammo", "rawBytes"
  int8_t weaponSlot;      // 0..7 for the values of a weapon slot, else -1
  uint16_t recordOffset;  // of the int32 field in the record (of the byte run for RawBytes)
  FieldCoding coding;
  uint8_t romByte;  // the first byte of the value in the ROM entry
  uint8_t shift;    // Bits: the lowest bit of the value in that little-endian run
  uint8_t bits;     // how many bits of the ROM entry hold the value

  constexpr bool StoredInRom() const { return coding != FieldCoding::NotStored; }
  // The bytes of the ROM entry the value touches, from romByte.
  constexpr int RomByteCount() const { return (shift + bits + 7) / 8; }
  // The bits of those bytes that hold the value, byte romByte + i in bits
  // 8i..8i+7: a bit field's own bits; every bit of the bytes of the other codings.
  constexpr uint32_t RomBitMask() const {
    if (coding == FieldCoding::Bits) return ((uint32_t{1} << bits) - 1) << shift;
    return RomByteCount() >= 4 ? 0xFFFFFFFFu : (uint32_t{1} << (8 * RomByteCount())) - 1;
  }
  // The bits of entry byte romByte + i (i < RomByteCount()) that hold the value.
  constexpr uint8_t RomBitsOfByte(int i) const {
    return static_cast<uint8_t>(RomBitMask() >> (8 * i));
  }
  // The values the ROM holds, exactly what unpacking can yield: a value in this
  // range survives Save ROM and Load ROM, any other comes back as its low bits.
  // A field the ROM does not store takes any 32-bit value.
  constexpr int64_t Minimum() const {
    if (coding == FieldCoding::NotStored) return std::numeric_limits<int32_t>::min();
    return coding == FieldCoding::Ammo ? -127 : 0;
  }
  constexpr int64_t Maximum() const {
    if (coding == FieldCoding::NotStored) return std::numeric_limits<int32_t>::max();
    return coding == FieldCoding::Ammo ? 127 : (int64_t{1} << bits) - 1;
  }
  constexpr bool Holds(int64_t value) const { return value >= Minimum() && value <= Maximum(); }
};

// Where the values of weapon slots 0..7 lie in an MS entry: two groups of ten
// bytes (21..30, 31..40); in each group two slots of weaponId and damage, then
// two slots that add an ammunition byte. Ship entries carry no weapons.
struct WeaponSlotBytes {
  uint8_t weaponId;
  uint8_t damage;
  int8_t ammo;  // -1: the slot has no ammunition byte
};
inline constexpr std::array<WeaponSlotBytes, kShownWeaponSlots> kMsWeaponSlotBytes{{
    {21, 22, -1},
    {23, 24, -1},
    {25, 26, 27},
    {28, 29, 30},
    {31, 32, -1},
    {33, 34, -1},
    {35, 36, 37},
    {38, 39, 40},
}};

// Whether the ROM stores the ammunition of weapon slot `slot` (0..7): slots 2,
// 3, 6 and 7. The window offers an ammunition edit for these rows only.
constexpr bool SlotHasAmmoByte(int slot) {
  return slot >= 0 && slot < kShownWeaponSlots &&
         kMsWeaponSlotBytes[static_cast<size_t>(slot)].ammo >= 0;
}

namespace entry_field_rows {

constexpr EntryField Bits(const char* name, size_t recordOffset, int romByte, int shift, int bits) {
  return {name,
          name,
          -1,
          static_cast<uint16_t>(recordOffset),
          FieldCoding::Bits,
          static_cast<uint8_t>(romByte),
          static_cast<uint8_t>(shift),
          static_cast<uint8_t>(bits)};
}
constexpr EntryField Byte(const char* name, size_t recordOffset, int romByte) {
  return Bits(name, recordOffset, romByte, 0, 8);
}
constexpr EntryField Word(const char* name, size_t recordOffset, int romByte) {
  return Bits(name, recordOffset, romByte, 0, 16);
}
constexpr EntryField PresenceBit(const char* name, size_t recordOffset, int romByte) {
  EntryField field = Bits(name, recordOffset, romByte, 0, 7);
  field.coding = FieldCoding::PresenceBit;
  return field;
}
constexpr EntryField RawBytes(const char* name, size_t recordOffset, int romByte, int count) {
  EntryField field = Bits(name, recordOffset, romByte, 0, 8 * count);
  field.coding = FieldCoding::RawBytes;
  return field;
}
constexpr EntryField NotStored(const char* name, size_t recordOffset) {
  return {name, name, -1, static_cast<uint16_t>(recordOffset), FieldCoding::NotStored, 0, 0, 0};
}

inline constexpr const char* kWeaponValueNames[kShownWeaponSlots][3] = {
    {"w0.weaponId", "w0.damage", "w0.ammo"}, {"w1.weaponId", "w1.damage", "w1.ammo"},
    {"w2.weaponId", "w2.damage", "w2.ammo"}, {"w3.weaponId", "w3.damage", "w3.ammo"},
    {"w4.weaponId", "w4.damage", "w4.ammo"}, {"w5.weaponId", "w5.damage", "w5.ammo"},
    {"w6.weaponId", "w6.damage", "w6.ammo"}, {"w7.weaponId", "w7.damage", "w7.ammo"},
};

// weaponId, damage and ammo of slots 0..7; `inRom`: as an MS entry stores
// them, else not stored at all.
constexpr std::array<EntryField, 3 * kShownWeaponSlots> WeaponRows(size_t weaponsOffset,
                                                                   bool inRom) {
  std::array<EntryField, 3 * kShownWeaponSlots> rows{};
  constexpr const char* kKeys[3] = {"weaponId", "damage", "ammo"};
  constexpr size_t kMembers[3] = {offsetof(WeaponSlot, weaponId), offsetof(WeaponSlot, damage),
                                  offsetof(WeaponSlot, ammo)};
  for (size_t slot = 0; slot < kShownWeaponSlots; ++slot) {
    const WeaponSlotBytes& at = kMsWeaponSlotBytes[slot];
    const int romBytes[3] = {at.weaponId, at.damage, at.ammo};
    for (size_t v = 0; v < 3; ++v) {
      const size_t offset = weaponsOffset + slot * sizeof(WeaponSlot) + kMembers[v];
      EntryField field = NotStored(kWeaponValueNames[slot][v], offset);
      if (inRom && romBytes[v] >= 0) {
        field = Byte(kWeaponValueNames[slot][v], offset, romBytes[v]);
        if (v == 2) field.coding = FieldCoding::Ammo;
      }
      field.key = kKeys[v];
      field.weaponSlot = static_cast<int8_t>(slot);
      rows[3 * slot + v] = field;
    }
  }
  return rows;
}

// spriteIndex, then cost .. factoryFlags (ROM bytes 0..7 and 9): both entry
// formats and both records lay these out alike.
template <typename R>
constexpr std::array<EntryField, 9> LeadingRows() {
  return {
      // name, record member, ROM byte[, shift, bits]
      NotStored("spriteIndex", offsetof(R, spriteIndex)),
      Word("cost", offsetof(R, cost), 0),
      Word("hp", offsetof(R, hp), 2),
      Byte("en", offsetof(R, en), 5),
      Bits("terrainFlags", offsetof(R, terrainFlags), 4, 5, 3),
      Byte("moveType", offsetof(R, moveType), 9),
      Bits("move", offsetof(R, move), 4, 0, 5),
      Bits("factionFlags", offsetof(R, factionFlags), 6, 0, 13),
      Bits("factoryFlags", offsetof(R, factoryFlags), 7, 5, 3),
  };
}

template <size_t... N>
constexpr std::array<EntryField, (N + ...)> Join(const std::array<EntryField, N>&... parts) {
  std::array<EntryField, (N + ...)> all{};
  size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), all.begin() + at), at += parts.size()), ...);
  return all;
}

}  // namespace entry_field_rows

// The fields of an MS entry in the dump's order.
inline constexpr auto kMsFields = [] {
  using namespace entry_field_rows;
  using R = MsRecord;
  return Join(LeadingRows<R>(),
              std::array{
                  // name, record member, ROM byte[, shift, bits]
                  Byte("ace", offsetof(R, ace), 20),
                  Word("baseDamage", offsetof(R, baseDamage), 48),
                  Byte("tech", offsetof(R, tech), 8),
                  Bits("productTurn", offsetof(R, productTurn), 10, 3, 5),
                  Bits("supportTurn", offsetof(R, supportTurn), 10, 0, 3),
                  Byte("sPoint", offsetof(R, sPoint), 19),
                  Word("armor", offsetof(R, armor), 42),
                  Word("shipDamage", offsetof(R, shipDamage), 46),
                  Word("artillery", offsetof(R, artillery), 44),
                  PresenceBit("artilleryRange", offsetof(R, artilleryRange), 11),
                  Word("areaDamage", offsetof(R, areaDamage), 13),
                  Byte("areaRange", offsetof(R, areaRange), 12),
                  Byte("speed", offsetof(R, speed), 41),
                  RawBytes("rawBytes", offsetof(R, rawBytes), 15, 4),
              },
              WeaponRows(offsetof(R, weapons), true));
}();

// The fields of a ship entry in the dump's order. A ship entry has no speed
// and no weapons; its byte 11 bit 7 is always 0.
inline constexpr auto kShipFields = [] {
  using namespace entry_field_rows;
  using R = ShipRecord;
  return Join(LeadingRows<R>(),
              std::array{
                  // name, record member, ROM byte[, shift, bits]
                  Byte("space", offsetof(R, space), 18),
                  Byte("tech", offsetof(R, tech), 8),
                  Bits("productTurn", offsetof(R, productTurn), 10, 3, 5),
                  Bits("supportTurn", offsetof(R, supportTurn), 10, 0, 3),
                  Byte("sPoint", offsetof(R, sPoint), 19),
                  Byte("sPointShip", offsetof(R, sPointShip), 20),
                  Byte("armor", offsetof(R, armor), 21),
                  Byte("defense", offsetof(R, defense), 23),
                  Byte("artillery", offsetof(R, artillery), 22),
                  Bits("artilleryRange", offsetof(R, artilleryRange), 11, 0, 7),
                  Word("areaDamage", offsetof(R, areaDamage), 13),
                  Byte("areaRange", offsetof(R, areaRange), 12),
                  NotStored("speed", offsetof(R, speed)),
                  RawBytes("rawBytes", offsetof(R, rawBytes), 15, 3),
              },
              WeaponRows(offsetof(R, weapons), false));
}();

// The bits of each byte of a `Size`-byte ROM entry that the stored rows of a
// table hold; nullopt when two rows share a bit or a row reaches past the entry.
template <size_t Size, size_t N>
constexpr std::optional<std::array<uint8_t, Size>> HeldRomBits(
    const std::array<EntryField, N>& fields) {
  std::array<uint8_t, Size> held{};
  for (const EntryField& field : fields) {
    if (field.romByte + field.RomByteCount() > static_cast<int>(Size)) return std::nullopt;
    for (int i = 0; i < field.RomByteCount(); ++i) {
      uint8_t& at = held[static_cast<size_t>(field.romByte + i)];
      if ((at & field.RomBitsOfByte(i)) != 0) return std::nullopt;
      at |= field.RomBitsOfByte(i);
    }
  }
  return held;
}

// The rows of a kind in the dump's order; empty for EntryKind::None.
std::span<const EntryField> EntryFields(EntryKind kind);
// The row of `kind` with that name ("hp", "w2.ammo"), or nullptr.
const EntryField* FindEntryField(EntryKind kind, std::string_view name);
// The row of a weapon value by slot (0..7) and key ("weaponId", "damage", "ammo"), or nullptr.
const EntryField* FindWeaponField(EntryKind kind, int slot, std::string_view key);
// The names of both kinds merged, each kind's order kept: the dump's CSV
// columns after entryIndex, kind and the names.
std::span<const char* const> FieldColumns();

// "ms" or "ship" ("none" for EntryKind::None), as the dump writes the kind.
const char* EntryKindName(EntryKind kind);

// A field's value in a record of its kind (`field` is a row of that kind's
// table): the int32 field, or for RawBytes the bytes little-endian.
int64_t FieldValue(const MsRecord& record, const EntryField& field);
int64_t FieldValue(const ShipRecord& record, const EntryField& field);
// Stores `value` (as int32, or as RawBytes its low bytes).
void SetFieldValue(MsRecord& record, const EntryField& field, int64_t value);
void SetFieldValue(ShipRecord& record, const EntryField& field, int64_t value);

// The same by entry: nullopt (and nothing set) when entry `entryIndex` is not
// of the kind whose row `field` is.
std::optional<int64_t> EntryFieldValue(const DataSet& dataSet, int entryIndex,
                                       const EntryField& field);
bool SetEntryFieldValue(DataSet& dataSet, int entryIndex, const EntryField& field, int64_t value);

// A value of an entry that the ROM stores but whose packed field cannot hold
// it (Save ROM would keep only its low bits).
struct ValueNotHeld {
  int entryIndex = 0;
  const EntryField* field = nullptr;
  int64_t value = 0;
};
// The first such value of entries 1..229, in entry order, then the dump's
// field order; nullopt when every value fits.
std::optional<ValueNotHeld> FindValueNotHeld(const DataSet& dataSet);

// A value as text, as the window, the diff and the CSV edit files show it:
// decimal, RawBytes as "03 14 01 01".
std::string FieldValueText(const EntryField& field, int64_t value);

// Fields whose values are named where text shows them: a weapon slot's
// weaponId (by the weapon list) and moveType (by the move type list).
constexpr bool IsWeaponIdField(const EntryField& field) {
  return field.weaponSlot >= 0 && std::string_view(field.key) == "weaponId";
}
constexpr bool IsMoveTypeField(const EntryField& field) {
  return std::string_view(field.name) == "moveType";
}

// A value from the text FieldValueText writes: RawBytes as one- or two-digit
// hexadecimal bytes separated by blanks, other fields by the editor's
// text-to-number rule. Nullopt when the text is not such a value (for
// RawBytes, also when the count of bytes is not the field's).
std::optional<int64_t> FieldValueFromText(const EntryField& field, std::string_view text);
// A RawBytes value from its bytes, first byte first; nullopt unless there are
// exactly as many as the field holds, each 0..255.
std::optional<int64_t> RawBytesValue(const EntryField& field, std::span<const int64_t> bytes);

}  // namespace varsk
