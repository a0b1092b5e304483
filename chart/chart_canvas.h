// Drawing a chart layout: the few shapes a chart is made of, behind a canvas
// that the SVG writer (chart/svg_chart.h) and the window's painter
// (qtbridge/chart_painter.h) implement, and the one function that draws a
// layout on either.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "chart/chart_layout.h"

namespace varsk {

struct ChartColour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t alpha = 255;  // 0: nothing is drawn
};

enum class MarkerShape { Circle, Triangle };
enum class TextAnchor { Start, Middle, End };

struct TextStyle {
  double size = kChartTickFont;
  bool bold = false;
  ChartColour colour;
  TextAnchor anchor = TextAnchor::Start;
  bool turned = false;  // a quarter turn left about the anchor point
};

// The corners of a triangle marker centred on (x, y): apex up, as wide as
// a circle of `radius` looks.
inline std::array<std::pair<double, double>, 3> TriangleCorners(double x, double y, double radius) {
  return {{{x, y - 1.3 * radius},
           {x - 1.2 * radius, y + 0.8 * radius},
           {x + 1.2 * radius, y + 0.8 * radius}}};
}

class ChartCanvas {
 public:
  virtual ~ChartCanvas() = default;
  virtual void Rectangle(const ChartBox& box, ChartColour fill, ChartColour stroke) = 0;
  virtual void Line(double x1, double y1, double x2, double y2, ChartColour colour,
                    double width) = 0;
  // A marker: an entry's when `point` is given, with `title` (possibly empty)
  // naming it where the format can carry it (SVG shows it on hover); else a
  // legend's or a ring.
  virtual void Marker(MarkerShape shape, double x, double y, double radius, ChartColour fill,
                      ChartColour stroke, const ChartPoint* point, std::string_view title) = 0;
  virtual void Text(const ChartText& text, const TextStyle& style) = 0;
};

struct ChartDrawing {
  // Names for the points' titles; without them the markers carry none.
  const EntryNameOf* titles = nullptr;
  // An entry drawn with a ring around its marker (the table's current row); 0: none.
  int highlightEntry = 0;
};

// Draws the whole picture: background, frame, grid, ticks, titles, the
// points (or the layout's problem), legend.
void DrawChart(const ChartLayout& layout, ChartCanvas& canvas, const ChartDrawing& drawing = {});

}  // namespace varsk
