#include "app/editor_fonts.h"

#include <QStringList>

namespace varsk {

QFont WindowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans Narrow"),
                    QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Arial Narrow"),
                    QStringLiteral("Sans Serif")});
  font.setPixelSize(11);
  return font;
}

QFont FixedPitchFont() {
  QFont font;
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei Mono"),
                    QStringLiteral("Noto Sans Mono CJK TC"), QStringLiteral("Monospace")});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(12);
  return font;
}

}  // namespace varsk
