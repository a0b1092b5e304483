// The two designed fonts, mapped to fonts that Debian ships: the window font
// (8 point, 11 pixels) to a narrow sans and the fixed-pitch list font
// (9 point, 12 pixels) to a CJK monospace font whose Chinese characters take
// two columns. Pixel sizes keep the designed layout at any screen resolution.
#pragma once

#include <QFont>

namespace varsk {

// The fixed-pitch font's designed size: a Latin character takes one column
// of 6 pixels, a Chinese or Japanese character two.
inline constexpr int kFixedPitchPixels = 12;
inline constexpr int kFixedPitchColumn = 6;

QFont WindowFont();
// Noto Sans Mono CJK at 12 pixels, whose Latin glyphs are exactly half as wide
// as its CJK glyphs. Without it, the first installed fallback, tightened or
// widened so that a Latin character still takes exactly 6 pixels.
QFont FixedPitchFont();
// The same from the first installed of `families` (tests try a fallback).
QFont FixedPitchFontFrom(const QStringList& families);

}  // namespace varsk
