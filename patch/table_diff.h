// Field-level differences between the unit tables of two ROMs, and the count
// of bytes in which the files differ elsewhere.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "data/data_set.h"
#include "data/rom_tables.h"
#include "patch/record_diff.h"

namespace varsk {

struct UnitTableDiff {
  std::vector<FieldChange> changes;  // in entry order, then field order
  // Table bytes that differ although no field does (bits and codings that
  // unpacking ignores, such as an ammunition byte of 0 against 255).
  int64_t unseenTableBytes = 0;
};

// Unpacks both tables over copies of the records of `base` (MS slots 1..191,
// ship slots 1..38), as Load ROM would, and lists every value that differs
// (DiffRecord).
UnitTableDiff DiffUnitTables(const DataSet& base, const RomBuffers& a, const RomBuffers& b);

// Bytes at which two files differ outside the two tables (offsets 4194762 up
// to 4205224): differing bytes in their common length, plus every byte that
// only the longer file has.
int64_t CountDifferencesOutsideTables(std::span<const uint8_t> a, std::span<const uint8_t> b);

// Bytes at which two files differ: in their common length, plus every byte
// that only the longer file has.
int64_t CountDifferingBytes(std::span<const uint8_t> a, std::span<const uint8_t> b);

}  // namespace varsk
