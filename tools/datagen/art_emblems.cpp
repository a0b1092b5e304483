// The 13 faction emblems of the icon strip, 16 x 24 pixels each: a field
// shape in the primary colour with a charge in the secondary and accent
// colours, all with a dark outline. Each icon palette colours several.
#include <vector>

#include "art.h"

namespace varsk::datagen {
namespace {

constexpr Material kField = kPrimary;
constexpr Material kCharge = kSecondary;
constexpr Material kTrim = kAccent;

void Shield(Canvas& c) { c.Polygon({1, 1, 14, 1, 14, 14, 8, 22, 7, 22, 1, 14}, kField); }

void Thick(Canvas& c, int x0, int y0, int x1, int y1, uint8_t ink) {
  c.Line(x0, y0, x1, y1, ink);
  c.Line(x0 + 1, y0, x1 + 1, y1, ink);
}

}  // namespace

void DrawEmblem(Canvas& c, int i) {
  const uint8_t charge = kSecondary0 + 2;
  const uint8_t trim = kAccent0 + 1;
  switch (i) {
    case 0:  // shield with a chevron and a star point
      Shield(c);
      Thick(c, 3, 13, 7, 8, charge);
      Thick(c, 8, 8, 11, 13, charge);
      c.Box(6, 15, 9, 18, kTrim);
      break;
    case 1:  // ringed sun
      c.Line(7, 0, 7, 23, trim);
      c.Line(8, 0, 8, 23, trim);
      c.Line(0, 11, 15, 11, trim);
      c.Line(0, 12, 15, 12, trim);
      c.Ellipse(16, 24, 14, 14, kField);
      c.Ellipse(16, 24, 9, 9, kCharge);
      c.Ellipse(16, 24, 4, 4, kTrim);
      break;
    case 2:  // diamond with a sword
      c.Polygon({8, 1, 15, 12, 8, 22, 0, 12}, kField);
      c.Box(7, 4, 8, 18, kCharge, false);
      c.Box(5, 14, 10, 15, kTrim, false);
      c.Set(7, 3, charge);
      c.Set(8, 3, charge);
      break;
    case 3:  // hexagon with an inner gem
      c.Polygon({4, 1, 11, 1, 15, 8, 15, 15, 11, 22, 4, 22, 0, 15, 0, 8}, kField);
      c.Polygon({6, 6, 9, 6, 11, 10, 11, 13, 9, 17, 6, 17, 4, 13, 4, 10}, kCharge);
      c.Set(7, 11, kGlow);
      c.Set(8, 11, kGlow);
      break;
    case 4:  // wings over a downward triangle
      c.Polygon({0, 3, 7, 9, 1, 11}, kCharge);
      c.Polygon({15, 3, 14, 11, 8, 9}, kCharge);
      c.Polygon({2, 8, 13, 8, 8, 22, 7, 22}, kField);
      c.Box(6, 10, 9, 13, kTrim);
      break;
    case 5:  // banner with three stripes
      c.Polygon({1, 1, 14, 1, 14, 22, 8, 17, 7, 17, 1, 22}, kField);
      for (int y = 4; y <= 12; y += 4) c.Line(3, y, 12, y, charge);
      c.Box(3, 1, 12, 2, kTrim, false);
      break;
    case 6:  // crescent and star
      c.Ellipse(14, 24, 13, 21, kField);
      c.Ellipse(21, 21, 11, 16, Material{{0, 0, 0, 0}}, false);
      c.Polygon({12, 8, 14, 12, 12, 16, 10, 12}, kTrim);
      break;
    case 7:  // tower
      c.Box(3, 7, 12, 22, kField);
      c.Box(2, 3, 4, 8, kField);
      c.Box(7, 3, 9, 8, kField);
      c.Box(11, 3, 13, 8, kField);
      c.Box(6, 15, 9, 22, kDark);
      c.Box(7, 10, 8, 12, kCharge, false);
      break;
    case 8:  // crown over an orb
      c.Ellipse(16, 36, 13, 13, kField);
      c.Polygon({1, 10, 1, 2, 6, 10}, kTrim);
      c.Polygon({4, 10, 8, 1, 11, 10}, kTrim);
      c.Polygon({9, 10, 14, 2, 14, 10}, kTrim);
      c.Box(1, 9, 14, 13, kTrim);
      c.Line(3, 11, 12, 11, charge);
      c.Set(7, 18, kGlow);
      c.Set(8, 18, kGlow);
      break;
    case 9:  // crossed lances on a round field
      c.Ellipse(16, 24, 15, 20, kField);
      Thick(c, 2, 3, 12, 20, kMetal0 + 2);
      Thick(c, 12, 3, 2, 20, kMetal0 + 2);
      c.Box(6, 10, 9, 13, kTrim);
      break;
    case 10:  // flame
      c.Polygon({8, 0, 14, 12, 12, 19, 8, 22, 4, 19, 2, 12}, kField);
      c.Polygon({8, 7, 11, 14, 8, 19, 5, 14}, kCharge);
      c.Set(8, 15, kGlow);
      break;
    case 11:  // anchor
      c.Ellipse(16, 10, 8, 8, kCharge);
      c.Box(7, 9, 8, 20, kField);
      c.Box(3, 9, 12, 10, kField);
      c.Polygon({1, 14, 4, 14, 7, 20, 7, 22, 4, 21}, kField);
      c.Polygon({14, 14, 11, 14, 8, 20, 8, 22, 11, 21}, kField);
      break;
    default:  // watchful eye in a square frame
      c.Box(0, 2, 15, 21, kField);
      c.Polygon({1, 11, 5, 7, 10, 7, 14, 11, 10, 15, 5, 15}, kCharge);
      c.Ellipse(16, 22, 6, 6, kTrim);
      c.Set(7, 11, kOutline);
      c.Set(8, 10, kOutline);
      break;
  }
  c.OutlineAll();
}

}  // namespace varsk::datagen
