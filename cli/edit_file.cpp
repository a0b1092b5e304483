#include "cli/edit_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <cmath>
#include <optional>
#include <vector>

#include "base/messages.h"
#include "data/entry_fields.h"
#include "data/json_keys.h"

namespace varsk::cli {

namespace {

// JSON numbers, strings and literals as edit values.
EditValue JsonNumber(const QJsonValue& value) {
  if (value.isDouble()) {
    const double number = value.toDouble();
    // Whole numbers up to 2^53 are exact in a double.
    if (std::isfinite(number) && std::trunc(number) == number && std::fabs(number) < 9.0e15) {
      const auto whole = static_cast<int64_t>(number);
      return EditValue{std::to_string(whole), whole};
    }
    return EditValue{QString::number(number, 'g', 17).toStdString(), std::nullopt};
  }
  if (value.isString()) return EditValue{'"' + value.toString().toStdString() + '"', std::nullopt};
  if (value.isBool()) return EditValue{value.toBool() ? "true" : "false", std::nullopt};
  return EditValue{value.isArray() ? "[...]" : "{...}", std::nullopt};
}

std::string JsonText(const QJsonValue& value) {
  return value.isString() ? value.toString().toStdString() : JsonNumber(value).text;
}

// "weapons[2]", then ".<key>" when `key` is not empty.
std::string WeaponPlace(qsizetype position, const std::string& key = std::string()) {
  return JsonPathText({JsonStep{kWeaponsKey}, JsonStep{std::string(), position}}, key);
}

void ApplyJsonWeapons(const QJsonValue& weaponsValue, EditApplier& applier) {
  if (!weaponsValue.isArray()) {
    applier.Problem(kWeaponsKey, ExpectedArrayText());
  }
  const QJsonArray weapons = weaponsValue.toArray();
  if (weapons.size() > kShownWeaponSlots) {
    applier.Problem(kWeaponsKey, TooManyWeaponsText(weapons.size()));
  }
  for (qsizetype position = 0; position < weapons.size(); ++position) {
    const QJsonValue item = weapons.at(position);
    if (item.isNull()) {
      continue;  // this slot keeps its values
    }
    if (!item.isObject()) {
      applier.Problem(WeaponPlace(position), ExpectedObjectText());
    }
    const QJsonObject weapon = item.toObject();
    // A "slot" key addresses a slot directly; otherwise the position does.
    int slot = static_cast<int>(position);
    if (weapon.contains(QLatin1String(kSlotKey))) {
      const EditValue input = JsonNumber(weapon.value(QLatin1String(kSlotKey)));
      if (!input.value || *input.value < 0 || *input.value >= kShownWeaponSlots) {
        applier.Problem(WeaponPlace(position, kSlotKey),
                        OutOfRangeText(input.text, 0, kShownWeaponSlots - 1));
      }
      slot = static_cast<int>(*input.value);
    }
    for (auto it = weapon.begin(); it != weapon.end(); ++it) {
      if (it.key() == QLatin1String(kSlotKey) || it.value().isNull()) {
        continue;
      }
      const std::string key = it.key().toStdString();
      const EntryField* field = FindWeaponField(applier.Kind(), slot, key);
      if (field == nullptr) {
        applier.Problem(WeaponPlace(position, key), UnknownFieldText());
      }
      applier.SetValue(*field, JsonNumber(it.value()));
    }
  }
}

// Raw bytes as a JSON array of numbers.
EditValue JsonRawBytes(const EntryField& field, const QJsonArray& array) {
  std::vector<int64_t> bytes;
  std::string text = "[";
  bool numbers = true;
  for (const QJsonValue byte : array) {
    const EditValue input = JsonNumber(byte);
    text += (bytes.empty() ? "" : ", ") + input.text;
    numbers = numbers && input.value.has_value();
    bytes.push_back(input.value.value_or(-1));
  }
  return EditValue{text + "]", numbers ? RawBytesValue(field, bytes) : std::nullopt};
}

void ApplyJsonEntry(const QJsonObject& entry, EditApplier& applier) {
  if (!entry.contains(QLatin1String(kEntryIndexKey))) {
    applier.Problem(kEntryIndexKey, MissingEntryIndexText());
  }
  applier.BeginEntry(JsonNumber(entry.value(QLatin1String(kEntryIndexKey))));
  for (auto it = entry.begin(); it != entry.end(); ++it) {
    const std::string key = it.key().toStdString();
    const QJsonValue value = it.value();
    if (key == kEntryIndexKey || value.isNull()) {
      continue;  // null, like an empty CSV cell, changes nothing
    }
    if (key == kKindKey) {
      applier.CheckKind(JsonText(value));
      continue;
    }
    if (key == kWeaponsKey) {
      ApplyJsonWeapons(value, applier);
      continue;
    }
    const int language = NameKeyIndex(key);
    if (language >= 0) {
      if (!value.isString()) {
        applier.Problem(key, ExpectedStringText());
      }
      applier.CheckName(language, value.toString().toStdString());
      continue;
    }
    const EntryField* field = FindEntryField(applier.Kind(), key);
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
                                    const QJsonArray& entries, const std::string& source,
                                    EditApplier& applier) {
  // The steps to the entries array: none for a top-level array, "entries" otherwise.
  const size_t toEntries = topIsArray ? 0 : 1;
  const qsizetype position = repeated.path.size() > toEntries ? repeated.path[toEntries].index : -1;
  if (position < 0 || position >= entries.size()) {
    // Not inside an entry that is read (a top-level key, or an "entries" that is not the last).
    throw VarskError(
        EditErrorMessage(source, 0, JsonPathText(repeated.path, repeated.key), RepeatedKeyText()));
  }
  applier.SetPlace(JsonPlace(source, position));
  const std::vector<JsonStep> inside(repeated.path.begin() + static_cast<ptrdiff_t>(toEntries) + 1,
                                     repeated.path.end());
  const QJsonObject entry = entries.at(position).toObject();
  const bool entryIndexRepeated = inside.empty() && repeated.key == kEntryIndexKey;
  if (!entryIndexRepeated && entry.contains(QLatin1String(kEntryIndexKey))) {
    applier.BeginEntry(JsonNumber(entry.value(QLatin1String(kEntryIndexKey))));
  }
  applier.Problem(JsonPathText(inside, repeated.key), RepeatedKeyText());
}

void ApplyJsonEdits(const QByteArray& text, const std::string& source, EditApplier& applier) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(text, &error);
  if (error.error != QJsonParseError::NoError) {
    throw VarskError(JsonErrorMessage(source, error.offset, error.errorString().toStdString()));
  }
  QJsonArray entries;
  if (document.isArray()) {
    entries = document.array();
  } else {
    const QJsonObject top = document.object();
    for (auto it = top.begin(); it != top.end(); ++it) {
      if (it.key() != QLatin1String(kEntriesKey)) {
        throw VarskError(
            JsonErrorMessage(source, -1, UnknownTopLevelKeyText(it.key().toStdString())));
      }
    }
    if (!top.value(QLatin1String(kEntriesKey)).isArray()) {
      throw VarskError(JsonErrorMessage(source, -1, MissingEntriesText()));
    }
    entries = top.value(QLatin1String(kEntriesKey)).toArray();
  }
  if (const std::optional<RepeatedJsonKey> repeated =
          FindRepeatedKey(std::string_view(text.constData(), static_cast<size_t>(text.size())))) {
    ReportRepeatedKey(*repeated, document.isArray(), entries, source, applier);
  }
  for (qsizetype i = 0; i < entries.size(); ++i) {
    applier.SetPlace(JsonPlace(source, i));
    if (!entries.at(i).isObject()) {
      applier.Problem({}, ExpectedObjectText());
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

void ApplyEdits(const QByteArray& text, const std::string& source, const EntryNameOf& names,
                DataSet& dataSet) {
  EditApplier applier(source, names, dataSet);
  QByteArray body = text;
  if (body.startsWith("\xEF\xBB\xBF")) {
    body.remove(0, 3);
  }
  if (body.trimmed().isEmpty()) {
    throw VarskError(EditFileEmptyMessage(source));
  }
  if (LooksLikeJson(body)) {
    ApplyJsonEdits(body, source, applier);
  } else {
    ApplyCsvEdits(std::string_view(body.constData(), static_cast<size_t>(body.size())), source,
                  applier);
  }
}

}  // namespace varsk::cli
