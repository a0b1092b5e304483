// Procedural pixel art: a canvas of 4-bit colour indices, shapes with
// material shading and outlines, and the drawers of robots, ships, bursts
// and faction emblems. Colour indices follow one layout in every palette.
#pragma once

#include <cstdint>
#include <vector>

#include "catalogue.h"
#include "clip_plan.h"
#include "data/records.h"

namespace varsk::datagen {

// Colour indices shared by every sprite palette.
enum Ink : uint8_t {
  kClear = 0,
  kOutline = 1,
  kPrimary0 = 2,    // primary armour, dark .. highlight (2..5)
  kSecondary0 = 6,  // secondary armour, dark .. light (6..8)
  kMetal0 = 9,      // frame and joints, dark .. light (9..11)
  kAccent0 = 12,    // trim, dark and light (12, 13)
  kGlow = 14,       // sensors, windows
  kFlash = 15,      // thrusters, muzzle flash
};

// A material: four shade levels, darkest first.
struct Material {
  uint8_t shade[4];
};
inline constexpr Material kPrimary{{2, 3, 4, 5}};
inline constexpr Material kSecondary{{6, 7, 8, 8}};
inline constexpr Material kMetal{{9, 10, 11, 11}};
inline constexpr Material kAccent{{12, 12, 13, 13}};
inline constexpr Material kGlowMat{{12, 14, 14, 15}};
inline constexpr Material kDark{{1, 9, 9, 10}};

class Canvas {
 public:
  Canvas(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }
  uint8_t At(int x, int y) const;
  void Set(int x, int y, uint8_t ink);

  // Shapes fill with a material lit from the upper left and get a one-pixel
  // outline of their own, so parts drawn later stand out from earlier ones.
  void Box(int x0, int y0, int x1, int y1, const Material& m, bool outline = true);
  void Ellipse(int cx2, int cy2, int rx2, int ry2, const Material& m,
               bool outline = true);  // doubled coordinates
  // A convex polygon given by its corners (pixel coordinates), clockwise.
  void Polygon(const std::vector<int>& xy, const Material& m, bool outline = true);
  void Line(int x0, int y0, int x1, int y1, uint8_t ink);
  // Outline around everything drawn: transparent pixels next to a drawn one.
  void OutlineAll();
  // Copies the left half onto the right, mirrored.
  void MirrorLeftToRight();
  void FlipHorizontal();

 private:
  // Fills `mask` (width x height) with the material shading and an outline.
  void FillMask(const std::vector<uint8_t>& mask, const Material& m, bool outline);
  int width_;
  int height_;
  std::vector<uint8_t> pixels_;
};

// Writes the canvas of a clip frame into the sheet: tile (base + t - 1) gets
// the 8 x 8 block that cell with tile number t shows (flips and offsets undone).
void WriteFrameTiles(const Canvas& canvas, int clipNumber, int32_t tileBase, TileSheet& sheet);

void DrawRobot(Canvas& canvas, const SpriteDesign& design, Pose pose, bool symmetric);
void DrawShip(Canvas& canvas, const SpriteDesign& design);
void DrawBurst(Canvas& canvas, Pose stage, uint64_t seed);
// Emblem i (0..12) into a 16 x 24 canvas.
void DrawEmblem(Canvas& canvas, int i);

}  // namespace varsk::datagen
