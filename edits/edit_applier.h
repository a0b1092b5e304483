// The checks that apply the values of an edit file to the records, whichever
// format carries them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "data/data_set.h"
#include "data/entry_fields.h"
#include "edits/edit_keys.h"

namespace varsk {

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
  // Where the next values of the same entry come from (a cell of a pasted block).
  void SetValuePlace(std::string place) { place_ = std::move(place); }
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

}  // namespace varsk
