#include "qtbridge/chart_painter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <cmath>

#include "qtbridge/bitmap_image.h"

namespace varsk {
namespace {

QColor ToQColor(ChartColour colour) {
  return QColor(colour.red, colour.green, colour.blue, colour.alpha);
}

QPen PenOf(ChartColour colour, double width) {
  if (colour.alpha == 0) return Qt::NoPen;
  QPen pen(ToQColor(colour), width);
  pen.setCapStyle(Qt::FlatCap);
  return pen;
}

QBrush BrushOf(ChartColour colour) {
  return colour.alpha == 0 ? QBrush(Qt::NoBrush) : QBrush(ToQColor(colour));
}

// Lines along the pixel grid fall on pixel centres, so a 1-pixel line is one
// pixel wide and sharp, as SVG's crisp edges draw it.
double OnPixel(double at) { return std::floor(at) + 0.5; }

}  // namespace

PainterChartCanvas::PainterChartCanvas(QPainter& painter) : painter_(painter) {
  font_.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
}

void PainterChartCanvas::Rectangle(const ChartBox& box, ChartColour fill, ChartColour stroke) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  if (fill.alpha != 0) {
    painter_.fillRect(QRectF(box.left, box.top, box.width, box.height), ToQColor(fill));
  }
  if (stroke.alpha != 0) {
    painter_.setPen(PenOf(stroke, 1));
    painter_.setBrush(Qt::NoBrush);
    const double left = OnPixel(box.left), top = OnPixel(box.top);
    painter_.drawRect(QRectF(left, top, OnPixel(box.Right()) - left, OnPixel(box.Bottom()) - top));
  }
}

void PainterChartCanvas::Line(double x1, double y1, double x2, double y2, ChartColour colour,
                              double width) {
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setPen(PenOf(colour, width));
  if (x1 == x2) x1 = x2 = OnPixel(x1);
  if (y1 == y2) y1 = y2 = OnPixel(y1);
  painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
}

void PainterChartCanvas::Marker(MarkerShape shape, double x, double y, double radius,
                                ChartColour fill, ChartColour stroke, const ChartPoint* /*point*/,
                                std::string_view /*title*/) {
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.setPen(PenOf(stroke, 1));
  painter_.setBrush(BrushOf(fill));
  if (shape == MarkerShape::Circle) {
    painter_.drawEllipse(QPointF(x, y), radius, radius);
    return;
  }
  QPolygonF corners;
  for (const auto& [cornerX, cornerY] : TriangleCorners(x, y, radius)) {
    corners << QPointF(cornerX, cornerY);
  }
  painter_.drawPolygon(corners);
}

void PainterChartCanvas::Text(const ChartText& text, const TextStyle& style) {
  painter_.setRenderHint(QPainter::Antialiasing, true);
  font_.setPixelSize(static_cast<int>(std::lround(style.size)));
  font_.setBold(style.bold);
  painter_.setFont(font_);
  painter_.setPen(ToQColor(style.colour));
  const QString shown = QString::fromStdString(text.text);
  double shift = 0;
  if (style.anchor != TextAnchor::Start) {
    const double width = QFontMetricsF(font_).horizontalAdvance(shown);
    shift = style.anchor == TextAnchor::Middle ? width / 2 : width;
  }
  if (!style.turned) {
    painter_.drawText(QPointF(text.x - shift, text.y), shown);
    return;
  }
  painter_.save();
  painter_.translate(text.x, text.y);
  painter_.rotate(-90);
  painter_.drawText(QPointF(-shift, 0), shown);
  painter_.restore();
}

QImage ChartImage(const ChartLayout& layout, const ChartDrawing& drawing) {
  QImage image(layout.width, layout.height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PainterChartCanvas canvas(painter);
  DrawChart(layout, canvas, drawing);
  painter.end();
  return image;
}

QByteArray ChartPng(const ChartLayout& layout) { return PngBytes(ChartImage(layout)); }

}  // namespace varsk
