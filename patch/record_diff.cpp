#include "patch/record_diff.h"

namespace varsk {

namespace {

template <typename Record>
void DiffFields(int entryIndex, EntryKind kind, const Record& before, const Record& after,
                std::vector<FieldChange>& changes) {
  for (const EntryField& field : EntryFields(kind)) {
    const int64_t oldValue = FieldValue(before, field);
    const int64_t newValue = FieldValue(after, field);
    if (oldValue != newValue) changes.push_back({entryIndex, kind, &field, oldValue, newValue});
  }
}

}  // namespace

void DiffRecord(int entryIndex, const MsRecord& before, const MsRecord& after,
                std::vector<FieldChange>& changes) {
  DiffFields(entryIndex, EntryKind::Ms, before, after, changes);
}

void DiffRecord(int entryIndex, const ShipRecord& before, const ShipRecord& after,
                std::vector<FieldChange>& changes) {
  DiffFields(entryIndex, EntryKind::Ship, before, after, changes);
}

std::vector<FieldChange> DiffRecords(const DataSet& before, const DataSet& after) {
  std::vector<FieldChange> changes;
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(after, entry);
    if (kind != KindOfEntry(before, entry)) continue;
    if (kind == EntryKind::Ms) {
      DiffRecord(entry, *MsOfEntry(before, entry), *MsOfEntry(after, entry), changes);
    } else if (kind == EntryKind::Ship) {
      DiffRecord(entry, *ShipOfEntry(before, entry), *ShipOfEntry(after, entry), changes);
    }
  }
  return changes;
}

}  // namespace varsk
