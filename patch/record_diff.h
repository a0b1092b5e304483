// The values that differ between two sets of records, each with its row of
// the table of entry fields (its name and text form).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/data_set.h"
#include "data/entry_fields.h"

namespace varsk {

// One value of an entry that differs.
struct FieldChange {
  int entryIndex = 0;  // 1..229
  EntryKind kind = EntryKind::None;
  const EntryField* field = nullptr;  // its row: name ("hp", "w2.ammo", "rawBytes") and text form
  int64_t oldValue = 0;
  int64_t newValue = 0;
};

// Appends the values that differ between two records of entry `entryIndex`,
// every field of the kind's table in the dump's order.
void DiffRecord(int entryIndex, const MsRecord& before, const MsRecord& after,
                std::vector<FieldChange>& changes);
void DiffRecord(int entryIndex, const ShipRecord& before, const ShipRecord& after,
                std::vector<FieldChange>& changes);

// The changes of every entry 1..229 that both sets hold as the same kind (by
// msCount and shipCount), in entry order, then in the dump's field order.
std::vector<FieldChange> DiffRecords(const DataSet& before, const DataSet& after);

}  // namespace varsk
