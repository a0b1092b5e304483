// The records as text: the JSON and CSV dumps, reading an edit file in either
// form, and the list of values that differ between two sets of records.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "cli/cli_common.h"
#include "data/data_set.h"

namespace varsk::cli {

// The dump of entries 1..229 (whatever entries the counts make). Names are
// written when `names` is not null.
QByteArray DumpJson(const DataSet& dataSet, const NameLists* names);
QByteArray DumpCsv(const DataSet& dataSet, const NameLists* names);

// Applies an edit file (JSON when its first character is '{' or '[', else CSV)
// to `dataSet`, which holds the current records. Every value must fit the ROM;
// values the ROM does not carry (and names, when `names` is given) may only
// repeat their current value. On the first fault throws VarskError naming the
// place, the entry, the field, the value and the allowed range; `dataSet` is
// then partly edited and must be thrown away. `source` names the file in messages.
void ApplyEdits(const QByteArray& text, const QString& source, const NameLists* names,
                DataSet& dataSet);

// One value of the dump that differs between two sets of records.
struct ValueChange {
  int entryIndex = 0;
  QString field;  // "hp", "w2.ammo", "rawBytes"
  QString before;
  QString after;
};

// Every stat field, the weapon values of slots 0..7 and rawBytes, entry by entry.
std::vector<ValueChange> CompareRecords(const DataSet& before, const DataSet& after);

// Throws VarskError when a value that the ROM stores does not fit its packed
// field (for example after Auto modify); `what` starts the message.
void CheckRecordsFitRom(const DataSet& dataSet, const QString& what);

}  // namespace varsk::cli
