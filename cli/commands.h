// The commands of varsk-units. Each takes the arguments after the command
// name and returns the process exit status: 0 success, 1 error (one line on
// stderr starting with "varsk-units: "), 2 usage error.
#pragma once

#include <QStringList>

namespace varsk::cli {

int RunDump(const QStringList& args);
int RunImport(const QStringList& args);
int RunAutoModify(const QStringList& args);
int RunRender(const QStringList& args);
int RunExportClips(const QStringList& args);
int RunExportDataset(const QStringList& args);
int RunInfo(const QStringList& args);
// Sharing edits (cmd_diff.cpp, cmd_patch.cpp).
int RunDiff(const QStringList& args);
int RunPatch(const QStringList& args);
int RunApply(const QStringList& args);

}  // namespace varsk::cli
