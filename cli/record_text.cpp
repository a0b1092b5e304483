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

#include "cli/cli_messages.h"
#include "cli/json_keys.h"
#include "data/messages.h"
#include "data/text_to_number.h"

namespace varsk::cli {

namespace {

constexpr NameListLanguage kLanguages[] = {NameListLanguage::E, NameListLanguage::C,
                                           NameListLanguage::J};
constexpr const char* kNameKeys[] = {"nameE", "nameC", "nameJ"};
constexpr WeaponValue kWeaponValues[] = {WeaponValue::WeaponId, WeaponValue::Damage,
                                         WeaponValue::Ammo};

QString WeaponFieldName(int slot, WeaponValue value) {
  return QStringLiteral("w%1.%2").arg(slot).arg(QLatin1String(WeaponValueName(value)));
}

int32_t SpriteIndexOf(const DataSet& dataSet, int entryIndex) {
  if (const MsRecord* ms = MsOfEntry(dataSet, entryIndex)) {
    return ms->spriteIndex;
  }
  if (const ShipRecord* ship = ShipOfEntry(dataSet, entryIndex)) {
    return ship->spriteIndex;
  }
  return 0;
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

void AppendNumber(QByteArray& out, int64_t value) { out += QByteArray::number(value); }

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
    out += "      \"entryIndex\": ";
    AppendNumber(out, entry);
    out += ",\n      \"kind\": \"";
    out += KindName(kind);
    out += "\",\n";
    if (names != nullptr) {
      for (int i = 0; i < 3; ++i) {
        out += "      \"";
        out += kNameKeys[i];
        out += "\": ";
        AppendJsonString(out, EntryName(*names, kLanguages[i], entry));
        out += ",\n";
      }
    }
    out += "      \"spriteIndex\": ";
    AppendNumber(out, SpriteIndexOf(dataSet, entry));
    out += ",\n";
    for (const EntryField& field : FieldsOf(kind)) {
      out += "      \"";
      out += field.name;
      out += "\": ";
      AppendNumber(out, GetField(dataSet, entry, field));
      out += ",\n";
    }
    out += "      \"rawBytes\": [";
    bool firstByte = true;
    for (uint8_t byte : RawBytesOf(dataSet, entry)) {
      if (!firstByte) {
        out += ", ";
      }
      firstByte = false;
      AppendNumber(out, byte);
    }
    out += "],\n      \"weapons\": [\n";
    for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
      const WeaponSlot& weapon = WeaponOf(dataSet, entry, slot);
      out += "        {\"weaponId\": ";
      AppendNumber(out, weapon.weaponId);
      out += ", \"damage\": ";
      AppendNumber(out, weapon.damage);
      out += ", \"ammo\": ";
      AppendNumber(out, weapon.ammo);
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
  out += "entryIndex,kind,nameE,nameC,nameJ,spriteIndex";
  for (const char* column : CsvStatColumns()) {
    out += ',';
    out += column;
  }
  out += ",rawBytes";
  for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
    for (WeaponValue value : kWeaponValues) {
      out += ',';
      out += WeaponFieldName(slot, value).toLatin1();
    }
  }
  out += kLineEnd;
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(dataSet, entry);
    if (kind == EntryKind::None) {
      continue;
    }
    AppendNumber(out, entry);
    out += ',';
    out += KindName(kind);
    for (NameListLanguage language : kLanguages) {
      out += ',';
      if (names != nullptr) {
        out += CsvField(EntryName(*names, language, entry)).toUtf8();
      }
    }
    out += ',';
    AppendNumber(out, SpriteIndexOf(dataSet, entry));
    for (const char* column : CsvStatColumns()) {
      out += ',';
      if (const EntryField* field = FindField(kind, column)) {
        AppendNumber(out, GetField(dataSet, entry, *field));
      }
    }
    out += ',';
    out += FormatRawBytes(RawBytesOf(dataSet, entry)).toLatin1();
    for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
      const WeaponSlot& weapon = WeaponOf(dataSet, entry, slot);
      for (WeaponValue value : kWeaponValues) {
        out += ',';
        AppendNumber(out, GetWeaponValue(weapon, value));
      }
    }
    out += kLineEnd;
  }
  return out;
}

// ---------------------------------------------------------------------------
// Edits

namespace {

// A number as the edit file gives it: its text for messages, and its value
// when it is a whole number at all.
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

  int BeginEntry(const NumberInput& input) {
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
    return entry_;
  }

  void Kind(const QString& text) {
    const QString current = QString::fromLatin1(KindName(kind_));
    if (text != current) {
      Problem(QStringLiteral("kind"), KindMismatchText(text, current));
    }
  }

  void Name(int languageIndex, const QString& text) {
    if (names_ == nullptr) {
      return;  // nothing to compare with; names never reach the ROM
    }
    const QString current = EntryName(*names_, kLanguages[languageIndex], entry_);
    if (text != current) {
      Problem(QString::fromLatin1(kNameKeys[languageIndex]), NameMismatchText(text, current));
    }
  }

  void SpriteIndex(const NumberInput& input) {
    const int32_t current = SpriteIndexOf(dataSet_, entry_);
    Unchangeable(QStringLiteral("spriteIndex"), input, current);
  }

  void RawBytes(const std::vector<NumberInput>& inputs, const QString& text) {
    const std::span<const uint8_t> current = RawBytesOf(dataSet_, entry_);
    bool same = inputs.size() == current.size();
    for (size_t i = 0; same && i < inputs.size(); ++i) {
      same = inputs[i].value && *inputs[i].value == current[i];
    }
    if (!same) {
      Problem(QStringLiteral("rawBytes"), RawBytesMismatchText(text, FormatRawBytes(current)));
    }
  }

  void Stat(const QString& name, const NumberInput& input) {
    const EntryField* field = FindField(kind_, name.toStdString());
    if (field == nullptr) {
      const EntryKind other = kind_ == EntryKind::Ms ? EntryKind::Ship : EntryKind::Ms;
      if (FindField(other, name.toStdString()) != nullptr) {
        Problem(name, FieldOfOtherKindText(QString::fromLatin1(KindName(kind_))));
      }
      Problem(name, UnknownFieldText());
    }
    const int32_t current = GetField(dataSet_, entry_, *field);
    if (!field->storedInRom) {
      Unchangeable(name, input, current);
      return;
    }
    SetField(dataSet_, entry_, *field, InRange(name, input, field->minimum, field->maximum));
  }

  void Weapon(int slot, WeaponValue value, const NumberInput& input) {
    const QString name = WeaponFieldName(slot, value);
    WeaponSlot& weapon = WeaponOf(dataSet_, entry_, slot);
    const ValueRange range = WeaponValueRange(kind_, slot, value);
    if (!range.storedInRom) {
      Unchangeable(name, input, GetWeaponValue(weapon, value));
      return;
    }
    SetWeaponValue(weapon, value, InRange(name, input, range.minimum, range.maximum));
  }

  [[noreturn]] void Problem(const QString& field, const QString& problem) const {
    Fail(EditErrorMessage(place_.isEmpty() ? source_ : place_, entry_, field, problem));
  }

 private:
  int32_t InRange(const QString& field, const NumberInput& input, int32_t minimum,
                  int32_t maximum) const {
    if (!input.value) {
      Problem(field, NotAnIntegerText(input.text, minimum, maximum));
    }
    if (*input.value < minimum || *input.value > maximum) {
      Problem(field, OutOfRangeText(input.text, minimum, maximum));
    }
    return static_cast<int32_t>(*input.value);
  }

  void Unchangeable(const QString& field, const NumberInput& input, int32_t current) const {
    if (!input.value || *input.value != current) {
      Problem(field, NotStoredText(input.text, current));
    }
  }

  QString source_;
  QString place_;
  const NameLists* names_;
  DataSet& dataSet_;
  int entry_ = 0;
  EntryKind kind_ = EntryKind::None;
  std::map<int, QString> entriesSeen_;
};

// ---- CSV

NumberInput CsvNumber(const QString& cell) {
  return NumberInput{cell, TryParseInteger(cell.toStdString())};
}

bool IsEmptyCell(const QString& cell) { return cell.trimmed().isEmpty(); }

// The role of one CSV column.
struct CsvColumn {
  enum class Role { EntryIndex, Kind, Name, SpriteIndex, Stat, RawBytes, Weapon } role;
  int index = 0;  // language index for names, slot for weapons
  WeaponValue weaponValue = WeaponValue::WeaponId;
  QString name;
};

std::optional<CsvColumn> CsvColumnOf(const QString& header) {
  using Role = CsvColumn::Role;
  if (header == QLatin1String("entryIndex")) return CsvColumn{Role::EntryIndex, 0, {}, header};
  if (header == QLatin1String("kind")) return CsvColumn{Role::Kind, 0, {}, header};
  for (int i = 0; i < 3; ++i) {
    if (header == QLatin1String(kNameKeys[i])) return CsvColumn{Role::Name, i, {}, header};
  }
  if (header == QLatin1String("spriteIndex")) return CsvColumn{Role::SpriteIndex, 0, {}, header};
  if (header == QLatin1String("rawBytes")) return CsvColumn{Role::RawBytes, 0, {}, header};
  for (const char* column : CsvStatColumns()) {
    if (header == QLatin1String(column)) return CsvColumn{Role::Stat, 0, {}, header};
  }
  for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
    for (WeaponValue value : kWeaponValues) {
      if (header == WeaponFieldName(slot, value)) {
        return CsvColumn{Role::Weapon, slot, value, header};
      }
    }
  }
  return std::nullopt;
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
    applier.BeginEntry(CsvNumber(row.fields.at(entryColumn)));
    for (size_t c = 0; c < columns.size(); ++c) {
      const CsvColumn& column = columns[c];
      const QString& cell = row.fields.at(static_cast<qsizetype>(c));
      // An empty cell changes nothing.
      if (column.role == CsvColumn::Role::EntryIndex || IsEmptyCell(cell)) {
        continue;
      }
      switch (column.role) {
        case CsvColumn::Role::EntryIndex:
          break;
        case CsvColumn::Role::Kind:
          applier.Kind(cell.trimmed());
          break;
        case CsvColumn::Role::Name:
          applier.Name(column.index, cell);
          break;
        case CsvColumn::Role::SpriteIndex:
          applier.SpriteIndex(CsvNumber(cell));
          break;
        case CsvColumn::Role::Stat:
          applier.Stat(column.name, CsvNumber(cell));
          break;
        case CsvColumn::Role::RawBytes: {
          // "03 14 01 01": two-digit hexadecimal bytes separated by blanks.
          std::vector<NumberInput> bytes;
          for (const QString& part : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            bool ok = false;
            const uint value = part.toUInt(&ok, 16);
            bytes.push_back(NumberInput{
                part, ok && part.size() <= 2 ? std::optional<int64_t>(value) : std::nullopt});
          }
          applier.RawBytes(bytes, cell);
          break;
        }
        case CsvColumn::Role::Weapon:
          applier.Weapon(column.index, column.weaponValue, CsvNumber(cell));
          break;
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
      std::optional<WeaponValue> which;
      for (WeaponValue value : kWeaponValues) {
        if (it.key() == QLatin1String(WeaponValueName(value))) which = value;
      }
      if (!which) {
        applier.Problem(QStringLiteral("weapons[%1].%2").arg(position).arg(it.key()),
                        UnknownFieldText());
      }
      applier.Weapon(slot, *which, JsonNumber(it.value()));
    }
  }
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
      applier.Kind(JsonText(value));
    } else if (key == QLatin1String("spriteIndex")) {
      applier.SpriteIndex(JsonNumber(value));
    } else if (key == QLatin1String("rawBytes")) {
      if (!value.isArray()) {
        applier.Problem(key, ExpectedArrayText());
      }
      std::vector<NumberInput> bytes;
      QStringList texts;
      for (const QJsonValue byte : value.toArray()) {
        bytes.push_back(JsonNumber(byte));
        texts.append(bytes.back().text);
      }
      applier.RawBytes(bytes,
                       QLatin1Char('[') + texts.join(QLatin1String(", ")) + QLatin1Char(']'));
    } else if (key == QLatin1String("weapons")) {
      ApplyJsonWeapons(value, applier);
    } else {
      bool isName = false;
      for (int i = 0; i < 3; ++i) {
        if (key == QLatin1String(kNameKeys[i])) {
          if (!value.isString()) {
            applier.Problem(key, ExpectedStringText());
          }
          applier.Name(i, value.toString());
          isName = true;
        }
      }
      if (!isName) {
        applier.Stat(key, JsonNumber(value));
      }
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

// ---------------------------------------------------------------------------
// Comparing and checking

std::vector<ValueChange> CompareRecords(const DataSet& before, const DataSet& after) {
  std::vector<ValueChange> changes;
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(after, entry);
    if (kind == EntryKind::None || KindOfEntry(before, entry) != kind) {
      continue;
    }
    for (const EntryField& field : FieldsOf(kind)) {
      const int32_t a = GetField(before, entry, field);
      const int32_t b = GetField(after, entry, field);
      if (a != b) {
        changes.push_back(
            {entry, QLatin1String(field.name), QString::number(a), QString::number(b)});
      }
    }
    for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
      for (WeaponValue value : kWeaponValues) {
        const int32_t a = GetWeaponValue(WeaponOf(before, entry, slot), value);
        const int32_t b = GetWeaponValue(WeaponOf(after, entry, slot), value);
        if (a != b) {
          changes.push_back(
              {entry, WeaponFieldName(slot, value), QString::number(a), QString::number(b)});
        }
      }
    }
    const QString a = FormatRawBytes(RawBytesOf(before, entry));
    const QString b = FormatRawBytes(RawBytesOf(after, entry));
    if (a != b) {
      changes.push_back({entry, QStringLiteral("rawBytes"), a, b});
    }
  }
  return changes;
}

void CheckRecordsFitRom(const DataSet& dataSet, const QString& what) {
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(dataSet, entry);
    for (const EntryField& field : FieldsOf(kind)) {
      const int32_t value = GetField(dataSet, entry, field);
      if (field.storedInRom && (value < field.minimum || value > field.maximum)) {
        Fail(DoesNotFitRomMessage(what, entry, QLatin1String(field.name), value, field.minimum,
                                  field.maximum));
      }
    }
    if (kind == EntryKind::None) {
      continue;
    }
    for (int slot = 0; slot < kShownWeaponSlots; ++slot) {
      for (WeaponValue value : kWeaponValues) {
        const ValueRange range = WeaponValueRange(kind, slot, value);
        const int32_t number = GetWeaponValue(WeaponOf(dataSet, entry, slot), value);
        if (range.storedInRom && (number < range.minimum || number > range.maximum)) {
          Fail(DoesNotFitRomMessage(what, entry, WeaponFieldName(slot, value), number,
                                    range.minimum, range.maximum));
        }
      }
    }
  }
}

}  // namespace varsk::cli
