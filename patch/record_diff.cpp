#include "patch/record_diff.h"

#include <algorithm>
#include <functional>
#include <map>

#include "data/record_text.h"

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

// The new values of one entry, in the order of its kind's rows.
struct EntryEdits {
  EntryKind kind = EntryKind::None;
  std::vector<std::pair<const EntryField*, int64_t>> values;
};

std::map<int, EntryEdits> ByEntry(std::span<const FieldChange> changes) {
  std::map<int, EntryEdits> entries;
  for (const FieldChange& change : changes) {
    EntryEdits& edits = entries[change.entryIndex];
    edits.kind = change.kind;
    auto known = std::find_if(edits.values.begin(), edits.values.end(),
                              [&](const auto& value) { return value.first == change.field; });
    if (known != edits.values.end()) {
      known->second = change.newValue;
    } else {
      edits.values.emplace_back(change.field, change.newValue);
    }
  }
  for (auto& [entryIndex, edits] : entries) {
    std::sort(edits.values.begin(), edits.values.end(), [](const auto& a, const auto& b) {
      return std::less<const EntryField*>()(a.first, b.first);
    });
  }
  return entries;
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

std::string EditsCsv(std::span<const FieldChange> changes) {
  const std::map<int, EntryEdits> entries = ByEntry(changes);
  // The dump's columns that some entry changes.
  std::vector<const char*> columns;
  for (const char* column : FieldColumns()) {
    const bool changed = std::any_of(changes.begin(), changes.end(), [&](const FieldChange& c) {
      return std::string_view(c.field->name) == column;
    });
    if (changed) columns.push_back(column);
  }
  std::string text = std::string(kEntryIndexKey) + ',' + kKindKey;
  for (const char* column : columns) text += std::string(",") + column;
  text += "\r\n";
  for (const auto& [entryIndex, edits] : entries) {
    text += std::to_string(entryIndex) + "," + EntryKindName(edits.kind);
    for (const char* column : columns) {
      text += ',';
      for (const auto& [field, value] : edits.values) {
        if (std::string_view(field->name) == column) text += FieldValueText(*field, value);
      }
    }
    text += "\r\n";
  }
  return text;
}

std::string EditsJson(std::span<const FieldChange> changes) {
  std::string text = std::string("{\"") + kEntriesKey + "\": [";
  bool firstEntry = true;
  for (const auto& [entryIndex, edits] : ByEntry(changes)) {
    text += firstEntry ? "\n" : ",\n";
    firstEntry = false;
    text += std::string("  {\"") + kEntryIndexKey + "\": " + std::to_string(entryIndex) + ", \"" +
            kKindKey + "\": \"" + EntryKindName(edits.kind) + "\"";
    std::string weapons;
    int openSlot = -1;
    for (const auto& [field, value] : edits.values) {
      const std::string item =
          "\"" + std::string(field->key) + "\": " + FieldValueJson(*field, value);
      if (field->weaponSlot < 0) {
        text += ", " + item;
      } else if (field->weaponSlot == openSlot) {
        weapons += ", " + item;
      } else {
        weapons += std::string(weapons.empty() ? "{\"" : "}, {\"") + kSlotKey +
                   "\": " + std::to_string(field->weaponSlot) + ", " + item;
        openSlot = field->weaponSlot;
      }
    }
    if (!weapons.empty()) text += std::string(", \"") + kWeaponsKey + "\": [" + weapons + "}]";
    text += "}";
  }
  return text + (firstEntry ? "]}\n" : "\n]}\n");
}

}  // namespace varsk
