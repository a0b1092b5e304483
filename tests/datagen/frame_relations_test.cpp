// Frames that reuse another frame's tiles through flips and offsets must show
// that frame's picture turned or moved, exactly; the twin-armed heavy units'
// single frame is drawn from a mirrored half and must come out symmetric.
#include <gtest/gtest.h>

#include <memory>

#include "cliplib/cliplib.h"
#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "graphics/anim_set.h"

namespace varsk {
namespace {

enum class Relation { Mirror, Shift, Rotate, Symmetric };

struct FrameCase {
  int set;
  int frame;
  Relation relation;
  int source;  // frame whose picture this one repeats
  int dy;      // Shift only
};

std::ostream& operator<<(std::ostream& out, const FrameCase& c) {
  return out << "set " << c.set << " frame " << c.frame;
}

const DataSet& Shipped() {
  static const DataSet* data = [] {
    RegisterEmbeddedDataSet();
    auto ds = std::make_unique<DataSet>();
    LoadDataSet(*ds);
    return ds.release();
  }();
  return *data;
}

// Frame f of a set, drawn where the preview would draw it, with the first
// sprite that uses the set; transparent pixels stay 0.
Bitmap32 Render(int set, int frame) {
  static AnimSetTable table = [] {
    AnimSetTable t;
    BuildAnimSetTable(t);
    return t;
  }();
  const DataSet& ds = Shipped();
  int sprite = 0;
  for (int s = 1; s < kSpriteInfoSlots && sprite == 0; ++s) {
    if (ds.spriteInfos[s].animSet == set) sprite = s;
  }
  Bitmap32 out(128, 80, 0);
  const AnimSetEntry* entry = table.Find(set);
  if (sprite == 0 || entry == nullptr || frame > entry->frameCount) return out;
  const ClipRecord& clip = *ds.Clip(entry->clipNumber[frame - 1]);
  DrawClip(64 - 4 * clip.cols, 40 - 4 * clip.rows, ds.spriteSheets[sprite].bytes,
           ds.entryPalettes[0], clip, entry->tileBase[frame - 1], out);
  return out;
}

class FrameRelations : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameRelations, ShowTheirSourcePictureTransformed) {
  const FrameCase& c = GetParam();
  const Bitmap32 frame = Render(c.set, c.frame);
  const Bitmap32 source = Render(c.set, c.source);
  int drawn = 0;
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 128; ++x) {
      uint32_t expected = 0;
      switch (c.relation) {
        case Relation::Mirror:
          expected = source.At(127 - x, y);
          break;
        case Relation::Symmetric:
          expected = frame.At(127 - x, y);
          break;
        case Relation::Rotate:
          expected = source.At(127 - x, 79 - y);
          break;
        case Relation::Shift:
          expected = y - c.dy < 80 ? source.At(x, y - c.dy) : 0;
          break;
      }
      ASSERT_EQ(frame.At(x, y), expected) << "pixel " << x << "," << y;
      drawn += expected != 0;
    }
  }
  EXPECT_GT(drawn, 100);
}

std::vector<FrameCase> Cases() {
  std::vector<FrameCase> cases;
  for (int set : {1, 2, 3, 4, 6, 8, 10, 14, 16, 21}) {
    cases.push_back({set, 7, Relation::Mirror, 3, 0});
    if (set != 3)
      cases.push_back({set, 8, Relation::Shift, 5, -2});  // set 3 has a frame 8 of its own
  }
  for (int set : {9, 13, 15, 22, 23}) {
    cases.push_back({set, 2, Relation::Shift, 1, -1});
    cases.push_back({set, 4, Relation::Mirror, 3, 0});
  }
  for (int set : {9, 13, 15}) cases.push_back({set, 7, Relation::Shift, 5, -2});
  cases.push_back({13, 8, Relation::Mirror, 5, 0});
  cases.push_back({13, 9, Relation::Rotate, 1, 0});
  cases.push_back({23, 7, Relation::Mirror, 5, 0});
  cases.push_back({23, 8, Relation::Shift, 5, -2});
  cases.push_back({23, 10, Relation::Rotate, 1, 0});
  cases.push_back({5, 2, Relation::Shift, 1, -1});
  cases.push_back({5, 3, Relation::Shift, 1, -2});
  cases.push_back({17, 2, Relation::Shift, 1, -1});
  for (int set : {26, 30, 33}) cases.push_back({set, 1, Relation::Symmetric, 1, 0});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Shipped, FrameRelations, ::testing::ValuesIn(Cases()));

}  // namespace
}  // namespace varsk
