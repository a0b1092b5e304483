#include "app/editor_fonts.h"

#include <QFontMetricsF>
#include <QStringList>
#include <cmath>

namespace varsk {

// Captions were laid out for a sans whose texts are about 4% narrower than
// Liberation Sans: condensed to 96%, it gives every caption its designed
// width (Label13 204 of 205 pixels, Label23 423 of 429), so the headings
// stand over their edits and none is cut.
QFont WindowFont() {
  QFont font;
  font.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
  font.setPixelSize(11);
  font.setStretch(96);
  return font;
}

// Noto Sans Mono CJK draws Latin glyphs 0.5 em and CJK glyphs 1 em wide, so
// at 12 pixels the columns of the lists and of Label20 are exact: "Damage"
// and "Ammo" stand over their edits and the move type pairs line up. The
// traditional Chinese cut comes first, as the program's own texts are
// traditional Chinese; every cut holds the kana of the Japanese names.
QFont FixedPitchFont() {
  return FixedPitchFontFrom(
      {QStringLiteral("Noto Sans Mono CJK TC"), QStringLiteral("Noto Sans Mono CJK JP"),
       QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("Noto Sans Mono CJK KR"),
       QStringLiteral("Noto Sans Mono CJK HK"), QStringLiteral("WenQuanYi Micro Hei Mono"),
       QStringLiteral("Monospace")});
}

QFont FixedPitchFontFrom(const QStringList& families) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(kFixedPitchPixels);
  // Set, not inherited from the condensed window font.
  font.setStretch(QFont::Unstretched);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
  // A fallback font (commonly 0.6 em Latin) keeps the 6-pixel Latin column, so
  // the headings still stand over their edits; its CJK glyphs then come out a
  // little narrower or wider than two columns.
  const qreal latin = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
  if (std::abs(latin - kFixedPitchColumn) > 0.01) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, kFixedPitchColumn - latin);
  }
  return font;
}

}  // namespace varsk
