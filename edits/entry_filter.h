// Narrowing the catalogue by words and conditions, all of which an entry must
// meet. The catalogue table filters its rows with it, and varsk-units can
// narrow a dump with it.
//
//   words       each matches the entry's number ("12", "012") or any of its
//               names, in any case ("ramp", "守望"); "two words" in quotes
//               are one word
//   conditions  FIELD OP VALUE, without blanks: hp>300 cost<=200 w2.ammo<0
//               kind=ship; OP is one of = == != < <= > >=; FIELD is a column
//               of the dump (entryIndex, kind, and every field of the table
//               of entry fields); kind takes ms or ship, the others a number
//
// An entry whose kind lacks the field of a condition does not meet it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_set.h"
#include "data/entry_fields.h"
#include "edits/edit_keys.h"

namespace varsk {

struct EntryFilter {
  enum class Op { Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };
  struct Condition {
    std::string column;  // "hp", "entryIndex", "kind"
    Op op = Op::Equal;
    int64_t value = 0;                 // the number, or for kind the EntryKind
    EntryKind kind = EntryKind::None;  // kind conditions only
  };
  std::vector<std::string> words;  // ASCII letters in lower case
  std::vector<Condition> conditions;

  bool Empty() const { return words.empty() && conditions.empty(); }
};

// Reads a filter. Throws VarskError naming the condition or word at fault and
// what is wrong with it.
EntryFilter ParseEntryFilter(std::string_view text);

// Whether entry `entryIndex` (1..229) meets every word and condition; `names`
// gives its names (an empty function: words match the number only).
bool EntryMeets(const EntryFilter& filter, const DataSet& dataSet, int entryIndex,
                const EntryNameOf& names);

}  // namespace varsk
