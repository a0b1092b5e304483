#include "chart/svg_chart.h"

#include <cmath>
#include <cstdio>

#include "base/shown_text.h"

namespace varsk {
namespace {

// Coordinates to a tenth of a pixel: "12", "12.5", "-3.2".
void AppendNumber(std::string& out, double value) {
  const long long tenths = std::llround(value * 10);
  const unsigned long long size = tenths < 0 ? 0ULL - static_cast<unsigned long long>(tenths)
                                             : static_cast<unsigned long long>(tenths);
  if (tenths < 0) out += '-';
  out += std::to_string(size / 10);
  if (size % 10 != 0) {
    out += '.';
    out += static_cast<char>('0' + size % 10);
  }
}

// Text in an element or an attribute: control bytes and bytes that are not
// UTF-8 shown escaped (which XML could not hold), then XML's own escapes.
void AppendEscaped(std::string& out, std::string_view text) {
  for (const char c : ShownText(text)) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
}

class SvgCanvas final : public ChartCanvas {
 public:
  explicit SvgCanvas(std::string& out) : out_(out) {}

  void Rectangle(const ChartBox& box, ChartColour fill, ChartColour stroke) override {
    out_ += "<rect";
    Attribute("x", box.left);
    Attribute("y", box.top);
    Attribute("width", box.width);
    Attribute("height", box.height);
    Paint(fill, stroke);
    out_ += " shape-rendering=\"crispEdges\"/>\n";
  }

  void Line(double x1, double y1, double x2, double y2, ChartColour colour, double width) override {
    out_ += "<line";
    Attribute("x1", x1);
    Attribute("y1", y1);
    Attribute("x2", x2);
    Attribute("y2", y2);
    Colour("stroke", colour);
    Attribute("stroke-width", width);
    out_ += " shape-rendering=\"crispEdges\"/>\n";
  }

  void Marker(MarkerShape shape, double x, double y, double radius, ChartColour fill,
              ChartColour stroke, const ChartPoint* point, std::string_view title) override {
    const char* element = shape == MarkerShape::Circle ? "circle" : "polygon";
    out_ += '<';
    out_ += element;
    if (point != nullptr) {
      out_ += point->kind == EntryKind::Ms ? " class=\"point ms\"" : " class=\"point ship\"";
      out_ += " data-entry=\"" + std::to_string(point->entryIndex) + '"';
    }
    if (shape == MarkerShape::Circle) {
      Attribute("cx", x);
      Attribute("cy", y);
      Attribute("r", radius);
    } else {
      out_ += " points=\"";
      for (const auto& [cornerX, cornerY] : TriangleCorners(x, y, radius)) {
        AppendNumber(out_, cornerX);
        out_ += ',';
        AppendNumber(out_, cornerY);
        out_ += ' ';
      }
      out_.back() = '"';
    }
    Paint(fill, stroke);
    if (title.empty()) {
      out_ += "/>\n";
      return;
    }
    out_ += "><title>";
    AppendEscaped(out_, title);
    out_ += "</title></";
    out_ += element;
    out_ += ">\n";
  }

  void Text(const ChartText& text, const TextStyle& style) override {
    out_ += "<text";
    Attribute("x", text.x);
    Attribute("y", text.y);
    Attribute("font-size", style.size);
    if (style.bold) out_ += " font-weight=\"bold\"";
    if (style.anchor != TextAnchor::Start) {
      out_ +=
          style.anchor == TextAnchor::Middle ? " text-anchor=\"middle\"" : " text-anchor=\"end\"";
    }
    Colour("fill", style.colour);
    if (style.turned) {
      out_ += " transform=\"rotate(-90 ";
      AppendNumber(out_, text.x);
      out_ += ' ';
      AppendNumber(out_, text.y);
      out_ += ")\"";
    }
    out_ += '>';
    AppendEscaped(out_, text.text);
    out_ += "</text>\n";
  }

 private:
  void Attribute(const char* name, double value) {
    out_ += ' ';
    out_ += name;
    out_ += "=\"";
    AppendNumber(out_, value);
    out_ += '"';
  }

  // `name`="#rrggbb", and its opacity when the colour has one; "none" for a
  // colour not drawn.
  void Colour(const char* name, ChartColour colour) {
    out_ += ' ';
    out_ += name;
    if (colour.alpha == 0) {
      out_ += "=\"none\"";
      return;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    out_ += "=\"";
    out_ += hex;
    out_ += '"';
    if (colour.alpha != 255) {
      // In hundredths, by integers: printf's "%.2f" writes "0,78" in a
      // locale whose decimal sign is a comma, which no SVG reader takes.
      const int hundredths = (colour.alpha * 100 + 127) / 255;
      out_ += ' ';
      out_ += name;
      out_ += "-opacity=\"";
      out_ += std::to_string(hundredths / 100);
      out_ += '.';
      out_ += static_cast<char>('0' + hundredths % 100 / 10);
      out_ += static_cast<char>('0' + hundredths % 10);
      out_ += '"';
    }
  }

  void Paint(ChartColour fill, ChartColour stroke) {
    Colour("fill", fill);
    if (stroke.alpha != 0) Colour("stroke", stroke);
  }

  std::string& out_;
};

}  // namespace

std::string ChartSvg(const ChartLayout& layout, const EntryNameOf& names) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  const std::string width = std::to_string(layout.width);
  const std::string height = std::to_string(layout.height);
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height +
         "\" viewBox=\"0 0 " + width + ' ' + height +
         "\" font-family=\"Liberation Sans, Arimo, DejaVu Sans, sans-serif\">\n";
  SvgCanvas canvas(out);
  DrawChart(layout, canvas, {&names, 0});
  out += "</svg>\n";
  return out;
}

}  // namespace varsk
