// The report of the values that an import or Auto modify would change.
#pragma once

#include <QByteArray>
#include <vector>

#include "cli/cli_common.h"
#include "cli/record_text.h"

namespace varsk::cli {

// A dry run's report: one line per change, "entry 12 (<name>): hp 200 -> 250",
// then the summary line for `count` values ("3 values would change; nothing written").
QByteArray DryRunReport(const std::vector<ValueChange>& changes, const NameLists* names,
                        qsizetype count);

}  // namespace varsk::cli
