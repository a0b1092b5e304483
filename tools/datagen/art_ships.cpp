// Ships: hulls seen from the side, bow to the right.
#include "art.h"

namespace varsk::datagen {

void DrawShip(Canvas& canvas, const SpriteDesign& design) {
  (void)design;
  const int w = canvas.Width(), h = canvas.Height();
  canvas.Box(2, h / 3, w - 3, h - 4, kPrimary);
}

}  // namespace varsk::datagen
