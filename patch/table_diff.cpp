#include "patch/table_diff.h"

#include <algorithm>
#include <array>

#include "patch/byte_compare.h"

namespace varsk {

namespace {

template <typename Record>
struct NamedField {
  const char* name;
  int32_t Record::*member;
};

constexpr std::array<NamedField<MsRecord>, 21> kMsFields{{
    {"cost", &MsRecord::cost},
    {"hp", &MsRecord::hp},
    {"en", &MsRecord::en},
    {"terrainFlags", &MsRecord::terrainFlags},
    {"moveType", &MsRecord::moveType},
    {"move", &MsRecord::move},
    {"factionFlags", &MsRecord::factionFlags},
    {"factoryFlags", &MsRecord::factoryFlags},
    {"ace", &MsRecord::ace},
    {"baseDamage", &MsRecord::baseDamage},
    {"tech", &MsRecord::tech},
    {"productTurn", &MsRecord::productTurn},
    {"supportTurn", &MsRecord::supportTurn},
    {"sPoint", &MsRecord::sPoint},
    {"armor", &MsRecord::armor},
    {"shipDamage", &MsRecord::shipDamage},
    {"artillery", &MsRecord::artillery},
    {"artilleryRange", &MsRecord::artilleryRange},
    {"areaDamage", &MsRecord::areaDamage},
    {"areaRange", &MsRecord::areaRange},
    {"speed", &MsRecord::speed},
}};

constexpr std::array<NamedField<ShipRecord>, 21> kShipFields{{
    {"cost", &ShipRecord::cost},
    {"hp", &ShipRecord::hp},
    {"en", &ShipRecord::en},
    {"terrainFlags", &ShipRecord::terrainFlags},
    {"moveType", &ShipRecord::moveType},
    {"move", &ShipRecord::move},
    {"factionFlags", &ShipRecord::factionFlags},
    {"factoryFlags", &ShipRecord::factoryFlags},
    {"space", &ShipRecord::space},
    {"tech", &ShipRecord::tech},
    {"productTurn", &ShipRecord::productTurn},
    {"supportTurn", &ShipRecord::supportTurn},
    {"sPoint", &ShipRecord::sPoint},
    {"sPointShip", &ShipRecord::sPointShip},
    {"armor", &ShipRecord::armor},
    {"defense", &ShipRecord::defense},
    {"artillery", &ShipRecord::artillery},
    {"artilleryRange", &ShipRecord::artilleryRange},
    {"areaDamage", &ShipRecord::areaDamage},
    {"areaRange", &ShipRecord::areaRange},
    {"speed", &ShipRecord::speed},
}};

template <typename Record, size_t N>
constexpr std::array<const char*, N> NamesOf(const std::array<NamedField<Record>, N>& fields) {
  std::array<const char*, N> names{};
  for (size_t i = 0; i < N; ++i) names[i] = fields[i].name;
  return names;
}

constexpr auto kMsFieldNames = NamesOf(kMsFields);
constexpr auto kShipFieldNames = NamesOf(kShipFields);

template <typename Record, size_t N, size_t RawCount>
void DiffRecord(int entryIndex, EntryKind kind, const std::array<NamedField<Record>, N>& fields,
                const Record& a, const Record& b, std::vector<FieldChange>& changes) {
  auto note = [&](std::string field, int64_t oldValue, int64_t newValue) {
    if (oldValue != newValue) {
      changes.push_back({entryIndex, kind, std::move(field), oldValue, newValue});
    }
  };
  for (const auto& field : fields) note(field.name, a.*field.member, b.*field.member);
  for (size_t i = 0; i < RawCount; ++i) {
    note("rawBytes[" + std::to_string(i) + "]", a.rawBytes[i], b.rawBytes[i]);
  }
}

void DiffWeapons(int entryIndex, const MsRecord& a, const MsRecord& b,
                 std::vector<FieldChange>& changes) {
  for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
    const WeaponSlot& wa = a.weapons[slot];
    const WeaponSlot& wb = b.weapons[slot];
    const std::string prefix = "weapons[" + std::to_string(slot) + "].";
    auto note = [&](const char* name, int32_t oldValue, int32_t newValue) {
      if (oldValue != newValue) {
        changes.push_back({entryIndex, EntryKind::Ms, prefix + name, oldValue, newValue});
      }
    };
    note("weaponId", wa.weaponId, wb.weaponId);
    note("damage", wa.damage, wb.damage);
    note("ammo", wa.ammo, wb.ammo);
  }
}

// Bytes of one packed entry that differ between a and b although their
// repacked forms (which only the fields decide) agree.
template <size_t Size>
int64_t UnseenBytes(std::span<const uint8_t, Size> a, std::span<const uint8_t, Size> b,
                    std::span<const uint8_t, Size> repackedA,
                    std::span<const uint8_t, Size> repackedB) {
  int64_t count = 0;
  for (size_t i = 0; i < Size; ++i) {
    if (a[i] != b[i] && repackedA[i] == repackedB[i]) ++count;
  }
  return count;
}

}  // namespace

std::span<const char* const> MsFieldNames() { return kMsFieldNames; }
std::span<const char* const> ShipFieldNames() { return kShipFieldNames; }

UnitTableDiff DiffUnitTables(const DataSet& base, const RomBuffers& a, const RomBuffers& b) {
  UnitTableDiff diff;
  for (int k = 1; k <= kRomMsEntryCount; ++k) {
    const size_t at = static_cast<size_t>(k - 1) * kRomMsEntrySize;
    const std::span<const uint8_t, kRomMsEntrySize> bytesA(a.ms.data() + at, kRomMsEntrySize);
    const std::span<const uint8_t, kRomMsEntrySize> bytesB(b.ms.data() + at, kRomMsEntrySize);
    MsRecord recordA = *base.MsSlot(k);
    MsRecord recordB = recordA;
    UnpackMsEntry(bytesA, recordA);
    UnpackMsEntry(bytesB, recordB);
    DiffRecord<MsRecord, kMsFields.size(), 4>(k, EntryKind::Ms, kMsFields, recordA, recordB,
                                              diff.changes);
    DiffWeapons(k, recordA, recordB, diff.changes);
    std::array<uint8_t, kRomMsEntrySize> repackedA{};
    std::array<uint8_t, kRomMsEntrySize> repackedB{};
    PackMsEntry(recordA, repackedA);
    PackMsEntry(recordB, repackedB);
    diff.unseenTableBytes += UnseenBytes<kRomMsEntrySize>(bytesA, bytesB, repackedA, repackedB);
  }
  for (int n = 1; n <= kRomShipEntryCount; ++n) {
    const size_t at = static_cast<size_t>(n - 1) * kRomShipEntrySize;
    const std::span<const uint8_t, kRomShipEntrySize> bytesA(a.ship.data() + at, kRomShipEntrySize);
    const std::span<const uint8_t, kRomShipEntrySize> bytesB(b.ship.data() + at, kRomShipEntrySize);
    ShipRecord recordA = *base.ShipSlot(n);
    ShipRecord recordB = recordA;
    UnpackShipEntry(bytesA, recordA);
    UnpackShipEntry(bytesB, recordB);
    DiffRecord<ShipRecord, kShipFields.size(), 3>(kRomMsEntryCount + n, EntryKind::Ship,
                                                  kShipFields, recordA, recordB, diff.changes);
    std::array<uint8_t, kRomShipEntrySize> repackedA{};
    std::array<uint8_t, kRomShipEntrySize> repackedB{};
    PackShipEntry(recordA, repackedA);
    PackShipEntry(recordB, repackedB);
    diff.unseenTableBytes += UnseenBytes<kRomShipEntrySize>(bytesA, bytesB, repackedA, repackedB);
  }
  return diff;
}

namespace {

int64_t CountDifferingIn(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t begin,
                         size_t end) {
  return begin < end ? CountDifferences(a, b, begin, end) : 0;
}

}  // namespace

int64_t CountDifferingBytes(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  const size_t common = std::min(a.size(), b.size());
  return CountDifferingIn(a, b, 0, common) +
         static_cast<int64_t>(std::max(a.size(), b.size()) - common);
}

int64_t CountDifferencesOutsideTables(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  const size_t common = std::min(a.size(), b.size());
  const size_t tablesBegin = std::min<size_t>(kMsTableOffset, common);
  const size_t tablesEnd = std::min<size_t>(kRomTablesEnd, common);
  const int64_t onlyInLonger = static_cast<int64_t>(std::max(a.size(), b.size()) - common);
  // Every byte that only the longer file has counts as a difference.
  return CountDifferingIn(a, b, 0, tablesBegin) + CountDifferingIn(a, b, tablesEnd, common) +
         onlyInLonger;
}

}  // namespace varsk
