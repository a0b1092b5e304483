// The keys of an edit file around the field names (entries, entryIndex, kind,
// weapons, slot and the three names), and where the entries' names come from.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "data/name_list.h"

namespace varsk {

// The name of entry `entryIndex` (1..229) in one list as UTF-8 text, empty
// when the list has no such line. An empty function: no name lists.
using EntryNameOf = std::function<std::string(int entryIndex, NameListLanguage language)>;

// The keys around the field names in an edit file: the JSON document
// {"entries": [{"entryIndex": n, "kind": k, <fields>, "weapons": [{"slot": s,
// <values>}, ...]}, ...]}, and the first two columns of the CSV.
inline constexpr char kEntriesKey[] = "entries";
inline constexpr char kEntryIndexKey[] = "entryIndex";
inline constexpr char kKindKey[] = "kind";
inline constexpr char kWeaponsKey[] = "weapons";
inline constexpr char kSlotKey[] = "slot";

// The dump's name keys, in its order, with their lists.
inline constexpr std::array<const char*, 3> kNameKeys = {"nameE", "nameC", "nameJ"};
inline constexpr std::array<NameListLanguage, 3> kNameKeyLanguages = {
    NameListLanguage::E, NameListLanguage::C, NameListLanguage::J};
// The position of `key` in kNameKeys, or -1.
constexpr int NameKeyIndex(std::string_view key) {
  for (size_t i = 0; i < kNameKeys.size(); ++i) {
    if (key == kNameKeys[i]) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace varsk
