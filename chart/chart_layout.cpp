#include "chart/chart_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "base/messages.h"
#include "data/entry_fields.h"
#include "data/name_list.h"

namespace varsk {
namespace {

// Room around the plot, in pixels.
constexpr double kEdge = 12;       // picture edge to the outermost text
constexpr double kTitleBand = 44;  // the title and note lines above the plot
constexpr double kRightMargin = 16;
constexpr double kTickLength = 4;
constexpr double kInset = 8;  // frame to the outermost value, so no marker is cut
// Text widths are estimated, not measured (the SVG writer has no fonts): a
// character of Liberation Sans is at most about 0.6 em on average, digits 0.56.
constexpr double kCharWidth = 0.6;
// The least room a tick takes: labels never touch.
constexpr double kXTickSpacing = 56;
constexpr double kYTickSpacing = 36;
// Below this the picture is drawn at this size.
constexpr int kMinimumWidth = 240;
constexpr int kMinimumHeight = 180;

double TextWidth(std::string_view text, double size) {
  size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return static_cast<double>(characters) * kCharWidth * size;
}

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

int64_t CeilDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && a > 0) ? q + 1 : q;
}

// The range from tick to tick that holds [low, high] in at most `maxSteps`
// (>= 2) steps of 1, 2 or 5 times a power of ten: the smallest such step. A
// single value stands between two ticks.
void ChooseTicks(int64_t low, int64_t high, int64_t maxSteps, ChartAxis& axis) {
  for (int64_t magnitude = 1;; magnitude *= 10) {
    for (const int64_t multiple : {1, 2, 5}) {
      const int64_t step = multiple * magnitude;
      int64_t from = FloorDiv(low, step) * step;
      int64_t to = CeilDiv(high, step) * step;
      if (from == to) {
        from -= step;
        to += step;
      }
      if ((to - from) / step <= maxSteps) {
        axis.minimum = from;
        axis.maximum = to;
        axis.step = step;
        return;
      }
    }
  }
}

// Where `value` lies along an axis that starts at `start` and is `length` long.
double Place(const ChartAxis& axis, int64_t value, double start, double length) {
  const double share =
      static_cast<double>(value - axis.minimum) / static_cast<double>(axis.maximum - axis.minimum);
  return start + kInset + share * (length - 2 * kInset);
}

void PlaceTicks(ChartAxis& axis, double start, double length, bool upwards) {
  axis.ticks.clear();
  for (int64_t value = axis.minimum; value <= axis.maximum; value += axis.step) {
    const double along = Place(axis, value, 0, length);
    axis.ticks.push_back(
        {value, upwards ? start + length - along : start + along, std::to_string(value)});
  }
}

// How an entry of one kind reads the two fields: nullptr rows for a field the
// kind lacks; entryIndex is the entry's own number.
struct KindFields {
  bool hasX = false;
  bool hasY = false;
  const EntryField* x = nullptr;
  const EntryField* y = nullptr;
};

bool IsEntryIndex(std::string_view field) { return field == kEntryIndexKey; }

KindFields FieldsOfKind(EntryKind kind, const ChartRequest& request) {
  KindFields fields;
  fields.x = FindEntryField(kind, request.xField);
  fields.y = FindEntryField(kind, request.yField);
  fields.hasX = IsEntryIndex(request.xField) || fields.x != nullptr;
  fields.hasY = IsEntryIndex(request.yField) || fields.y != nullptr;
  return fields;
}

int64_t ValueOf(const DataSet& dataSet, int entryIndex, const EntryField* field) {
  if (field == nullptr) return entryIndex;  // entryIndex
  return EntryFieldValue(dataSet, entryIndex, *field).value_or(0);
}

// Which kind alone has `field`, to say so when the entries shown lack it.
std::string_view HoldersOf(std::string_view field) {
  if (IsEntryIndex(field)) return {};
  const bool ms = FindEntryField(EntryKind::Ms, field) != nullptr;
  const bool ship = FindEntryField(EntryKind::Ship, field) != nullptr;
  if (ms && !ship) return kChartMsHolders;
  if (ship && !ms) return kChartShipHolders;
  return {};
}

// The points, or the problem that leaves none.
void CollectPoints(const DataSet& dataSet, const ChartRequest& request, ChartLayout& layout,
                   size_t& entries) {
  const std::array<KindFields, 2> kinds = {FieldsOfKind(EntryKind::Ms, request),
                                           FieldsOfKind(EntryKind::Ship, request)};
  size_t met = 0, withX = 0, withY = 0;
  entries = 0;
  for (int entry = 1; entry <= kEntryListCount; ++entry) {
    const EntryKind kind = KindOfEntry(dataSet, entry);
    if (kind == EntryKind::None) continue;
    ++entries;
    if (!request.filter.Empty() && !EntryMeets(request.filter, dataSet, entry, request.names)) {
      continue;
    }
    ++met;
    const KindFields& fields = kinds[kind == EntryKind::Ms ? 0 : 1];
    withX += fields.hasX;
    withY += fields.hasY;
    if (!fields.hasX || !fields.hasY) continue;
    layout.points.push_back(
        {entry, kind, ValueOf(dataSet, entry, fields.x), ValueOf(dataSet, entry, fields.y), 0, 0});
  }
  if (met == 0) {
    layout.problem = ChartNoEntryText(request.filterText);
  } else if (withX == 0) {
    layout.problem = ChartFieldNotHeldText(request.xField, met, HoldersOf(request.xField));
  } else if (withY == 0) {
    layout.problem = ChartFieldNotHeldText(request.yField, met, HoldersOf(request.yField));
  } else if (layout.points.empty()) {
    layout.problem = ChartNoEntryWithBothText(request.xField, request.yField);
  }
}

// The legend at the right on `baseline`; returns the left edge of its first
// marker (the width when there is no legend).
double PlaceLegendOn(ChartLayout& layout, double baseline) {
  layout.legend.clear();
  std::array<size_t, 2> counts{};
  for (const ChartPoint& point : layout.points) ++counts[point.kind == EntryKind::Ms ? 0 : 1];
  double right = layout.width - kRightMargin;
  double left = layout.width;
  for (int k = 1; k >= 0; --k) {
    if (counts[static_cast<size_t>(k)] == 0) continue;
    ChartLegendItem item;
    item.kind = k == 0 ? EntryKind::Ms : EntryKind::Ship;
    item.label.text =
        ChartLegendText(k == 0 ? kChartMsLabel : kChartShipLabel, counts[static_cast<size_t>(k)]);
    item.label.x = right - TextWidth(item.label.text, kChartTickFont);
    item.label.y = baseline;
    item.markerX = item.label.x - 6 - kChartMarkerRadius;
    item.markerY = baseline - 4;
    left = item.markerX - kChartMarkerRadius;
    right = left - 16;
    layout.legend.insert(layout.legend.begin(), item);
  }
  return left;
}

// The legend beside the title where both fit on its line, else on a line of
// its own under the note; returns how much lower the plot starts for it.
double PlaceLegend(ChartLayout& layout) {
  const double titleEnd = layout.title.x + TextWidth(layout.title.text, kChartTitleFont) + 12;
  if (PlaceLegendOn(layout, layout.title.y) >= titleEnd) return 0;
  constexpr double kLegendLine = 17;
  PlaceLegendOn(layout, layout.note.y + kLegendLine);
  return kLegendLine;
}

// `text` cut to `width` at the tick font, ending in "..." where it was cut.
std::string FittedText(std::string text, double width) {
  if (TextWidth(text, kChartTickFont) <= width) return text;
  const double room = width - TextWidth("...", kChartTickFont);
  while (!text.empty() && TextWidth(text, kChartTickFont) > room) {
    size_t last = text.size() - 1;
    while (last > 0 && (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80) --last;
    text.erase(last);
  }
  return text + "...";
}

}  // namespace

const std::vector<std::string_view>& ChartFieldNames() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> made{kEntryIndexKey};
    for (const char* name : FieldColumns()) {
      const EntryField* ms = FindEntryField(EntryKind::Ms, name);
      const EntryField* field = ms != nullptr ? ms : FindEntryField(EntryKind::Ship, name);
      if (field->coding != FieldCoding::RawBytes) made.push_back(name);
    }
    return made;
  }();
  return names;
}

void CheckChartField(std::string_view name) {
  const std::vector<std::string_view>& names = ChartFieldNames();
  if (std::find(names.begin(), names.end(), name) != names.end()) return;
  const bool known = name == kKindKey || NameKeyIndex(name) >= 0 ||
                     FindEntryField(EntryKind::Ms, name) != nullptr ||
                     FindEntryField(EntryKind::Ship, name) != nullptr;
  throw VarskError(known ? ChartFieldNotNumberText(name) : ChartFieldUnknownText(name));
}

ChartLayout LayOutChart(const DataSet& dataSet, const ChartRequest& request) {
  CheckChartField(request.xField);
  CheckChartField(request.yField);
  ChartLayout layout;
  layout.width = std::max(request.width, kMinimumWidth);
  layout.height = std::max(request.height, kMinimumHeight);
  layout.x.field = request.xField;
  layout.y.field = request.yField;
  size_t entries = 0;
  CollectPoints(dataSet, request, layout, entries);

  layout.title = {kEdge, 18, ChartTitleText(request.yField, request.xField)};
  layout.note = {kEdge, 35,
                 FittedText(ChartCountText(layout.points.size(), entries, request.filterText),
                            layout.width - kEdge - kRightMargin)};
  const double titleBand = kTitleBand + PlaceLegend(layout);

  // Top to bottom: the title band, the plot, tick labels and the x title.
  const double labelsBelow = kTickLength + 4 + kChartTickFont;
  const double bottomMargin = labelsBelow + 8 + kChartTitleFont + 8;
  layout.plot.top = titleBand;
  layout.plot.height = std::max(40.0, layout.height - titleBand - bottomMargin);

  double labelWidth = 0;
  if (!layout.points.empty()) {
    const auto [lowY, highY] =
        std::minmax_element(layout.points.begin(), layout.points.end(),
                            [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
    const auto yRoom = static_cast<int64_t>((layout.plot.height - 2 * kInset) / kYTickSpacing);
    ChooseTicks(lowY->y, highY->y, std::max<int64_t>(2, yRoom), layout.y);
    PlaceTicks(layout.y, layout.plot.top, layout.plot.height, true);
    for (const ChartTick& tick : layout.y.ticks) {
      labelWidth = std::max(labelWidth, TextWidth(tick.label, kChartTickFont));
    }
  }
  // Left to right: the y title (turned), tick labels, the plot.
  layout.plot.left = kEdge + kChartTitleFont + 8 + labelWidth + 4 + kTickLength;
  layout.plot.width = std::max(40.0, layout.width - layout.plot.left - kRightMargin);

  if (!layout.points.empty()) {
    const auto [lowX, highX] =
        std::minmax_element(layout.points.begin(), layout.points.end(),
                            [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
    const double widest = std::max(TextWidth(std::to_string(lowX->x), kChartTickFont),
                                   TextWidth(std::to_string(highX->x), kChartTickFont));
    const auto xRoom = static_cast<int64_t>((layout.plot.width - 2 * kInset) /
                                            std::max(kXTickSpacing, widest + 20));
    ChooseTicks(lowX->x, highX->x, std::max<int64_t>(2, xRoom), layout.x);
    PlaceTicks(layout.x, layout.plot.left, layout.plot.width, false);
    for (ChartPoint& point : layout.points) {
      point.px = Place(layout.x, point.x, layout.plot.left, layout.plot.width);
      point.py = layout.plot.Bottom() -
                 (Place(layout.y, point.y, layout.plot.top, layout.plot.height) - layout.plot.top);
    }
  }
  layout.xTitle = {layout.plot.left + layout.plot.width / 2,
                   layout.plot.Bottom() + labelsBelow + 8 + kChartTitleFont, request.xField};
  layout.yTitle = {kEdge + kChartTitleFont, layout.plot.top + layout.plot.height / 2,
                   request.yField};
  return layout;
}

std::vector<const ChartPoint*> PointsNear(const ChartLayout& layout, double x, double y,
                                          double radius) {
  std::vector<std::pair<double, const ChartPoint*>> near;
  for (const ChartPoint& point : layout.points) {
    const double distance = std::hypot(point.px - x, point.py - y);
    if (distance <= radius) near.emplace_back(distance, &point);
  }
  std::stable_sort(near.begin(), near.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<const ChartPoint*> points;
  for (const auto& [distance, point] : near) points.push_back(point);
  return points;
}

std::string DescribeChartPoint(const ChartLayout& layout, const ChartPoint& point,
                               const EntryNameOf& names) {
  const std::string name = names ? names(point.entryIndex, NameListLanguage::E) : std::string();
  return ChartPointText(ThreeDigitNumber(point.entryIndex), name, layout.x.field, point.x,
                        layout.y.field, point.y);
}

}  // namespace varsk
