// The codec between the packed ROM stat tables and the record tables.
#include "data/rom_tables.h"

#include <cstring>
#include <optional>
#include <utility>

#include "data/entry_fields.h"
#include "data/move_types.h"
#include "data/name_list.h"

namespace varsk {

static_assert(kRomMsEntryCount <= kMsSlots && kRomShipEntryCount <= kShipSlots,
              "the codec's slots lie within the record tables");

namespace {

template <size_t Size>
constexpr std::array<uint8_t, Size> AllBits() {
  std::array<uint8_t, Size> bits{};
  for (uint8_t& byte : bits) byte = 0xFF;
  return bits;
}

// Pack writes every byte of an entry: the rows own each bit once, and the only
// bit no row owns, a ship's byte 11 bit 7, is always written as 0.
static_assert(HeldRomBits<kRomMsEntrySize>(kMsFields) == AllBits<kRomMsEntrySize>());
static_assert(HeldRomBits<kRomShipEntrySize>(kShipFields) == [] {
  auto bits = AllBits<kRomShipEntrySize>();
  bits[11] = 0x7F;
  return bits;
}());
static_assert(
    [] {
      for (const EntryField& field : kMsFields) {
        if (field.coding == FieldCoding::Bits && field.RomByteCount() > 2) return false;
      }
      for (const EntryField& field : kShipFields) {
        if (field.coding == FieldCoding::Bits && field.RomByteCount() > 2) return false;
      }
      return true;
    }(),
    "the codec reads and writes bit fields of one or two bytes");

// Whether row I is the first stored row of the table that touches entry byte `at`.
template <const auto& Fields, size_t I>
constexpr bool FirstToTouch(int at) {
  for (size_t j = 0; j < I; ++j) {
    const EntryField& other = Fields[j];
    if (other.StoredInRom() && at >= other.romByte && at < other.romByte + other.RomByteCount()) {
      return false;
    }
  }
  return true;
}

// Sets a byte of the entry when row I is the first to touch it, else adds its bits.
template <const auto& Fields, size_t I, int At>
inline void PutBits(std::span<uint8_t> entry, uint8_t bits) {
  if constexpr (FirstToTouch<Fields, I>(At)) {
    entry[At] = bits;
  } else {
    entry[At] |= bits;
  }
}

// The codec is unrolled over the table at compile time: each row becomes the
// few loads, masks and stores of its own field, as if written by hand.
template <const auto& Fields, size_t I, typename Record>
inline void PackField(const Record& record, std::span<uint8_t> entry) {
  constexpr EntryField field = Fields[I];
  const auto* from = reinterpret_cast<const uint8_t*>(&record) + field.recordOffset;
  if constexpr (field.coding == FieldCoding::RawBytes) {
    for (size_t i = 0; i < field.bits / 8; ++i) entry[field.romByte + i] = from[i];
  } else if constexpr (field.coding != FieldCoding::NotStored) {
    int32_t value = 0;
    std::memcpy(&value, from, sizeof value);
    if constexpr (field.coding == FieldCoding::Ammo) {
      entry[field.romByte] = EncodeAmmo(value);
    } else if constexpr (field.coding == FieldCoding::PresenceBit) {
      entry[field.romByte] =
          value > 0 ? static_cast<uint8_t>(128u | (static_cast<uint32_t>(value) & 127u)) : 0;
    } else {
      constexpr uint32_t kMask = (uint32_t{1} << field.bits) - 1;
      const uint32_t bits = (static_cast<uint32_t>(value) & kMask) << field.shift;
      PutBits<Fields, I, field.romByte>(entry, static_cast<uint8_t>(bits));
      if constexpr (field.RomByteCount() == 2) {
        PutBits<Fields, I, field.romByte + 1>(entry, static_cast<uint8_t>(bits >> 8));
      }
    }
  }
}

template <const auto& Fields, size_t I, typename Record>
inline void UnpackField(std::span<const uint8_t> entry, Record& record) {
  constexpr EntryField field = Fields[I];
  auto* to = reinterpret_cast<uint8_t*>(&record) + field.recordOffset;
  if constexpr (field.coding == FieldCoding::RawBytes) {
    for (size_t i = 0; i < field.bits / 8; ++i) to[i] = entry[field.romByte + i];
  } else if constexpr (field.coding != FieldCoding::NotStored) {
    int32_t value = 0;
    if constexpr (field.coding == FieldCoding::Ammo) {
      value = DecodeAmmo(entry[field.romByte]);
    } else if constexpr (field.coding == FieldCoding::PresenceBit) {
      value = entry[field.romByte] & 127;
    } else {
      uint32_t run = entry[field.romByte];
      if constexpr (field.RomByteCount() == 2) run |= uint32_t{entry[field.romByte + 1]} << 8;
      value = static_cast<int32_t>((run >> field.shift) & ((uint32_t{1} << field.bits) - 1));
    }
    std::memcpy(to, &value, sizeof value);
  }
}

template <const auto& Fields, typename Record, size_t... I>
inline void PackFields(const Record& record, std::span<uint8_t> entry, std::index_sequence<I...>) {
  (PackField<Fields, I>(record, entry), ...);
}

template <const auto& Fields, typename Record, size_t... I>
inline void UnpackFields(std::span<const uint8_t> entry, Record& record,
                         std::index_sequence<I...>) {
  (UnpackField<Fields, I>(entry, record), ...);
}

// Every byte of the entry is written: each byte's first row sets it whole.
template <const auto& Fields, typename Record>
void PackEntry(const Record& record, std::span<uint8_t> bytes) {
  PackFields<Fields>(record, bytes, std::make_index_sequence<Fields.size()>());
}

template <const auto& Fields, typename Record>
void UnpackEntry(std::span<const uint8_t> bytes, Record& record) {
  UnpackFields<Fields>(bytes, record, std::make_index_sequence<Fields.size()>());
}

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
  PackEntry<kMsFields>(record, bytes);
}

void UnpackMsEntry(std::span<const uint8_t, kRomMsEntrySize> bytes, MsRecord& record) {
  UnpackEntry<kMsFields>(bytes, record);
}

void PackShipEntry(const ShipRecord& record, std::span<uint8_t, kRomShipEntrySize> bytes) {
  PackEntry<kShipFields>(record, bytes);
}

void UnpackShipEntry(std::span<const uint8_t, kRomShipEntrySize> bytes, ShipRecord& record) {
  UnpackEntry<kShipFields>(bytes, record);
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

namespace {

constexpr int kMoveTypeByte = 9;
constexpr int kRangeByte = 11;
constexpr uint8_t kPresenceBit = 0x80;

// The move types the list has items for: 0..15, and 18 for the seventeenth.
bool IsListedMoveType(uint8_t moveType) { return MoveTypeItemOf(moveType) >= 0; }

}  // namespace

int CountImplausibleEntries(const RomBuffers& tables) {
  int implausible = 0;
  for (int k = 0; k < kRomMsEntryCount; ++k) {
    const uint8_t* entry = tables.ms.data() + static_cast<size_t>(k) * kRomMsEntrySize;
    bool odd = !IsListedMoveType(entry[kMoveTypeByte]);
    const uint8_t range = entry[kRangeByte];
    odd = odd || ((range & kPresenceBit) != 0) != ((range & 0x7F) != 0);
    for (const WeaponSlotBytes& slot : kMsWeaponSlotBytes) {
      odd = odd || entry[slot.weaponId] > kWeaponCount;
    }
    implausible += odd ? 1 : 0;
  }
  for (int n = 0; n < kRomShipEntryCount; ++n) {
    const uint8_t* entry = tables.ship.data() + static_cast<size_t>(n) * kRomShipEntrySize;
    const bool odd =
        !IsListedMoveType(entry[kMoveTypeByte]) || (entry[kRangeByte] & kPresenceBit) != 0;
    implausible += odd ? 1 : 0;
  }
  return implausible;
}

}  // namespace varsk
