#include "chart/chart_canvas.h"

namespace varsk {
namespace {

constexpr ChartColour kBackground{255, 255, 255};
constexpr ChartColour kPlotFill{250, 250, 252};
constexpr ChartColour kFrame{140, 140, 150};
constexpr ChartColour kGrid{226, 226, 232};
constexpr ChartColour kText{40, 40, 48};
constexpr ChartColour kNoteText{100, 100, 110};
constexpr ChartColour kNone{0, 0, 0, 0};
// MS entries blue circles, ships orange triangles: told apart by shape alone
// too, in grey print or for a reader who does not see the colours apart.
constexpr ChartColour kMsFill{43, 108, 176, 200};
constexpr ChartColour kMsStroke{26, 68, 120};
constexpr ChartColour kShipFill{221, 107, 32, 210};
constexpr ChartColour kShipStroke{150, 64, 10};
constexpr ChartColour kHighlight{0, 0, 0};

void DrawMarker(ChartCanvas& canvas, EntryKind kind, double x, double y, const ChartPoint* point,
                std::string_view title) {
  const bool ms = kind == EntryKind::Ms;
  canvas.Marker(ms ? MarkerShape::Circle : MarkerShape::Triangle, x, y, kChartMarkerRadius,
                ms ? kMsFill : kShipFill, ms ? kMsStroke : kShipStroke, point, title);
}

}  // namespace

void DrawChart(const ChartLayout& layout, ChartCanvas& canvas, const ChartDrawing& drawing) {
  canvas.Rectangle({0, 0, static_cast<double>(layout.width), static_cast<double>(layout.height)},
                   kBackground, kNone);
  const ChartBox& plot = layout.plot;
  canvas.Rectangle(plot, kPlotFill, kNone);

  TextStyle tickStyle{kChartTickFont, false, kText, TextAnchor::Middle, false};
  for (const ChartTick& tick : layout.x.ticks) {
    canvas.Line(tick.position, plot.top, tick.position, plot.Bottom(), kGrid, 1);
    canvas.Line(tick.position, plot.Bottom(), tick.position, plot.Bottom() + 4, kFrame, 1);
    canvas.Text({tick.position, plot.Bottom() + 8 + kChartTickFont, tick.label}, tickStyle);
  }
  tickStyle.anchor = TextAnchor::End;
  for (const ChartTick& tick : layout.y.ticks) {
    canvas.Line(plot.left, tick.position, plot.Right(), tick.position, kGrid, 1);
    canvas.Line(plot.left - 4, tick.position, plot.left, tick.position, kFrame, 1);
    canvas.Text({plot.left - 8, tick.position + kChartTickFont * 0.35, tick.label}, tickStyle);
  }
  canvas.Rectangle(plot, kNone, kFrame);

  const TextStyle axisTitle{kChartTitleFont, false, kText, TextAnchor::Middle, false};
  canvas.Text(layout.xTitle, axisTitle);
  canvas.Text(layout.yTitle, {kChartTitleFont, false, kText, TextAnchor::Middle, true});
  canvas.Text(layout.title, {kChartTitleFont, true, kText, TextAnchor::Start, false});
  canvas.Text(layout.note, {kChartTickFont, false, kNoteText, TextAnchor::Start, false});

  if (!layout.problem.empty()) {
    canvas.Text({plot.left + plot.width / 2, plot.top + plot.height / 2, layout.problem},
                {kChartTitleFont, false, kNoteText, TextAnchor::Middle, false});
    return;
  }
  for (const ChartPoint& point : layout.points) {
    const std::string title =
        drawing.titles != nullptr ? DescribeChartPoint(layout, point, *drawing.titles) : "";
    DrawMarker(canvas, point.kind, point.px, point.py, &point, title);
  }
  for (const ChartPoint& point : layout.points) {
    if (point.entryIndex != drawing.highlightEntry) continue;
    canvas.Marker(MarkerShape::Circle, point.px, point.py, kChartMarkerRadius + 4, kNone,
                  kHighlight, nullptr, {});
  }
  for (const ChartLegendItem& item : layout.legend) {
    DrawMarker(canvas, item.kind, item.markerX, item.markerY, nullptr, {});
    canvas.Text(item.label, {kChartTickFont, false, kText, TextAnchor::Start, false});
  }
}

}  // namespace varsk
