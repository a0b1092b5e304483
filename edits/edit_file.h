// Edit files: the records as CSV or JSON text, both directions. The dump
// writes every value of every entry, the diff the values that changed, and
// the import reads either (a complete or partial dump) back onto the records.
// Fields are named and written as the table of entry fields names and writes
// them; names are given decoded, as the window shows them.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_set.h"
#include "edits/edit_keys.h"
#include "edits/entry_filter.h"
#include "patch/record_diff.h"

namespace varsk {

// What of the records a dump shows: the entries that meet `filter` (the
// catalogue's filter syntax; every entry when it is empty), and of each entry
// entryIndex and the `columns` named (every column when there are none), in
// the dump's order.
struct DumpChoice {
  EntryFilter filter;
  std::vector<std::string> columns;
};
// The columns of "--fields a,b,c": dump column names separated by commas.
// Throws VarskError for an unknown one, naming the nearest known column.
std::vector<std::string> ParseDumpColumns(std::string_view list);

// The dump of entries 1..229 (whatever entries the counts make), with the
// names when `names` is set, narrowed by `choice`.
std::string DumpJson(const DataSet& dataSet, const EntryNameOf& names,
                     const DumpChoice& choice = {});
std::string DumpCsv(const DataSet& dataSet, const EntryNameOf& names,
                    const DumpChoice& choice = {});

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

// Cells pasted into the catalogue table: tab-separated text, as spreadsheets
// and the table copy it. A block whose first row names the dump's columns,
// entryIndex among them, is an edit file (ApplyEdits, source
// kPastedCellsSource); any other block goes cell by cell to where the table
// puts it.
struct CellEdit {
  int entryIndex = 0;
  std::string column;  // a column of the dump: "hp", "w2.weaponId", "nameE"
  std::string text;
  int blockRow = -1;  // where the cell stands in a pasted block, from 0; -1: edited in place
  int blockColumn = -1;
};
// The rows of cells of pasted text. Throws VarskError when the text is larger
// than an edit file may be, separated by commas instead of tabs, not UTF-8,
// has a quote not closed, or holds nothing.
std::vector<std::vector<std::string>> PastedRows(std::string_view text);
// Whether `cells`, a block's first row, names dump columns with entryIndex.
bool IsEditHeader(std::span<const std::string> cells);
// Applies `cells`, each to its entry and column, with the checks of
// ApplyEdits; an empty cell changes nothing, and the number, kind and names
// may only repeat the entry's own. Throws VarskError naming the cell (of a
// pasted block; an edited cell is "edited cell"), the entry, the field and
// the value at fault; `dataSet` is then partly edited and must be thrown away.
void ApplyCellEdits(std::span<const CellEdit> cells, const EntryNameOf& names, DataSet& dataSet);

}  // namespace varsk
