// Mobile units: humanoid robots built from shaded parts.
#include "art.h"

namespace varsk::datagen {

void DrawRobot(Canvas& canvas, const SpriteDesign& design, Pose pose, bool symmetric) {
  (void)design;
  (void)pose;
  const int w = canvas.Width(), h = canvas.Height();
  canvas.Box(w / 4, h / 4, w - w / 4 - 1, h - 2, kPrimary);
  canvas.Box(w / 2 - 3, 1, w / 2 + 2, h / 4, kSecondary);
  if (symmetric) canvas.MirrorLeftToRight();
}

void DrawBurst(Canvas& canvas, Pose stage, uint64_t seed) {
  (void)seed;
  const int r = stage == Pose::Burst1 ? 6 : stage == Pose::Burst2 ? 10 : 14;
  canvas.Ellipse(16, 16, r, r, kGlowMat);
}

}  // namespace varsk::datagen
