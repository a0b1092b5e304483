#include "data/entry_fields.h"

#include <cstring>
#include <functional>
#include <vector>

#include "base/number_text.h"
#include "base/text_to_number.h"

namespace varsk {

namespace {

template <typename Record>
int64_t ValueIn(const Record& record, const EntryField& field) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record) + field.recordOffset;
  if (field.coding == FieldCoding::RawBytes) {
    int64_t value = 0;
    for (int i = field.bits / 8 - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
  }
  int32_t value = 0;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

template <typename Record>
void SetValueIn(Record& record, const EntryField& field, int64_t value) {
  auto* bytes = reinterpret_cast<uint8_t*>(&record) + field.recordOffset;
  if (field.coding == FieldCoding::RawBytes) {
    for (int i = 0; i < field.bits / 8; ++i) {
      bytes[i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
    }
    return;
  }
  const auto number = static_cast<int32_t>(value);
  std::memcpy(bytes, &number, sizeof number);
}

bool IsRowOf(EntryKind kind, const EntryField& field) {
  const std::span<const EntryField> rows = EntryFields(kind);
  const std::less<const EntryField*> before;
  return !rows.empty() && !before(&field, rows.data()) && before(&field, rows.data() + rows.size());
}

bool Contains(const std::vector<const char*>& names, std::string_view name) {
  for (const char* known : names) {
    if (name == known) return true;
  }
  return false;
}

// Ship names that MS entries lack go before the next name both kinds share.
std::vector<const char*> MergedColumns() {
  std::vector<const char*> msNames;
  std::vector<const char*> shipNames;
  for (const EntryField& field : kMsFields) msNames.push_back(field.name);
  for (const EntryField& field : kShipFields) shipNames.push_back(field.name);
  std::vector<const char*> columns;
  size_t ship = 0;
  for (const char* name : msNames) {
    for (size_t at = ship; at < shipNames.size(); ++at) {
      if (name == std::string_view(shipNames[at])) {
        for (; ship < at; ++ship) {
          if (!Contains(msNames, shipNames[ship])) columns.push_back(shipNames[ship]);
        }
        ship = at + 1;
        break;
      }
    }
    columns.push_back(name);
  }
  for (; ship < shipNames.size(); ++ship) {
    if (!Contains(msNames, shipNames[ship])) columns.push_back(shipNames[ship]);
  }
  return columns;
}

}  // namespace

std::span<const EntryField> EntryFields(EntryKind kind) {
  switch (kind) {
    case EntryKind::Ms:
      return kMsFields;
    case EntryKind::Ship:
      return kShipFields;
    case EntryKind::None:
      break;
  }
  return {};
}

const EntryField* FindEntryField(EntryKind kind, std::string_view name) {
  for (const EntryField& field : EntryFields(kind)) {
    if (name == field.name) return &field;
  }
  return nullptr;
}

const EntryField* FindWeaponField(EntryKind kind, int slot, std::string_view key) {
  for (const EntryField& field : EntryFields(kind)) {
    if (field.weaponSlot == slot && slot >= 0 && key == field.key) return &field;
  }
  return nullptr;
}

std::span<const char* const> FieldColumns() {
  static const std::vector<const char*> columns = MergedColumns();
  return columns;
}

const char* EntryKindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::Ms:
      return "ms";
    case EntryKind::Ship:
      return "ship";
    case EntryKind::None:
      break;
  }
  return "none";
}

int64_t FieldValue(const MsRecord& record, const EntryField& field) {
  return ValueIn(record, field);
}
int64_t FieldValue(const ShipRecord& record, const EntryField& field) {
  return ValueIn(record, field);
}
void SetFieldValue(MsRecord& record, const EntryField& field, int64_t value) {
  SetValueIn(record, field, value);
}
void SetFieldValue(ShipRecord& record, const EntryField& field, int64_t value) {
  SetValueIn(record, field, value);
}

std::optional<int64_t> EntryFieldValue(const DataSet& dataSet, int entryIndex,
                                       const EntryField& field) {
  if (const MsRecord* ms = MsOfEntry(dataSet, entryIndex); ms && IsRowOf(EntryKind::Ms, field)) {
    return ValueIn(*ms, field);
  }
  if (const ShipRecord* ship = ShipOfEntry(dataSet, entryIndex);
      ship && IsRowOf(EntryKind::Ship, field)) {
    return ValueIn(*ship, field);
  }
  return std::nullopt;
}

bool SetEntryFieldValue(DataSet& dataSet, int entryIndex, const EntryField& field, int64_t value) {
  if (MsRecord* ms = MsOfEntry(dataSet, entryIndex); ms && IsRowOf(EntryKind::Ms, field)) {
    SetValueIn(*ms, field, value);
    return true;
  }
  if (ShipRecord* ship = ShipOfEntry(dataSet, entryIndex);
      ship && IsRowOf(EntryKind::Ship, field)) {
    SetValueIn(*ship, field, value);
    return true;
  }
  return false;
}

std::optional<ValueNotHeld> FindValueNotHeld(const DataSet& dataSet) {
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    for (const EntryField& field : EntryFields(KindOfEntry(dataSet, entry))) {
      const int64_t value = *EntryFieldValue(dataSet, entry, field);
      if (!field.Holds(value)) return ValueNotHeld{entry, &field, value};
    }
  }
  return std::nullopt;
}

std::string FieldValueText(const EntryField& field, int64_t value) {
  if (field.coding != FieldCoding::RawBytes) return std::to_string(value);
  std::string text;
  for (int i = 0; i < field.bits / 8; ++i) {
    if (i > 0) text += ' ';
    text += FormatHex2(static_cast<int32_t>((static_cast<uint64_t>(value) >> (8 * i)) & 0xFFu));
  }
  return text;
}

std::optional<int64_t> FieldValueFromText(const EntryField& field, std::string_view text) {
  if (field.coding != FieldCoding::RawBytes) return TryParseInteger(text);
  std::vector<int64_t> bytes;
  size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == ' ' || text[pos] == '\t') {
      ++pos;
      continue;
    }
    size_t end = pos;
    int64_t byte = 0;
    for (; end < text.size() && HexDigitValue(text[end]) >= 0; ++end) {
      if (end - pos == 2) return std::nullopt;  // a byte has one or two digits
      byte = byte * 16 + HexDigitValue(text[end]);
    }
    const bool blankFollows = end == text.size() || text[end] == ' ' || text[end] == '\t';
    if (end == pos || !blankFollows || bytes.size() == static_cast<size_t>(field.RomByteCount())) {
      return std::nullopt;
    }
    bytes.push_back(byte);
    pos = end;
  }
  return RawBytesValue(field, bytes);
}

std::optional<int64_t> RawBytesValue(const EntryField& field, std::span<const int64_t> bytes) {
  if (field.coding != FieldCoding::RawBytes ||
      bytes.size() != static_cast<size_t>(field.RomByteCount())) {
    return std::nullopt;
  }
  int64_t value = 0;
  for (size_t i = bytes.size(); i-- > 0;) {
    if (bytes[i] < 0 || bytes[i] > 255) return std::nullopt;
    value = (value << 8) | bytes[i];
  }
  return value;
}

}  // namespace varsk
