// The records as text: the JSON and CSV dumps, and reading an edit file in
// either form. Both follow the core's table of entry fields (data/entry_fields.h).
#pragma once

#include <QByteArray>
#include <QString>

#include "cli/unit_records.h"
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

}  // namespace varsk::cli
