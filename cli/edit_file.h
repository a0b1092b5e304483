// Reading an edit file (a complete or partial dump, JSON or CSV) onto the
// records: JSON through Qt's reader, CSV and every check by the core
// (data/record_text.h).
#pragma once

#include <QByteArray>
#include <string>

#include "data/data_set.h"
#include "data/record_text.h"

namespace varsk::cli {

// Applies an edit file (JSON when its first character is '{' or '[', else CSV)
// to `dataSet`, which holds the current records, with EditApplier's checks.
// On the first fault throws VarskError naming the place, the entry, the field,
// the value and the allowed range; `dataSet` is then partly edited and must be
// thrown away. `source` names the file in messages.
void ApplyEdits(const QByteArray& text, const std::string& source, const EntryNameOf& names,
                DataSet& dataSet);

}  // namespace varsk::cli
