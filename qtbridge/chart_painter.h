// Drawing a chart layout with QPainter: the window's chart, its PNG export and
// varsk-units plot -o FILE.png draw through this canvas.
#pragma once

#include <QFont>
#include <QImage>

#include "chart/chart_canvas.h"

class QPainter;

namespace varsk {

class PainterChartCanvas final : public ChartCanvas {
 public:
  explicit PainterChartCanvas(QPainter& painter);

  void Rectangle(const ChartBox& box, ChartColour fill, ChartColour stroke) override;
  void Line(double x1, double y1, double x2, double y2, ChartColour colour, double width) override;
  void Marker(MarkerShape shape, double x, double y, double radius, ChartColour fill,
              ChartColour stroke, const ChartPoint* point, std::string_view title) override;
  void Text(const ChartText& text, const TextStyle& style) override;

 private:
  QPainter& painter_;
  QFont font_;
};

// The chart as an image of the layout's size. Needs a QGuiApplication (fonts).
QImage ChartImage(const ChartLayout& layout, const ChartDrawing& drawing = {});
// ChartImage as the bytes of a PNG file; empty when it cannot be encoded.
QByteArray ChartPng(const ChartLayout& layout);

}  // namespace varsk
