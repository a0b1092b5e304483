// The two designed fonts, mapped to fonts that Debian ships: the window font
// (8 point, 11 pixels) to a narrow sans and the fixed-pitch list font
// (9 point, 12 pixels) to a CJK monospace font whose Chinese characters take
// two columns. Pixel sizes keep the designed layout at any screen resolution.
#pragma once

#include <QFont>

namespace varsk {

QFont WindowFont();
QFont FixedPitchFont();

}  // namespace varsk
