#include "data/record_text.h"

#include <utility>
#include <vector>

#include "base/messages.h"
#include "base/text_to_number.h"
#include "data/csv_text.h"

namespace varsk {

int NameKeyIndex(std::string_view key) {
  for (size_t i = 0; i < kNameKeys.size(); ++i) {
    if (key == kNameKeys[i]) return static_cast<int>(i);
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Dumps

namespace {

void AppendJsonString(std::string& out, std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += c;
    }
  }
  out += '"';
}

// The field values of one entry (whose kind is not None), read straight from its record.
class EntryValues {
 public:
  EntryValues(const DataSet& dataSet, int entry)
      : ms_(MsOfEntry(dataSet, entry)), ship_(ShipOfEntry(dataSet, entry)) {}
  int64_t operator()(const EntryField& field) const {
    return ms_ != nullptr ? FieldValue(*ms_, field) : FieldValue(*ship_, field);
  }

 private:
  const MsRecord* ms_;
  const ShipRecord* ship_;
};

}  // namespace

std::string DumpJson(const DataSet& dataSet, const EntryNameOf& names) {
  std::string out;
  out.reserve(512 * 1024);
  out += std::string("{\n  \"") + kEntriesKey + "\": [";
  bool firstEntry = true;
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(dataSet, entry);
    if (kind == EntryKind::None) continue;
    out += firstEntry ? "\n    {\n" : ",\n    {\n";
    firstEntry = false;
    out += std::string("      \"") + kEntryIndexKey + "\": " + std::to_string(entry) +
           ",\n      \"" + kKindKey + "\": \"" + EntryKindName(kind) + "\",\n";
    for (size_t i = 0; names && i < kNameKeys.size(); ++i) {
      out += std::string("      \"") + kNameKeys[i] + "\": ";
      AppendJsonString(out, names(entry, kNameKeyLanguages[i]));
      out += ",\n";
    }
    const std::span<const EntryField> fields = EntryFields(kind);
    const EntryValues valueOf(dataSet, entry);
    for (const EntryField& field : fields) {
      if (field.weaponSlot >= 0) continue;
      out += "      \"";
      out += field.key;
      out += "\": ";
      out += FieldValueJson(field, valueOf(field));
      out += ",\n";
    }
    out += std::string("      \"") + kWeaponsKey + "\": [\n";
    for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
      out += "        {";
      const char* separator = "\"";
      for (const EntryField& field : fields) {
        if (field.weaponSlot != slot) continue;
        out += separator;
        out += field.key;
        out += "\": ";
        out += FieldValueJson(field, valueOf(field));
        separator = ", \"";
      }
      out += slot + 1 < kShownWeaponSlots ? "},\n" : "}\n";
    }
    out += "      ]\n    }";
  }
  out += "\n  ]\n}\n";
  return out;
}

std::string DumpCsv(const DataSet& dataSet, const EntryNameOf& names) {
  // RFC 4180: CRLF between records.
  std::string out;
  out.reserve(128 * 1024);
  out += std::string(kEntryIndexKey) + ',' + kKindKey;
  for (const char* key : kNameKeys) out += std::string(",") + key;
  // Each column's row for an MS entry and for a ship; a kind without it leaves the cell empty.
  std::vector<std::array<const EntryField*, 2>> columns;
  for (const char* column : FieldColumns()) {
    out += std::string(",") + column;
    columns.push_back(
        {FindEntryField(EntryKind::Ms, column), FindEntryField(EntryKind::Ship, column)});
  }
  out += "\r\n";
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(dataSet, entry);
    if (kind == EntryKind::None) continue;
    out += std::to_string(entry) + ',' + EntryKindName(kind);
    const EntryValues valueOf(dataSet, entry);
    for (const NameListLanguage language : kNameKeyLanguages) {
      out += ',';
      if (names) out += CsvField(names(entry, language));
    }
    for (const auto& rows : columns) {
      out += ',';
      if (const EntryField* field = rows[kind == EntryKind::Ship]) {
        out += FieldValueText(*field, valueOf(*field));
      }
    }
    out += "\r\n";
  }
  return out;
}

// ---------------------------------------------------------------------------
// Edits

EditApplier::EditApplier(std::string source, EntryNameOf names, DataSet& dataSet)
    : source_(std::move(source)), names_(std::move(names)), dataSet_(dataSet) {}

void EditApplier::SetPlace(std::string place) {
  place_ = std::move(place);
  entry_ = 0;
  kind_ = EntryKind::None;
}

void EditApplier::BeginEntry(const EditValue& input) {
  entry_ = 0;
  kind_ = EntryKind::None;
  if (!input.value) Problem(kEntryIndexKey, NotAnIntegerText(input.text, 1, kEntryListCount));
  const int64_t number = *input.value;
  if (number < 1 || number > kEntryListCount ||
      KindOfEntry(dataSet_, static_cast<int>(number)) == EntryKind::None) {
    Problem(kEntryIndexKey, NoSuchEntryText(input.text, 1, kEntryListCount));
  }
  entry_ = static_cast<int>(number);
  kind_ = KindOfEntry(dataSet_, entry_);
  fieldsSet_.clear();
  const auto [seen, inserted] = entriesSeen_.emplace(entry_, place_);
  if (!inserted) Problem(kEntryIndexKey, DuplicateEntryText(seen->second));
}

void EditApplier::CheckKind(std::string_view text) const {
  if (text != EntryKindName(kind_)) Problem(kKindKey, KindMismatchText(text, EntryKindName(kind_)));
}

void EditApplier::CheckName(int nameKey, std::string_view text) const {
  if (!names_) return;  // nothing to compare with; names never reach the ROM
  const std::string current = names_(entry_, kNameKeyLanguages[static_cast<size_t>(nameKey)]);
  if (text != current) {
    Problem(kNameKeys[static_cast<size_t>(nameKey)], NameMismatchText(text, current));
  }
}

void EditApplier::NoSuchField(std::string_view name) const {
  const EntryKind other = kind_ == EntryKind::Ms ? EntryKind::Ship : EntryKind::Ms;
  if (FindEntryField(other, name) != nullptr) {
    Problem(name, FieldOfOtherKindText(EntryKindName(kind_)));
  }
  Problem(name, UnknownFieldText());
}

void EditApplier::SetValue(const EntryField& field, const EditValue& input) {
  // Two values for one field (a weapon slot given twice) would leave the last silently.
  if (!fieldsSet_.insert(&field).second) Problem(field.name, FieldEditedTwiceText());
  const int64_t current = *EntryFieldValue(dataSet_, entry_, field);
  if (!field.StoredInRom()) {
    if (!input.value || *input.value != current) {
      Problem(field.name, NotStoredText(input.text, current));
    }
    return;
  }
  if (!input.value) {
    Problem(field.name, field.coding == FieldCoding::RawBytes
                            ? RawBytesText(input.text, field.RomByteCount())
                            : NotAnIntegerText(input.text, field.Minimum(), field.Maximum()));
  }
  if (!field.Holds(*input.value)) {
    Problem(field.name, OutOfRangeText(input.text, field.Minimum(), field.Maximum()));
  }
  SetEntryFieldValue(dataSet_, entry_, field, *input.value);
}

void EditApplier::Problem(std::string_view field, std::string_view problem) const {
  throw VarskError(EditErrorMessage(place_.empty() ? source_ : place_, entry_, field, problem));
}

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

}  // namespace

void ApplyCsvEdits(std::string_view text, const std::string& source, EditApplier& applier) {
  const std::vector<CsvRow> rows = ParseCsv(text, source);
  if (rows.empty()) throw VarskError(EditFileEmptyMessage(source));
  const CsvRow& header = rows.front();
  std::vector<CsvColumn> columns;
  size_t entryColumn = header.fields.size();
  for (const std::string& field : header.fields) {
    const std::string_view name = Trimmed(field);
    const std::optional<CsvColumn> column = CsvColumnOf(name);
    if (!column) throw VarskError(CsvErrorMessage(source, header.line, UnknownColumnText(name)));
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
  }
}

}  // namespace varsk
