#include "edits/edit_file.h"

#include <algorithm>
#include <map>
#include <vector>

#include "base/file_io.h"
#include "base/messages.h"
#include "data/entry_fields.h"
#include "edits/csv_text.h"
#include "edits/edit_formats.h"

namespace varsk {

std::optional<int64_t> EditEntry::Value(const EntryField& row) const {
  if (ms != nullptr) return FieldValue(*ms, row);
  if (ship != nullptr) return FieldValue(*ship, row);
  return newValues[static_cast<size_t>(&row - EntryFields(kind).data())];
}

namespace {

// Every value of entries 1..229 that meet `filter`, read straight from their records.
std::vector<EditEntry> EntriesOfRecords(const DataSet& dataSet, const EntryFilter& filter,
                                        const EntryNameOf& names) {
  std::vector<EditEntry> entries;
  entries.reserve(kEntryListCount);
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(dataSet, entry);
    if (kind == EntryKind::None) continue;
    if (!filter.Empty() && !EntryMeets(filter, dataSet, entry, names)) continue;
    entries.push_back(
        EditEntry{entry, kind, MsOfEntry(dataSet, entry), ShipOfEntry(dataSet, entry), {}});
  }
  return entries;
}

// The new values of `changes` (as DiffRecords makes them), by entry.
std::vector<EditEntry> EntriesOfChanges(std::span<const FieldChange> changes) {
  std::map<int, EditEntry> byEntry;
  for (const FieldChange& change : changes) {
    const std::span<const EntryField> rows = EntryFields(change.kind);
    EditEntry& edit = byEntry[change.entryIndex];
    if (edit.newValues.empty()) edit = EditEntry{change.entryIndex, change.kind, {}, {}, {}};
    edit.newValues.resize(rows.size());
    edit.newValues[static_cast<size_t>(change.field - rows.data())] = change.newValue;
  }
  std::vector<EditEntry> entries;
  for (auto& [entryIndex, edit] : byEntry) entries.push_back(std::move(edit));
  return entries;
}

bool LooksLikeJson(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && (text[first] == '{' || text[first] == '[');
}

}  // namespace

std::vector<std::string> ParseDumpColumns(std::string_view list) {
  std::vector<std::string> columns;
  size_t pos = 0;
  for (;;) {
    const size_t comma = std::min(list.find(',', pos), list.size());
    const std::string_view name = list.substr(pos, comma - pos);
    if (!IsDumpColumn(name)) {
      throw VarskError(UnknownColumnText(name, NearestColumn(name)));
    }
    columns.emplace_back(name);
    if (comma == list.size()) return columns;
    pos = comma + 1;
  }
}

std::string DumpJson(const DataSet& dataSet, const EntryNameOf& names, const DumpChoice& choice) {
  return WriteJsonEdits(EntriesOfRecords(dataSet, choice.filter, names), EditLayout::Dump, names,
                        ColumnChoice(choice.columns));
}

std::string DumpCsv(const DataSet& dataSet, const EntryNameOf& names, const DumpChoice& choice) {
  return WriteCsvEdits(EntriesOfRecords(dataSet, choice.filter, names), EditLayout::Dump, names,
                       ColumnChoice(choice.columns));
}

std::string EditsCsv(std::span<const FieldChange> changes) {
  return WriteCsvEdits(EntriesOfChanges(changes), EditLayout::Changes, {});
}

std::string EditsJson(std::span<const FieldChange> changes) {
  return WriteJsonEdits(EntriesOfChanges(changes), EditLayout::Changes, {});
}

void ApplyEdits(std::string_view text, const std::string& source, const EntryNameOf& names,
                DataSet& dataSet) {
  EditApplier applier(source, names, dataSet);
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  if (text.find_first_not_of(" \t\n\v\f\r") == std::string_view::npos) {
    throw VarskError(EditFileEmptyMessage(source));
  }
  if (LooksLikeJson(text)) {
    ReadJsonEdits(text, source, applier);
  } else {
    ReadCsvEdits(text, source, applier);
  }
}

std::vector<std::vector<std::string>> PastedRows(std::string_view text) {
  if (text.size() > kEditsFileSizeLimit) {
    throw VarskError(PasteTooLargeMessage(text.size(), kEditsFileSizeLimit));
  }
  const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
  if (text.find('\t') == std::string_view::npos && firstLine.find(',') != std::string_view::npos) {
    throw VarskError(PasteCommaSeparatedMessage());
  }
  std::vector<std::vector<std::string>> rows;
  for (CsvRow& row : ParseCsv(text, kPastedCellsSource, '\t'))
    rows.push_back(std::move(row.fields));
  if (rows.empty()) throw VarskError(PasteNothingMessage());
  return rows;
}

void ApplyCellEdits(std::span<const CellEdit> cells, const EntryNameOf& names, DataSet& dataSet) {
  EditApplier applier(kPastedCellsSource, names, dataSet);
  ApplyCellEdits(cells, applier);
}

}  // namespace varsk
