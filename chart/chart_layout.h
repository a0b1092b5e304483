// A scatter chart of two fields across the catalogue, laid out once for every
// way it is drawn: the point set (the entries that meet the table's filter and
// hold both fields), the axis ranges and their ticks, the pixel position of
// every point, tick, title and legend item. The window's chart, its export and
// varsk-units plot all draw this layout through a ChartCanvas
// (chart/chart_canvas.h), so they show the same picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_set.h"
#include "edits/edit_keys.h"
#include "edits/entry_filter.h"

namespace varsk {

// The fields charted when none is chosen.
inline constexpr char kDefaultChartX[] = "cost";
inline constexpr char kDefaultChartY[] = "hp";

// The columns an axis can take: entryIndex and every field of the dump that
// holds a number (not kind, the names or rawBytes), in the dump's order.
const std::vector<std::string_view>& ChartFieldNames();
// Throws VarskError (ChartFieldUnknownText or ChartFieldNotNumberText) unless
// `name` is one of them.
void CheckChartField(std::string_view name);

struct ChartRequest {
  std::string xField = kDefaultChartX;
  std::string yField = kDefaultChartY;
  EntryFilter filter;      // the table's; an empty one keeps every entry
  std::string filterText;  // the filter as typed, for the note; empty: none
  EntryNameOf names;       // for the filter's words (may be empty)
  int width = 800;         // of the picture, in pixels
  int height = 600;
};

struct ChartPoint {
  int entryIndex = 0;
  EntryKind kind = EntryKind::None;
  int64_t x = 0;
  int64_t y = 0;
  double px = 0;  // the centre of the marker in the picture
  double py = 0;
};

struct ChartTick {
  int64_t value = 0;
  double position = 0;  // x of an x tick, y of a y tick
  std::string label;
};

struct ChartAxis {
  std::string field;
  // The range shown, from tick to tick, and the step between ticks.
  int64_t minimum = 0;
  int64_t maximum = 0;
  int64_t step = 1;
  std::vector<ChartTick> ticks;
};

struct ChartBox {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  double Right() const { return left + width; }
  double Bottom() const { return top + height; }
};

struct ChartText {
  double x = 0;  // the anchor point; y is the baseline
  double y = 0;
  std::string text;
};

struct ChartLegendItem {
  EntryKind kind = EntryKind::None;
  double markerX = 0;
  double markerY = 0;
  ChartText label;  // starts at its x
};

// The sizes every canvas draws with, in pixels.
inline constexpr double kChartTickFont = 11;
inline constexpr double kChartTitleFont = 13;
inline constexpr double kChartMarkerRadius = 4.5;

struct ChartLayout {
  int width = 0;
  int height = 0;
  ChartBox plot;  // the framed area the points lie in
  ChartAxis x;
  ChartAxis y;
  std::vector<ChartPoint> points;  // in entry order
  std::vector<ChartLegendItem> legend;
  ChartText title;      // "hp against cost", bold, from its x
  ChartText note;       // "191 of 229 entries; filter: ...", from its x
  ChartText xTitle;     // the x field, centred under the axis
  ChartText yTitle;     // the y field, centred beside the axis, turned a quarter left
  std::string problem;  // why there is no point; empty when there are points
};

// Lays out the chart of `request` over the records. Throws VarskError for a
// field that CheckChartField refuses; a filter that leaves no entry, or none
// with both fields, gives a layout without points whose `problem` says so.
ChartLayout LayOutChart(const DataSet& dataSet, const ChartRequest& request);

// The points whose markers lie within `radius` pixels of (x, y), nearest
// first (ties in entry order): every one of a stack of equal values.
std::vector<const ChartPoint*> PointsNear(const ChartLayout& layout, double x, double y,
                                          double radius);

// "012 AR-31 Skirmisher: cost 120, hp 205", with the English name from
// `names` (none when it is empty or gives none).
std::string DescribeChartPoint(const ChartLayout& layout, const ChartPoint& point,
                               const EntryNameOf& names);

}  // namespace varsk
