// The JSON edit file: {"entries": [{"entryIndex": n, "kind": k, <fields>,
// "weapons": [{<values>}, ...]}, ...]}, written and read here.
#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/messages.h"
#include "data/entry_fields.h"
#include "edits/edit_formats.h"
#include "edits/json_document.h"

namespace varsk {

// ---------------------------------------------------------------------------
// Writing

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

void AppendDecimal(std::string& out, int64_t value) {
  char digits[24];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// A value: decimal, RawBytes as "[3, 20, 1, 1]".
void AppendValue(std::string& out, const EntryField& field, int64_t value) {
  if (field.coding != FieldCoding::RawBytes) {
    AppendDecimal(out, value);
    return;
  }
  out += '[';
  for (int i = 0; i < field.bits / 8; ++i) {
    if (i > 0) out += ", ";
    AppendDecimal(out, static_cast<int64_t>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFFu));
  }
  out += ']';
}

// "<key>": (the keys are names of the format, plain ASCII)
void AppendKey(std::string& out, const char* key) {
  out += '"';
  out += key;
  out += "\": ";
}

}  // namespace

std::string WriteJsonEdits(std::span<const EditEntry> entries, EditLayout layout,
                           const EntryNameOf& names, const ColumnChoice& columns) {
  const bool dump = layout == EditLayout::Dump;
  // What comes between two values of an entry, and between two weapon slots.
  const char* const valueBreak = dump ? ",\n      " : ", ";
  const char* const slotBreak = dump ? ",\n        " : ", ";
  std::string out;
  if (dump) out.reserve(512 * 1024);
  out += dump ? "{\n  " : "{";
  AppendKey(out, kEntriesKey);
  out += '[';
  for (const EditEntry& entry : entries) {
    if (&entry != entries.data()) out += ',';
    out += dump ? "\n    {\n      " : "\n  {";
    AppendKey(out, kEntryIndexKey);
    AppendDecimal(out, entry.entryIndex);
    if (columns.Shows(kKindKey)) {
      out += valueBreak;
      AppendKey(out, kKindKey);
      out += '"';
      out += EntryKindName(entry.kind);
      out += '"';
    }
    for (size_t i = 0; dump && names && i < kNameKeys.size(); ++i) {
      if (!columns.Shows(kNameKeys[i])) continue;
      out += valueBreak;
      AppendKey(out, kNameKeys[i]);
      AppendJsonString(out, names(entry.entryIndex, kNameKeyLanguages[i]));
    }
    const std::span<const EntryField> fields = EntryFields(entry.kind);
    for (size_t f = 0; f < fields.size(); ++f) {
      if (fields[f].weaponSlot >= 0 || !columns.Shows(fields[f].name)) continue;
      const std::optional<int64_t> value = entry.Value(fields[f]);
      if (!value) continue;
      out += valueBreak;
      AppendKey(out, fields[f].key);
      AppendValue(out, fields[f], *value);
    }
    // One object per weapon slot that has values (a slot's rows stand together,
    // slot after slot): a whole dump's slots stand in order; the diff's, and a
    // dump of chosen columns (where slots are left out), say which slot they
    // are, so that import puts every value back where it came from.
    const bool slotKeys = !dump || !columns.All();
    int openSlot = -1;
    for (size_t f = 0; f < fields.size(); ++f) {
      if (fields[f].weaponSlot < 0 || !columns.Shows(fields[f].name)) continue;
      const std::optional<int64_t> value = entry.Value(fields[f]);
      if (!value) continue;
      if (fields[f].weaponSlot == openSlot) {
        out += ", ";
      } else {
        if (openSlot >= 0) {
          out += '}';
          out += slotBreak;
        } else {
          out += valueBreak;
          AppendKey(out, kWeaponsKey);
          out += dump ? "[\n        " : "[";
        }
        openSlot = fields[f].weaponSlot;
        out += '{';
        if (slotKeys) {
          AppendKey(out, kSlotKey);
          AppendDecimal(out, openSlot);
          out += ", ";
        }
      }
      AppendKey(out, fields[f].key);
      AppendValue(out, fields[f], *value);
    }
    if (openSlot >= 0) out += dump ? "}\n      ]" : "}]";
    out += dump ? "\n    }" : "}";
  }
  if (dump) {
    out += "\n  ]\n}\n";
  } else {
    out += entries.empty() ? "]}\n" : "\n]}\n";
  }
  return out;
}

// ---------------------------------------------------------------------------
// Reading

namespace {

using Type = JsonValue::Type;

// The value of a JSON number, exactly, when it is a whole number that an
// int64_t holds: "250", "250.0", "2.5e2" and "25000e-2" are 250;
// "250.0000000000000001" and "1e-400" are no whole number. `text` is a number
// as the reader checked it: -?digits(.digits)?([eE][+-]?digits)?.
std::optional<int64_t> WholeNumber(std::string_view text) {
  size_t pos = 0;
  const bool negative = text.starts_with('-');
  if (negative) ++pos;
  std::string digits;    // every digit of the number, without the point
  int64_t exponent = 0;  // the value is digits * 10^exponent
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) digits += text[pos];
  if (pos < text.size() && text[pos] == '.') {
    for (++pos; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
      digits += text[pos];
      --exponent;
    }
  }
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    const bool exponentNegative = pos < text.size() && text[pos] == '-';
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) ++pos;
    // Beyond a million the value is no int64_t either way.
    int64_t written = 0;
    for (; pos < text.size(); ++pos)
      written = std::min<int64_t>(written * 10 + text[pos] - '0', 1 << 20);
    exponent += exponentNegative ? -written : written;
  }
  digits.erase(0, digits.find_first_not_of('0'));
  if (digits.empty()) return 0;
  while (digits.back() == '0') {
    digits.pop_back();
    ++exponent;
  }
  if (exponent < 0) return std::nullopt;  // a fraction remains
  // 2^63 has 19 digits.
  if (static_cast<int64_t>(digits.size()) + exponent > 19) return std::nullopt;
  digits.append(static_cast<size_t>(exponent), '0');
  uint64_t magnitude = 0;
  for (const char c : digits) {
    const uint64_t digit = static_cast<uint64_t>(c - '0');
    if (magnitude > (UINT64_MAX - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  const uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
  if (magnitude > limit) return std::nullopt;
  return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

// Reads the entries of a JSON edit file onto the records through `applier`.
class JsonEditsReader {
 public:
  JsonEditsReader(const JsonDocument& document, const std::string& source, EditApplier& applier)
      : document_(document), source_(source), applier_(applier) {}

  void Read() {
    const JsonValue& top = document_.Top();
    const bool topIsArray = top.type == Type::Array;
    const JsonValue* entries = &top;
    if (!topIsArray) {
      for (const JsonMember& member : document_.Members(top)) {
        if (document_.Key(member) != kEntriesKey) {
          throw VarskError(
              JsonErrorMessage(source_, -1, UnknownTopLevelKeyText(document_.Key(member))));
        }
      }
      entries = document_.Member(top, kEntriesKey);
      if (entries == nullptr || entries->type != Type::Array) {
        throw VarskError(JsonErrorMessage(source_, -1, MissingEntriesText()));
      }
    }
    if (document_.Repeated()) {
      ReportRepeatedKey(*document_.Repeated(), topIsArray, document_.Items(*entries));
    }
    const std::span<const JsonValue> items = document_.Items(*entries);
    for (size_t i = 0; i < items.size(); ++i) {
      applier_.SetPlace(JsonPlace(source_, static_cast<int64_t>(i)));
      if (items[i].type != Type::Object) {
        applier_.Problem({}, ExpectedObjectText());
      }
      ApplyEntry(items[i]);
    }
  }

 private:
  // A JSON value where the edit file wants a number: its text as a message
  // quotes it, and its value when it is a whole number. Null is quoted as an
  // object is.
  EditValue Number(const JsonValue& value) const {
    const std::string_view text = document_.Text(value);
    switch (value.type) {
      case Type::Number:
        return EditValue{std::string(text), WholeNumber(text)};
      case Type::String:
        return EditValue{'"' + std::string(text) + '"', std::nullopt};
      case Type::True:
        return EditValue{"true", std::nullopt};
      case Type::False:
        return EditValue{"false", std::nullopt};
      case Type::Array:
        return EditValue{"[...]", std::nullopt};
      case Type::Null:
      case Type::Object:
        break;
    }
    return EditValue{"{...}", std::nullopt};
  }

  std::string Text(const JsonValue& value) const {
    return value.type == Type::String ? std::string(document_.Text(value)) : Number(value).text;
  }

  // "weapons[2]", then ".<key>" when `key` is not empty.
  static std::string WeaponPlace(size_t position, std::string_view key = {}) {
    return JsonPathText(
        {JsonStep{kWeaponsKey}, JsonStep{std::string(), static_cast<int64_t>(position)}},
        std::string(key));
  }

  void ApplyWeapons(const JsonValue& weapons) {
    if (weapons.type != Type::Array) {
      applier_.Problem(kWeaponsKey, ExpectedArrayText());
    }
    const std::span<const JsonValue> items = document_.Items(weapons);
    if (items.size() > kShownWeaponSlots) {
      applier_.Problem(kWeaponsKey, TooManyWeaponsText(static_cast<int64_t>(items.size())));
    }
    for (size_t position = 0; position < items.size(); ++position) {
      const JsonValue& weapon = items[position];
      if (weapon.type == Type::Null) {
        continue;  // this slot keeps its values
      }
      if (weapon.type != Type::Object) {
        applier_.Problem(WeaponPlace(position), ExpectedObjectText());
      }
      // A "slot" key addresses a slot directly; otherwise the position does.
      int slot = static_cast<int>(position);
      if (const JsonValue* slotValue = document_.Member(weapon, kSlotKey)) {
        const EditValue input = Number(*slotValue);
        if (!input.value || *input.value < 0 || *input.value >= kShownWeaponSlots) {
          applier_.Problem(WeaponPlace(position, kSlotKey),
                           OutOfRangeText(input.text, 0, kShownWeaponSlots - 1));
        }
        slot = static_cast<int>(*input.value);
      }
      for (const JsonMember& member : document_.Members(weapon)) {
        const std::string_view key = document_.Key(member);
        if (key == kSlotKey || member.value.type == Type::Null) {
          continue;
        }
        const EntryField* field = FindWeaponField(applier_.Kind(), slot, key);
        if (field == nullptr) {
          applier_.Problem(WeaponPlace(position, key), UnknownFieldText());
        }
        applier_.SetValue(*field, Number(member.value));
      }
    }
  }

  // Raw bytes as a JSON array of numbers.
  EditValue RawBytes(const EntryField& field, const JsonValue& array) const {
    std::vector<int64_t> bytes;
    std::string text = "[";
    bool numbers = true;
    for (const JsonValue& byte : document_.Items(array)) {
      const EditValue input = Number(byte);
      text += (bytes.empty() ? "" : ", ") + input.text;
      numbers = numbers && input.value.has_value();
      bytes.push_back(input.value.value_or(-1));
    }
    return EditValue{text + "]", numbers ? RawBytesValue(field, bytes) : std::nullopt};
  }

  void ApplyEntry(const JsonValue& entry) {
    const JsonValue* entryIndex = document_.Member(entry, kEntryIndexKey);
    if (entryIndex == nullptr) {
      applier_.Problem(kEntryIndexKey, MissingEntryIndexText());
    }
    applier_.BeginEntry(Number(*entryIndex));
    for (const JsonMember& member : document_.Members(entry)) {
      const std::string_view key = document_.Key(member);
      const JsonValue& value = member.value;
      if (key == kEntryIndexKey || value.type == Type::Null) {
        continue;  // null, like an empty CSV cell, changes nothing
      }
      if (key == kKindKey) {
        applier_.CheckKind(Text(value));
        continue;
      }
      if (key == kWeaponsKey) {
        ApplyWeapons(value);
        continue;
      }
      const int language = NameKeyIndex(key);
      if (language >= 0) {
        if (value.type != Type::String) {
          applier_.Problem(key, ExpectedStringText());
        }
        applier_.CheckName(language, document_.Text(value));
        continue;
      }
      const EntryField* field = FindEntryField(applier_.Kind(), key);
      if (field == nullptr) {
        applier_.NoSuchField(key);
      }
      if (field->weaponSlot >= 0) {
        applier_.Problem(key, UnknownFieldText());  // weapon values live in "weapons" only
      }
      if (field->coding != FieldCoding::RawBytes) {
        applier_.SetValue(*field, Number(value));
      } else if (value.type == Type::Array) {
        applier_.SetValue(*field, RawBytes(*field, value));
      } else {
        applier_.Problem(key, ExpectedArrayText());
      }
    }
  }

  // Fails naming the entry (its position, and its number where that is not
  // the repeated key) and the key that appears twice.
  [[noreturn]] void ReportRepeatedKey(const RepeatedJsonKey& repeated, bool topIsArray,
                                      std::span<const JsonValue> entries) {
    // The steps to the entries array: none for a top-level array, "entries" otherwise.
    const size_t toEntries = topIsArray ? 0 : 1;
    const int64_t position = repeated.path.size() > toEntries ? repeated.path[toEntries].index : -1;
    if (position < 0 || position >= static_cast<int64_t>(entries.size())) {
      // Not inside an entry that is read (a top-level key, or an "entries" that is not the last).
      throw VarskError(EditErrorMessage(source_, 0, JsonPathText(repeated.path, repeated.key),
                                        RepeatedKeyText()));
    }
    applier_.SetPlace(JsonPlace(source_, position));
    const std::vector<JsonStep> inside(
        repeated.path.begin() + static_cast<ptrdiff_t>(toEntries) + 1, repeated.path.end());
    const JsonValue* entryIndex =
        document_.Member(entries[static_cast<size_t>(position)], kEntryIndexKey);
    const bool entryIndexRepeated = inside.empty() && repeated.key == kEntryIndexKey;
    if (!entryIndexRepeated && entryIndex != nullptr) {
      applier_.BeginEntry(Number(*entryIndex));
    }
    applier_.Problem(JsonPathText(inside, repeated.key), RepeatedKeyText());
  }

  const JsonDocument& document_;
  const std::string& source_;
  EditApplier& applier_;
};

}  // namespace

void ReadJsonEdits(std::string_view text, const std::string& source, EditApplier& applier) {
  const JsonDocument document(text, source);
  JsonEditsReader(document, source, applier).Read();
}

}  // namespace varsk
