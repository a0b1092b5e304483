// Edit files: the records as CSV or JSON text, both directions. The dump
// writes every value of every entry, the diff the values that changed, and
// the import reads either (a complete or partial dump) back onto the records.
// Fields are named and written as the table of entry fields names and writes
// them; names are given decoded, as the window shows them.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "data/data_set.h"
#include "edits/edit_keys.h"
#include "patch/record_diff.h"

namespace varsk {

// The dump of entries 1..229 (whatever entries the counts make), with the
// names when `names` is set.
std::string DumpJson(const DataSet& dataSet, const EntryNameOf& names);
std::string DumpCsv(const DataSet& dataSet, const EntryNameOf& names);

// The new values of `changes` as an edit file that the import applies, one
// row (or object) per changed entry with entryIndex, kind and the changed
// fields only; an entry changed twice takes its last value. CSV: CRLF line
// ends, the dump's column names and order; JSON: {"entries": [...]}, weapon
// values as {"slot": s, ...} objects.
std::string EditsCsv(std::span<const FieldChange> changes);
std::string EditsJson(std::span<const FieldChange> changes);

// Applies an edit file (JSON when its first character after a UTF-8 byte order
// mark and blanks is '{' or '[', else CSV) to `dataSet`, which holds the
// current records. Every value must fit the ROM; values the ROM does not
// carry (and names, when `names` is set) may only repeat their current value.
// On the first fault throws VarskError "<place>: entry <n>, field <f>:
// <problem>" naming the place, the entry, the field, the value and the
// allowed range; `dataSet` is then partly edited and must be thrown away.
// `source` names the file in messages.
void ApplyEdits(std::string_view text, const std::string& source, const EntryNameOf& names,
                DataSet& dataSet);

}  // namespace varsk
