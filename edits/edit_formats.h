// The two formats of an edit file, CSV and JSON, each written and read by its
// own file; edit_file.cpp chooses between them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_set.h"
#include "data/entry_fields.h"
#include "edits/edit_applier.h"
#include "edits/edit_file.h"
#include "edits/edit_keys.h"

namespace varsk {

// What an edit file holds for one entry: its number and kind, and a value for
// each row of the kind's table of entry fields that it gives. The dump gives
// every value of the entry's record; the diff's edits give the new values of
// the rows that changed.
struct EditEntry {
  int entryIndex = 0;
  EntryKind kind = EntryKind::None;
  const MsRecord* ms = nullptr;  // the record of the dump's entry
  const ShipRecord* ship = nullptr;
  std::vector<std::optional<int64_t>> newValues;  // else, by row position

  // The value given for `row`, a row of the kind's table, if any.
  std::optional<int64_t> Value(const EntryField& row) const;
};

// The dump gives every value of every entry, with the names, every CSV column
// and one JSON value a line; the diff's edits give the values that changed,
// only the CSV columns they use and one JSON entry a line, each weapon slot
// with its "slot" key.
enum class EditLayout { Dump, Changes };

// The columns an edit file shows besides entryIndex: every one, or those of
// a dump's choice (DumpChoice::columns).
class ColumnChoice {
 public:
  ColumnChoice() = default;
  explicit ColumnChoice(std::span<const std::string> columns)
      : all_(columns.empty()), columns_(columns) {}
  bool Shows(std::string_view column) const {
    if (all_) return true;
    for (const std::string& shown : columns_) {
      if (shown == column) return true;
    }
    return false;
  }
  bool All() const { return all_; }

 private:
  bool all_ = true;
  std::span<const std::string> columns_;
};

// `entries` in entry order; `names` and `columns` only for the dump.
std::string WriteCsvEdits(std::span<const EditEntry> entries, EditLayout layout,
                          const EntryNameOf& names, const ColumnChoice& columns = {});
std::string WriteJsonEdits(std::span<const EditEntry> entries, EditLayout layout,
                           const EntryNameOf& names, const ColumnChoice& columns = {});
// The dump's column nearest to an unknown one ("Cost" -> "cost"), or "".
std::string_view NearestColumn(std::string_view name);
// Whether `name` is a column of the dump.
bool IsDumpColumn(std::string_view name);

// The CSV edit file: a header of dump columns (entryIndex required), then one
// row per entry; an empty cell changes nothing. Tab-separated text (cells
// copied from a spreadsheet) is read alike, told apart by its header line.
void ReadCsvEdits(std::string_view text, const std::string& source, EditApplier& applier);
// The pasted cells of edit_file.h, in the CSV room: they share its columns.
void ApplyCellEdits(std::span<const CellEdit> cells, EditApplier& applier);
// The JSON edit file: {"entries": [...]} or the array alone; a null changes nothing.
void ReadJsonEdits(std::string_view text, const std::string& source, EditApplier& applier);

}  // namespace varsk
