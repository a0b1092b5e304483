// Field-level differences between the unit tables of two ROMs, and the count
// of bytes in which the files differ elsewhere.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "data/data_set.h"
#include "data/rom_tables.h"

namespace varsk {

struct FieldChange {
  int entryIndex = 0;              // 1..229
  EntryKind kind = EntryKind::Ms;  // Ms for 1..191, Ship for 192..229
  std::string field;               // "hp", "rawBytes[1]", "weapons[2].ammo"
  int64_t oldValue = 0;
  int64_t newValue = 0;
};

struct UnitTableDiff {
  std::vector<FieldChange> changes;  // in entry order, then field order
  // Table bytes that differ although no field does (bits and codings that
  // unpacking ignores, such as an ammunition byte of 0 against 255).
  int64_t unseenTableBytes = 0;
};

// The MS field names in the order the tools list them ("cost", "hp", ...).
std::span<const char* const> MsFieldNames();
// The ship field names in the order the tools list them.
std::span<const char* const> ShipFieldNames();

// Unpacks both tables over copies of the records of `base` (MS slots 1..191,
// ship slots 1..38), as Load ROM would, and lists every field that differs:
// the named fields, rawBytes[i], and for MS entries weapons[s].weaponId,
// .damage and .ammo for slots 0..7.
UnitTableDiff DiffUnitTables(const DataSet& base, const RomBuffers& a, const RomBuffers& b);

// Bytes at which two files differ outside the two tables (offsets 4194762 up
// to 4205224): differing bytes in their common length, plus every byte that
// only the longer file has.
int64_t CountDifferencesOutsideTables(std::span<const uint8_t> a, std::span<const uint8_t> b);

// Bytes at which two files differ: in their common length, plus every byte
// that only the longer file has.
int64_t CountDifferingBytes(std::span<const uint8_t> a, std::span<const uint8_t> b);

}  // namespace varsk
