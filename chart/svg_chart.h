// A chart as an SVG document, written without a drawing library: what
// varsk-units plot writes for FILE.svg and the window exports as SVG.
#pragma once

#include <string>

#include "chart/chart_canvas.h"

namespace varsk {

// The document (UTF-8) of `layout` drawn by DrawChart. Each entry's marker is
// a <circle> (MS) or <polygon> (ship) of class "point ms" or "point ship",
// with data-entry="N" and a <title> that names the entry (names from
// `names`, which may be empty) and its two values.
std::string ChartSvg(const ChartLayout& layout, const EntryNameOf& names);

}  // namespace varsk
