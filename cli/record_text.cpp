#include "cli/record_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/csv_text.h"
#include "cli/json_keys.h"
#include "data/entry_fields.h"
#include "data/messages.h"
#include "data/text_to_number.h"

namespace varsk::cli {

namespace {

constexpr NameListLanguage kLanguages[] = {NameListLanguage::E, NameListLanguage::C,
                                           NameListLanguage::J};
constexpr const char* kNameKeys[] = {"nameE", "nameC", "nameJ"};

// The position of a name key in kNameKeys, or -1.
int NameKeyIndex(const QString& key) {
  for (int i = 0; i < 3; ++i) {
    if (key == QLatin1String(kNameKeys[i])) return i;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// Dumps

void AppendJsonString(QByteArray& out, const QString& text) {
  out += '"';
  for (const char c : text.toUtf8()) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      switch (c) {
        case '\n':
          out += "\\n";
          break;
        case '\r':
          out += "\\r";
          break;
        case '\t':
          out += "\\t";
          break;
        default: {
          static const char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 15];
        }
      }
    } else {
      out += c;
    }
  }
  out += '"';
}

std::string ValueJson(const DataSet& dataSet, int entry, const EntryField& field) {
  return FieldValueJson(field, *EntryFieldValue(dataSet, entry, field));
}

}  // namespace

QByteArray DumpJson(const DataSet& dataSet, const NameLists* names) {
  QByteArray out;
  out.reserve(512 * 1024);
  out += "{\n  \"entries\": [";
  bool firstEntry = true;
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(dataSet, entry);
    if (kind == EntryKind::None) {
      continue;
    }
    out += firstEntry ? "\n    {\n" : ",\n    {\n";
    firstEntry = false;
    out += "      \"entryIndex\": " + QByteArray::number(entry) + ",\n      \"kind\": \"" +
           EntryKindName(kind) + "\",\n";
    if (names != nullptr) {
      for (int i = 0; i < 3; ++i) {
        out += "      \"" + QByteArray(kNameKeys[i]) + "\": ";
        AppendJsonString(out, EntryName(*names, kLanguages[i], entry));
        out += ",\n";
      }
    }
    const std::span<const EntryField> fields = EntryFields(kind);
    for (const EntryField& field : fields) {
      if (field.weaponSlot < 0) {
        out += "      \"" + QByteArray(field.key) + "\": ";
        out += ValueJson(dataSet, entry, field) + ",\n";
      }
    }
    out += "      \"weapons\": [\n";
    for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
      out += "        {";
      bool firstValue = true;
      for (const EntryField& field : fields) {
        if (field.weaponSlot == slot) {
          out += (firstValue ? "\"" : ", \"") + QByteArray(field.key) + "\": ";
          out += ValueJson(dataSet, entry, field);
          firstValue = false;
        }
      }
      out += slot + 1 < kShownWeaponSlots ? "},\n" : "}\n";
    }
    out += "      ]\n    }";
  }
  out += "\n  ]\n}\n";
  return out;
}

QByteArray DumpCsv(const DataSet& dataSet, const NameLists* names) {
  // RFC 4180: CRLF between records.
  static const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
  QByteArray out;
  out.reserve(128 * 1024);
  out += "entryIndex,kind,nameE,nameC,nameJ";
  // Each column's row for an MS entry and for a ship; a kind without it leaves the cell empty.
  std::vector<std::array<const EntryField*, 2>> columns;
  for (const char* column : FieldColumns()) {
    out += ',';
    out += column;
    columns.push_back(
        {FindEntryField(EntryKind::Ms, column), FindEntryField(EntryKind::Ship, column)});
  }
  out += kLineEnd;
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(dataSet, entry);
    if (kind == EntryKind::None) {
      continue;
    }
    out += QByteArray::number(entry) + ',' + EntryKindName(kind);
    for (NameListLanguage language : kLanguages) {
      out += ',';
      if (names != nullptr) {
        out += CsvField(EntryName(*names, language, entry)).toUtf8();
      }
    }
    for (const auto& rows : columns) {
      out += ',';
      if (const EntryField* field = rows[kind == EntryKind::Ship]) {
        out += FieldValueText(*field, *EntryFieldValue(dataSet, entry, *field));
      }
    }
    out += kLineEnd;
  }
  return out;
}

// ---------------------------------------------------------------------------
// Edits

namespace {

// A value as the edit file gives it: its text for messages, and its value
// when it is one at all.
struct NumberInput {
  QString text;
  std::optional<int64_t> value;
};

// Checks and applies the values of one edit file; every fault ends the import.
class EditApplier {
 public:
  EditApplier(const QString& source, const NameLists* names, DataSet& dataSet)
      : source_(source), names_(names), dataSet_(dataSet) {}

  // Where the following values come from ("edits.csv line 7").
  void SetPlace(const QString& place) {
    place_ = place;
    entry_ = 0;
    kind_ = EntryKind::None;
  }

  void BeginEntry(const NumberInput& input) {
    entry_ = 0;
    kind_ = EntryKind::None;
    const QString field = QStringLiteral("entryIndex");
    if (!input.value) {
      Problem(field, NotAnIntegerText(input.text, 1, kEntryListCount));
    }
    const int64_t number = *input.value;
    if (number < 1 || number > kEntryListCount ||
        KindOfEntry(dataSet_, static_cast<int>(number)) == EntryKind::None) {
      Problem(field, NoSuchEntryText(input.text, 1, kEntryListCount));
    }
    entry_ = static_cast<int>(number);
    kind_ = KindOfEntry(dataSet_, entry_);
    const auto [seen, inserted] = entriesSeen_.emplace(entry_, place_);
    if (!inserted) {
      Problem(field, DuplicateEntryText(seen->second));
    }
  }

  EntryKind Kind() const { return kind_; }

  void CheckKind(const QString& text) const {
    const QString current = QString::fromLatin1(EntryKindName(kind_));
    if (text != current) {
      Problem(QStringLiteral("kind"), KindMismatchText(text, current));
    }
  }

  void CheckName(int languageIndex, const QString& text) const {
    if (names_ == nullptr) {
      return;  // nothing to compare with; names never reach the ROM
    }
    const QString current = EntryName(*names_, kLanguages[languageIndex], entry_);
    if (text != current) {
      Problem(QString::fromLatin1(kNameKeys[languageIndex]), NameMismatchText(text, current));
    }
  }

  // Fails for a field that the entry's kind lacks.
  [[noreturn]] void NoSuchField(const QString& name) const {
    const EntryKind other = kind_ == EntryKind::Ms ? EntryKind::Ship : EntryKind::Ms;
    if (FindEntryField(other, name.toStdString()) != nullptr) {
      Problem(name, FieldOfOtherKindText(QString::fromLatin1(EntryKindName(kind_))));
    }
    Problem(name, UnknownFieldText());
  }

  // Sets a field of the entry (a row of its kind's table). A field the ROM
  // does not store may only repeat its current value.
  void SetValue(const EntryField& field, const NumberInput& input) {
    const QString name = QLatin1String(field.name);
    const int64_t current = *EntryFieldValue(dataSet_, entry_, field);
    if (!field.StoredInRom()) {
      if (!input.value || *input.value != current) {
        Problem(name, NotStoredText(input.text, current));
      }
      return;
    }
    if (field.coding == FieldCoding::RawBytes && !input.value) {
      Problem(name, RawBytesText(input.text, field.RomByteCount()));
    }
    if (!input.value) {
      Problem(name, NotAnIntegerText(input.text, field.Minimum(), field.Maximum()));
    }
    if (!field.Holds(*input.value)) {
      Problem(name, OutOfRangeText(input.text, field.Minimum(), field.Maximum()));
    }
    SetEntryFieldValue(dataSet_, entry_, field, *input.value);
  }

  [[noreturn]] void Problem(const QString& field, const QString& problem) const {
    Fail(EditErrorMessage(place_.isEmpty() ? source_ : place_, entry_, field, problem));
  }

 private:
  QString source_;
  QString place_;
  const NameLists* names_;
  DataSet& dataSet_;
  int entry_ = 0;
  EntryKind kind_ = EntryKind::None;
  std::map<int, QString> entriesSeen_;
};

// ---- CSV

// The role of one CSV column.
struct CsvColumn {
  enum class Role { EntryIndex, Kind, Name, Field } role;
  int language = 0;                         // for names
  std::array<const EntryField*, 2> rows{};  // for fields: the MS row, the ship row
  QString name;
};

std::optional<CsvColumn> CsvColumnOf(const QString& header) {
  using Role = CsvColumn::Role;
  if (header == QLatin1String("entryIndex")) return CsvColumn{Role::EntryIndex, 0, {}, header};
  if (header == QLatin1String("kind")) return CsvColumn{Role::Kind, 0, {}, header};
  if (const int language = NameKeyIndex(header); language >= 0) {
    return CsvColumn{Role::Name, language, {}, header};
  }
  const std::string name = header.toStdString();
  const std::array<const EntryField*, 2> rows = {FindEntryField(EntryKind::Ms, name),
                                                 FindEntryField(EntryKind::Ship, name)};
  if (rows[0] == nullptr && rows[1] == nullptr) return std::nullopt;
  return CsvColumn{Role::Field, 0, rows, header};
}

void ApplyCsvEdits(const QByteArray& text, const QString& source, EditApplier& applier) {
  const std::vector<CsvRow> rows = ParseCsv(text, source);
  if (rows.empty()) {
    Fail(EditFileEmptyMessage(source));
  }
  const CsvRow& header = rows.front();
  std::vector<CsvColumn> columns;
  int entryColumn = -1;
  for (const QString& name : header.fields) {
    const QString trimmed = name.trimmed();
    const std::optional<CsvColumn> column = CsvColumnOf(trimmed);
    if (!column) {
      Fail(CsvErrorMessage(source, header.line, UnknownColumnText(trimmed)));
    }
    for (const CsvColumn& earlier : columns) {
      if (earlier.name == trimmed) {
        Fail(CsvErrorMessage(source, header.line, DuplicateColumnText(trimmed)));
      }
    }
    if (column->role == CsvColumn::Role::EntryIndex) {
      entryColumn = static_cast<int>(columns.size());
    }
    columns.push_back(*column);
  }
  if (entryColumn < 0) {
    Fail(CsvErrorMessage(source, header.line, MissingEntryColumnText()));
  }

  for (size_t r = 1; r < rows.size(); ++r) {
    const CsvRow& row = rows[r];
    applier.SetPlace(CsvPlace(source, row.line));
    if (row.fields.size() != static_cast<qsizetype>(columns.size())) {
      Fail(CsvErrorMessage(source, row.line,
                           FieldCountText(row.fields.size(), static_cast<int>(columns.size()))));
    }
    const QString& entryCell = row.fields.at(entryColumn);
    applier.BeginEntry(NumberInput{entryCell, TryParseInteger(entryCell.toStdString())});
    for (size_t c = 0; c < columns.size(); ++c) {
      const CsvColumn& column = columns[c];
      const QString& cell = row.fields.at(static_cast<qsizetype>(c));
      // An empty cell changes nothing.
      if (cell.trimmed().isEmpty()) {
        continue;
      }
      switch (column.role) {
        case CsvColumn::Role::EntryIndex:
          break;
        case CsvColumn::Role::Kind:
          applier.CheckKind(cell.trimmed());
          break;
        case CsvColumn::Role::Name:
          applier.CheckName(column.language, cell);
          break;
        case CsvColumn::Role::Field: {
          const EntryField* field = column.rows[applier.Kind() == EntryKind::Ship];
          if (field == nullptr) {
            applier.NoSuchField(column.name);
          }
          applier.SetValue(*field,
                           NumberInput{cell, FieldValueFromText(*field, cell.toStdString())});
          break;
        }
      }
    }
  }
}

// ---- JSON

NumberInput JsonNumber(const QJsonValue& value) {
  if (value.isDouble()) {
    const double number = value.toDouble();
    // Whole numbers up to 2^53 are exact in a double.
    if (std::isfinite(number) && std::trunc(number) == number && std::fabs(number) < 9.0e15) {
      const auto whole = static_cast<int64_t>(number);
      return NumberInput{QString::number(whole), whole};
    }
    return NumberInput{QString::number(number, 'g', 17), std::nullopt};
  }
  if (value.isString()) {
    return NumberInput{QLatin1Char('"') + value.toString() + QLatin1Char('"'), std::nullopt};
  }
  if (value.isBool()) {
    return NumberInput{value.toBool() ? QStringLiteral("true") : QStringLiteral("false"),
                       std::nullopt};
  }
  return NumberInput{value.isArray() ? QStringLiteral("[...]") : QStringLiteral("{...}"),
                     std::nullopt};
}

QString JsonText(const QJsonValue& value) {
  if (value.isString()) return value.toString();
  return JsonNumber(value).text;
}

void ApplyJsonWeapons(const QJsonValue& weaponsValue, EditApplier& applier) {
  if (!weaponsValue.isArray()) {
    applier.Problem(QStringLiteral("weapons"), ExpectedArrayText());
  }
  const QJsonArray weapons = weaponsValue.toArray();
  if (weapons.size() > kShownWeaponSlots) {
    applier.Problem(QStringLiteral("weapons"), TooManyWeaponsText(weapons.size()));
  }
  for (qsizetype position = 0; position < weapons.size(); ++position) {
    const QJsonValue item = weapons.at(position);
    if (item.isNull()) {
      continue;  // this slot keeps its values
    }
    if (!item.isObject()) {
      applier.Problem(QStringLiteral("weapons[%1]").arg(position), ExpectedObjectText());
    }
    const QJsonObject weapon = item.toObject();
    // A "slot" key addresses a slot directly; otherwise the position does.
    int slot = static_cast<int>(position);
    if (weapon.contains(QLatin1String("slot"))) {
      const NumberInput input = JsonNumber(weapon.value(QLatin1String("slot")));
      if (!input.value || *input.value < 0 || *input.value >= kShownWeaponSlots) {
        applier.Problem(QStringLiteral("weapons[%1].slot").arg(position),
                        OutOfRangeText(input.text, 0, kShownWeaponSlots - 1));
      }
      slot = static_cast<int>(*input.value);
    }
    for (auto it = weapon.begin(); it != weapon.end(); ++it) {
      if (it.key() == QLatin1String("slot") || it.value().isNull()) {
        continue;
      }
      const EntryField* field = FindWeaponField(applier.Kind(), slot, it.key().toStdString());
      if (field == nullptr) {
        applier.Problem(QStringLiteral("weapons[%1].%2").arg(position).arg(it.key()),
                        UnknownFieldText());
      }
      applier.SetValue(*field, JsonNumber(it.value()));
    }
  }
}

// Raw bytes as a JSON array of numbers.
NumberInput JsonRawBytes(const EntryField& field, const QJsonArray& array) {
  std::vector<int64_t> bytes;
  QStringList texts;
  bool numbers = true;
  for (const QJsonValue byte : array) {
    const NumberInput input = JsonNumber(byte);
    texts.append(input.text);
    numbers = numbers && input.value.has_value();
    bytes.push_back(input.value.value_or(-1));
  }
  return NumberInput{QLatin1Char('[') + texts.join(QLatin1String(", ")) + QLatin1Char(']'),
                     numbers ? RawBytesValue(field, bytes) : std::nullopt};
}

void ApplyJsonEntry(const QJsonObject& entry, EditApplier& applier) {
  if (!entry.contains(QLatin1String("entryIndex"))) {
    applier.Problem(QStringLiteral("entryIndex"), MissingEntryIndexText());
  }
  applier.BeginEntry(JsonNumber(entry.value(QLatin1String("entryIndex"))));
  for (auto it = entry.begin(); it != entry.end(); ++it) {
    const QString key = it.key();
    const QJsonValue value = it.value();
    if (key == QLatin1String("entryIndex") || value.isNull()) {
      continue;  // null, like an empty CSV cell, changes nothing
    }
    if (key == QLatin1String("kind")) {
      applier.CheckKind(JsonText(value));
      continue;
    }
    if (key == QLatin1String("weapons")) {
      ApplyJsonWeapons(value, applier);
      continue;
    }
    const int language = NameKeyIndex(key);
    if (language >= 0) {
      if (!value.isString()) {
        applier.Problem(key, ExpectedStringText());
      }
      applier.CheckName(language, value.toString());
      continue;
    }
    const EntryField* field = FindEntryField(applier.Kind(), key.toStdString());
    if (field == nullptr) {
      applier.NoSuchField(key);
    }
    if (field->weaponSlot >= 0) {
      applier.Problem(key, UnknownFieldText());  // weapon values live in "weapons" only
    }
    if (field->coding != FieldCoding::RawBytes) {
      applier.SetValue(*field, JsonNumber(value));
    } else if (value.isArray()) {
      applier.SetValue(*field, JsonRawBytes(*field, value.toArray()));
    } else {
      applier.Problem(key, ExpectedArrayText());
    }
  }
}

// Fails naming the entry (its position, and its number where that is not the
// repeated key) and the key that appears twice.
[[noreturn]] void ReportRepeatedKey(const RepeatedJsonKey& repeated, bool topIsArray,
                                    const QJsonArray& entries, const QString& source,
                                    EditApplier& applier) {
  // The steps to the entries array: none for a top-level array, "entries" otherwise.
  const size_t toEntries = topIsArray ? 0 : 1;
  const qsizetype position = repeated.path.size() > toEntries ? repeated.path[toEntries].index : -1;
  if (position < 0 || position >= entries.size()) {
    // Not inside an entry that is read (a top-level key, or an "entries" that is not the last).
    Fail(EditErrorMessage(source, 0,
                          QString::fromStdString(JsonPathText(repeated.path, repeated.key)),
                          RepeatedKeyText()));
  }
  applier.SetPlace(JsonPlace(source, position));
  const std::vector<JsonStep> inside(repeated.path.begin() + static_cast<ptrdiff_t>(toEntries) + 1,
                                     repeated.path.end());
  const QJsonObject entry = entries.at(position).toObject();
  const bool entryIndexRepeated = inside.empty() && repeated.key == "entryIndex";
  if (!entryIndexRepeated && entry.contains(QLatin1String("entryIndex"))) {
    applier.BeginEntry(JsonNumber(entry.value(QLatin1String("entryIndex"))));
  }
  applier.Problem(QString::fromStdString(JsonPathText(inside, repeated.key)), RepeatedKeyText());
}

void ApplyJsonEdits(const QByteArray& text, const QString& source, EditApplier& applier) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(text, &error);
  if (error.error != QJsonParseError::NoError) {
    Fail(JsonErrorMessage(source, error.offset, error.errorString()));
  }
  QJsonArray entries;
  if (document.isArray()) {
    entries = document.array();
  } else {
    const QJsonObject top = document.object();
    for (auto it = top.begin(); it != top.end(); ++it) {
      if (it.key() != QLatin1String("entries")) {
        Fail(JsonErrorMessage(source, -1, UnknownTopLevelKeyText(it.key())));
      }
    }
    if (!top.value(QLatin1String("entries")).isArray()) {
      Fail(JsonErrorMessage(source, -1, MissingEntriesText()));
    }
    entries = top.value(QLatin1String("entries")).toArray();
  }
  if (const std::optional<RepeatedJsonKey> repeated =
          FindRepeatedKey(std::string_view(text.constData(), static_cast<size_t>(text.size())))) {
    ReportRepeatedKey(*repeated, document.isArray(), entries, source, applier);
  }
  for (qsizetype i = 0; i < entries.size(); ++i) {
    applier.SetPlace(JsonPlace(source, i));
    if (!entries.at(i).isObject()) {
      applier.Problem(QString(), ExpectedObjectText());
    }
    ApplyJsonEntry(entries.at(i).toObject(), applier);
  }
}

bool LooksLikeJson(const QByteArray& text) {
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    return c == '{' || c == '[';
  }
  return false;
}

}  // namespace

void ApplyEdits(const QByteArray& text, const QString& source, const NameLists* names,
                DataSet& dataSet) {
  EditApplier applier(source, names, dataSet);
  QByteArray body = text;
  if (body.startsWith("\xEF\xBB\xBF")) {
    body.remove(0, 3);
  }
  if (body.trimmed().isEmpty()) {
    Fail(EditFileEmptyMessage(source));
  }
  if (LooksLikeJson(body)) {
    ApplyJsonEdits(body, source, applier);
  } else {
    ApplyCsvEdits(body, source, applier);
  }
}

}  // namespace varsk::cli
