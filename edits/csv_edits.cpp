// The CSV edit file (RFC 4180, UTF-8): a header row of column names, then one
// row per entry. Written and read by one description of the columns.
#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <vector>

#include "base/messages.h"
#include "base/nearest_name.h"
#include "base/text_to_number.h"
#include "data/entry_fields.h"
#include "edits/csv_text.h"
#include "edits/edit_formats.h"
#include "edits/edit_keys.h"

namespace varsk {

namespace {

std::string_view Trimmed(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t\r\n\v\f");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t\r\n\v\f") - begin + 1);
}

// The role of one CSV column.
struct CsvColumn {
  enum class Role { EntryIndex, Kind, Name, Field } role;
  int nameKey = 0;                          // for names
  std::array<const EntryField*, 2> rows{};  // for fields: the MS row, the ship row
  std::string name;
};

std::optional<CsvColumn> CsvColumnOf(std::string_view header) {
  using Role = CsvColumn::Role;
  const std::string name(header);
  if (header == kEntryIndexKey) return CsvColumn{Role::EntryIndex, 0, {}, name};
  if (header == kKindKey) return CsvColumn{Role::Kind, 0, {}, name};
  if (const int nameKey = NameKeyIndex(header); nameKey >= 0) {
    return CsvColumn{Role::Name, nameKey, {}, name};
  }
  const std::array<const EntryField*, 2> rows = {FindEntryField(EntryKind::Ms, header),
                                                 FindEntryField(EntryKind::Ship, header)};
  if (rows[0] == nullptr && rows[1] == nullptr) return std::nullopt;
  return CsvColumn{Role::Field, 0, rows, name};
}

// A value that an entry gives for a field column: the column's row in the
// entry's kind, and the value.
struct GivenValue {
  const EntryField* field;
  int64_t value;
};

// Nullopt when the entry's kind lacks the field or the entry leaves it out.
std::optional<GivenValue> GivenValueOf(const EditEntry& entry, const CsvColumn& column) {
  const EntryField* row = column.rows[entry.kind == EntryKind::Ship];
  if (row == nullptr) return std::nullopt;
  const std::optional<int64_t> value = entry.Value(*row);
  if (!value) return std::nullopt;
  return GivenValue{row, *value};
}

// Applies one non-empty cell of an entry's row: a kind or name must repeat the
// entry's, a field value must fit.
void ApplyCell(EditApplier& applier, const CsvColumn& column, const std::string& cell) {
  switch (column.role) {
    case CsvColumn::Role::EntryIndex:
      break;
    case CsvColumn::Role::Kind:
      applier.CheckKind(Trimmed(cell));
      break;
    case CsvColumn::Role::Name:
      applier.CheckName(column.nameKey, cell);
      break;
    case CsvColumn::Role::Field: {
      const EntryField* field = column.rows[applier.Kind() == EntryKind::Ship];
      if (field == nullptr) applier.NoSuchField(column.name);
      applier.SetValue(*field, EditValue{cell, FieldValueFromText(*field, cell)});
      break;
    }
  }
}

}  // namespace

std::string_view NearestColumn(std::string_view name) {
  std::vector<std::string_view> known{kEntryIndexKey, kKindKey};
  known.insert(known.end(), kNameKeys.begin(), kNameKeys.end());
  for (const char* column : FieldColumns()) known.emplace_back(column);
  return NearestName(name, known).value_or(std::string_view());
}

bool IsDumpColumn(std::string_view name) { return CsvColumnOf(name).has_value(); }

std::string WriteCsvEdits(std::span<const EditEntry> entries, EditLayout layout,
                          const EntryNameOf& names, const ColumnChoice& columns) {
  const bool dump = layout == EditLayout::Dump;
  const bool kind = columns.Shows(kKindKey);
  std::array<bool, kNameKeys.size()> nameShown{};
  for (size_t i = 0; i < kNameKeys.size(); ++i) nameShown[i] = dump && columns.Shows(kNameKeys[i]);
  std::vector<CsvColumn> fields;
  for (const char* name : FieldColumns()) {
    if (!columns.Shows(name)) continue;
    const CsvColumn column = *CsvColumnOf(name);
    // The diff's edits leave out the columns that no entry gives.
    if (dump || std::any_of(entries.begin(), entries.end(), [&](const EditEntry& entry) {
          return GivenValueOf(entry, column).has_value();
        })) {
      fields.push_back(column);
    }
  }

  // RFC 4180: CRLF between records.
  std::string out;
  if (dump) out.reserve(128 * 1024);
  out += kEntryIndexKey;
  if (kind) out += std::string(",") + kKindKey;
  for (size_t i = 0; i < kNameKeys.size(); ++i) {
    if (nameShown[i]) out += std::string(",") + kNameKeys[i];
  }
  for (const CsvColumn& column : fields) out += ',' + column.name;
  out += "\r\n";
  for (const EditEntry& entry : entries) {
    out += std::to_string(entry.entryIndex);
    if (kind) {
      out += ',';
      out += EntryKindName(entry.kind);
    }
    for (size_t i = 0; i < kNameKeys.size(); ++i) {
      if (!nameShown[i]) continue;
      out += ',';
      if (names) out += CsvField(names(entry.entryIndex, kNameKeyLanguages[i]));
    }
    for (const CsvColumn& column : fields) {
      out += ',';
      if (const std::optional<GivenValue> given = GivenValueOf(entry, column)) {
        out += FieldValueText(*given->field, given->value);
      }
    }
    out += "\r\n";
  }
  return out;
}

bool IsEditHeader(std::span<const std::string> cells) {
  bool entryIndex = false;
  for (const std::string& cell : cells) {
    const std::optional<CsvColumn> column = CsvColumnOf(Trimmed(cell));
    if (!column) return false;
    entryIndex = entryIndex || column->role == CsvColumn::Role::EntryIndex;
  }
  return entryIndex;
}

void ApplyCellEdits(std::span<const CellEdit> cells, EditApplier& applier) {
  // Each entry once, in the order of its first cell, with its cells in the
  // order given; each column name looked up once.
  std::vector<int> entries;
  std::map<int, std::vector<const CellEdit*>> cellsOf;
  std::map<std::string, std::optional<CsvColumn>, std::less<>> columns;
  for (const CellEdit& cell : cells) {
    std::vector<const CellEdit*>& ofEntry = cellsOf[cell.entryIndex];
    if (ofEntry.empty()) entries.push_back(cell.entryIndex);
    ofEntry.push_back(&cell);
    if (!columns.contains(cell.column)) columns.emplace(cell.column, CsvColumnOf(cell.column));
  }
  for (const int entry : entries) {
    bool begun = false;
    for (const CellEdit* cell : cellsOf[entry]) {
      const std::string place = cell->blockRow < 0
                                    ? std::string(kEditedCellSource)
                                    : PastedCellPlace(cell->blockRow + 1, cell->blockColumn + 1);
      if (!begun) {
        applier.SetPlace(place);
        applier.BeginEntry(EditValue{std::to_string(entry), entry});
        begun = true;
      }
      applier.SetValuePlace(place);
      if (Trimmed(cell->text).empty()) continue;  // an empty cell changes nothing
      const std::optional<CsvColumn>& column = columns.find(cell->column)->second;
      if (!column) {
        applier.Problem(cell->column, UnknownColumnText(cell->column, NearestColumn(cell->column)));
      }
      if (column->role == CsvColumn::Role::EntryIndex &&
          TryParseInteger(Trimmed(cell->text)) != entry) {
        applier.Problem(kEntryIndexKey, NumberIsTheRowText(cell->text));
      }
      ApplyCell(applier, *column, cell->text);
    }
  }
}

void ReadCsvEdits(std::string_view text, const std::string& source, EditApplier& applier) {
  const std::vector<CsvRow> rows = ParseCsv(text, source, CsvSeparatorOf(text));
  if (rows.empty()) throw VarskError(EditFileEmptyMessage(source));
  const CsvRow& header = rows.front();
  if (header.fields.size() == 1 && header.fields.front().find(';') != std::string::npos) {
    throw VarskError(CsvErrorMessage(source, header.line, SemicolonHeaderText()));
  }
  std::vector<CsvColumn> columns;
  size_t entryColumn = header.fields.size();
  for (const std::string& field : header.fields) {
    const std::string_view name = Trimmed(field);
    const std::optional<CsvColumn> column = CsvColumnOf(name);
    if (!column) {
      throw VarskError(
          CsvErrorMessage(source, header.line, UnknownColumnText(name, NearestColumn(name))));
    }
    for (const CsvColumn& earlier : columns) {
      if (earlier.name == name) {
        throw VarskError(CsvErrorMessage(source, header.line, DuplicateColumnText(name)));
      }
    }
    if (column->role == CsvColumn::Role::EntryIndex) entryColumn = columns.size();
    columns.push_back(*column);
  }
  if (entryColumn == header.fields.size()) {
    throw VarskError(CsvErrorMessage(source, header.line, MissingEntryColumnText()));
  }

  for (size_t r = 1; r < rows.size(); ++r) {
    const CsvRow& row = rows[r];
    applier.SetPlace(CsvPlace(source, row.line));
    if (row.fields.size() != columns.size()) {
      throw VarskError(
          CsvErrorMessage(source, row.line, FieldCountText(row.fields.size(), columns.size())));
    }
    const std::string& entryCell = row.fields[entryColumn];
    applier.BeginEntry(EditValue{entryCell, TryParseInteger(entryCell)});
    for (size_t c = 0; c < columns.size(); ++c) {
      const CsvColumn& column = columns[c];
      const std::string& cell = row.fields[c];
      // An empty cell changes nothing.
      if (Trimmed(cell).empty()) continue;
      ApplyCell(applier, column, cell);
    }
  }
}

}  // namespace varsk
