// The records as text: the dump in JSON and CSV, and the checks that apply an
// edit file (a complete or partial dump) to the records. Both follow the
// table of entry fields; names are given decoded, as the window shows them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "data/data_set.h"
#include "data/entry_fields.h"
#include "data/name_list.h"

namespace varsk {

// The name of entry `entryIndex` (1..229) in one list as UTF-8 text, empty
// when the list has no such line. An empty function: no name lists.
using EntryNameOf = std::function<std::string(int entryIndex, NameListLanguage language)>;

// The keys around the field names in a dump or edit file: the JSON document
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
int NameKeyIndex(std::string_view key);

// The dump of entries 1..229 (whatever entries the counts make), with the
// names when `names` is set.
std::string DumpJson(const DataSet& dataSet, const EntryNameOf& names);
std::string DumpCsv(const DataSet& dataSet, const EntryNameOf& names);

// A value as an edit file gives it: its text for messages, and its value when
// it is one at all.
struct EditValue {
  std::string text;
  std::optional<int64_t> value;
};

// Checks and applies the values of one edit file to `dataSet`, which holds the
// current records. Every value must fit the ROM; values the ROM does not carry
// (and names, when `names` is set) may only repeat their current value. Every
// fault throws VarskError "<place>: entry <n>, field <f>: <problem>".
class EditApplier {
 public:
  EditApplier(std::string source, EntryNameOf names, DataSet& dataSet);

  // Where the following values come from ("edits.csv line 7"); no entry yet.
  void SetPlace(std::string place);
  // The entry the following values are for; each entry may be edited once.
  void BeginEntry(const EditValue& entryIndex);
  EntryKind Kind() const { return kind_; }
  void CheckKind(std::string_view text) const;
  // `nameKey`: a position in kNameKeys.
  void CheckName(int nameKey, std::string_view text) const;
  // Fails for a field that the entry's kind lacks.
  [[noreturn]] void NoSuchField(std::string_view name) const;
  // Sets a field of the entry (a row of its kind's table); each field once.
  void SetValue(const EntryField& field, const EditValue& input);
  [[noreturn]] void Problem(std::string_view field, std::string_view problem) const;

 private:
  std::string source_;
  std::string place_;
  EntryNameOf names_;
  DataSet& dataSet_;
  int entry_ = 0;
  EntryKind kind_ = EntryKind::None;
  std::map<int, std::string> entriesSeen_;
  std::set<const EntryField*> fieldsSet_;  // of the current entry
};

// Applies the rows of a CSV edit file: a header of dump columns (entryIndex
// required), then one row per entry; an empty cell changes nothing.
void ApplyCsvEdits(std::string_view text, const std::string& source, EditApplier& applier);

}  // namespace varsk
