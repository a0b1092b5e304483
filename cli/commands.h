// The commands of varsk-units. Each takes the arguments after the command
// name and returns the process exit status: 0 success, 1 error (one line on
// stderr starting with "varsk-units: "), 2 usage error.
#pragma once

#include <QByteArray>
#include <QStringList>

namespace varsk {
struct ChartLayout;
}

namespace varsk::cli {

int RunDump(const QStringList& args);
int RunImport(const QStringList& args);
int RunAutoModify(const QStringList& args);
int RunRender(const QStringList& args);
int RunExportClips(const QStringList& args);
int RunExportDataset(const QStringList& args);
int RunInfo(const QStringList& args);
// plot writes an SVG itself; a PNG is drawn by `drawPng` (in varsk-units-render),
// or, when that is null, by running varsk-units-render. `drawPng` gives the
// PNG file's bytes, empty when the picture cannot be encoded.
using ChartPngDrawer = QByteArray (*)(const ChartLayout& layout);
int RunPlot(const QStringList& args, ChartPngDrawer drawPng = nullptr);
// Sharing edits (cmd_diff.cpp, cmd_patch.cpp).
int RunDiff(const QStringList& args);
int RunPatch(const QStringList& args);
int RunApply(const QStringList& args);

}  // namespace varsk::cli
