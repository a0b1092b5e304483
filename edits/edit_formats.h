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
#include "edits/edit_applier.h"
#include "edits/edit_file.h"

namespace varsk {

// What an edit file holds for one entry: its number and kind, and the values
// it gives, by the position of their row in the kind's table of entry fields
// (nullopt: a value the file leaves out).
struct EditEntry {
  int entryIndex = 0;
  EntryKind kind = EntryKind::None;
  std::vector<std::optional<int64_t>> values;
};

// The dump gives every value of every entry, with the names, every CSV column
// and one JSON value a line; the diff's edits give the values that changed,
// only the CSV columns they use and one JSON entry a line, each weapon slot
// with its "slot" key.
enum class EditLayout { Dump, Changes };

// `entries` in entry order; `names` only for the dump.
std::string WriteCsvEdits(std::span<const EditEntry> entries, EditLayout layout,
                          const EntryNameOf& names);
std::string WriteJsonEdits(std::span<const EditEntry> entries, EditLayout layout,
                           const EntryNameOf& names);

// The CSV edit file: a header of dump columns (entryIndex required), then one
// row per entry; an empty cell changes nothing.
void ReadCsvEdits(std::string_view text, const std::string& source, EditApplier& applier);
// The JSON edit file: {"entries": [...]} or the array alone; a null changes nothing.
void ReadJsonEdits(std::string_view text, const std::string& source, EditApplier& applier);

}  // namespace varsk
