// Printing the values that an import or Auto modify changes.
#pragma once

#include <vector>

#include "cli/cli_common.h"
#include "cli/record_text.h"

namespace varsk::cli {

// One line per change on stdout: "entry 12 (<name>): hp 200 -> 250".
void PrintChanges(const std::vector<ValueChange>& changes, const NameLists* names);
// One summary line on stdout, e.g. "3 values changed" or "3 values would change".
void PrintChangeCount(qsizetype count, bool dryRun);

}  // namespace varsk::cli
