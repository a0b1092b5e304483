#include "app/editor_fonts.h"

#include <QStringList>

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

// WenQuanYi Micro Hei Mono has Latin glyphs 0.6 em wide and Chinese ones
// 1 em wide. Tightened by 1.2 pixels per character, a Latin character takes
// the designed 6-pixel column at 12 pixels and a Chinese one close to two
// (10.8 pixels), so headings such as Label20 keep their 426-pixel width and
// the move type pairs stand in columns within a pixel or two.
QFont FixedPitchFont() {
  QFont font;
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei Mono"),
                    QStringLiteral("Noto Sans Mono CJK TC"), QStringLiteral("Monospace")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(12);
  font.setLetterSpacing(QFont::AbsoluteSpacing, -1.2);
  return font;
}

}  // namespace varsk
