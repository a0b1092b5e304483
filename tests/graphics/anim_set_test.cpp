#include "graphics/anim_set.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace varsk {
namespace {

struct ExpectedSet {
  int auxValue;
  std::vector<int> clips;
  std::vector<int> tileBases;  // empty = all 0
};

// The whole table, set 1 first, written out independently of the variant steps.
const std::vector<ExpectedSet>& ExpectedContent() {
  static const std::vector<ExpectedSet> sets = [] {
    std::vector<ExpectedSet> s = {
        {0, {1, 2, 3, 4, 5, 6, 7, 8}, {}},                   // 1
        {0, {1, 2, 3, 4, 5, 6, 7, 8, 52}, {}},               // 2
        {0, {1, 2, 3, 4, 5, 6, 7, 13, 12}, {}},              // 3
        {0, {1, 2, 3, 4, 5, 6, 7, 8, 16}, {}},               // 4
        {0, {55, 56, 57, 58, 53, 54}, {}},                   // 5
        {0, {1, 2, 17, 18, 5, 6, 7, 8}, {}},                 // 6
        {-60, {10, 9, 9, 9}, {0, 8, 12, 32}},                // 7
        {0, {1, 2, 19, 4, 5, 6, 7, 8}, {}},                  // 8
        {0, {59, 60, 90, 91, 92, 93, 94}, {}},               // 9
        {0, {1, 2, 19, 11, 5, 6, 7, 8}, {}},                 // 10
        {-32, {10, 9, 9, 9}, {0, 8, 12, 32}},                // 11
        {-32, {21, 22, 23, 9}, {0, 10, 32, 38}},             // 12
        {0, {95, 96, 97, 98, 99, 100, 101, 102, 103}, {}},   // 13
        {0, {1, 2, 3, 11, 5, 6, 7, 8}, {}},                  // 14
        {0, {104, 105, 106, 107, 108, 109, 110}, {}},        // 15
        {0, {24, 25, 26, 27, 5, 6, 7, 8}, {}},               // 16
        {0, {111, 112, 113}, {}},                            // 17
        {0, {118}, {}},                                      // 18
        {0, {119}, {}},                                      // 19
        {0, {28, 29, 30, 31, 32, 6, 33, 34}, {}},            // 20
        {0, {1, 2, 35, 18, 5, 6, 7, 8}, {}},                 // 21
        {0, {38, 39, 40, 41, 36, 37}, {}},                   // 22
        {32, {42, 43, 47, 48, 45, 46, 44, 49, 50, 51}, {}},  // 23
    };
    for (int clip = 120; clip <= 147; ++clip) s.push_back({0, {clip}, {}});  // 24..51
    return s;
  }();
  return sets;
}

void ExpectContent(const AnimSetTable& table) {
  const auto& expected = ExpectedContent();
  ASSERT_EQ(expected.size(), 51u);
  for (int n = 1; n <= kAnimSetCount; ++n) {
    SCOPED_TRACE(::testing::Message() << "set " << n);
    const AnimSetEntry& entry = table.sets[n - 1];
    std::vector<int> clips(kMaxFrames, 0), bases(kMaxFrames, 0);
    int frames = 0, aux = 0;
    if (n <= 51) {
      const ExpectedSet& e = expected[n - 1];
      frames = static_cast<int>(e.clips.size());
      aux = e.auxValue;
      for (size_t f = 0; f < e.clips.size(); ++f) clips[f] = e.clips[f];
      for (size_t f = 0; f < e.tileBases.size(); ++f) bases[f] = e.tileBases[f];
    }
    EXPECT_EQ(entry.frameCount, frames);
    EXPECT_EQ(entry.auxValue, aux);
    EXPECT_EQ(std::vector<int>(entry.clipNumber.begin(), entry.clipNumber.end()), clips);
    EXPECT_EQ(std::vector<int>(entry.tileBase.begin(), entry.tileBase.end()), bases);
  }
}

TEST(AnimSetTable, BuildWritesTheWholeContent) {
  AnimSetTable table;
  BuildAnimSetTable(table);
  ExpectContent(table);
}

TEST(AnimSetTable, BuildEmptiesEverySetFirst) {
  AnimSetTable table;
  for (AnimSetEntry& entry : table.sets) {
    entry.frameCount = 14;
    entry.auxValue = 77;
    entry.clipNumber.fill(200);
    entry.tileBase.fill(-5);
  }
  BuildAnimSetTable(table);
  ExpectContent(table);
  BuildAnimSetTable(table);
  ExpectContent(table);
}

TEST(AnimSetTable, FindCoversSetsOneToSixtyFourOnly) {
  AnimSetTable table;
  BuildAnimSetTable(table);
  for (int n : {0, -1, 65, 255, INT_MAX, INT_MIN}) EXPECT_EQ(table.Find(n), nullptr) << n;
  EXPECT_EQ(table.Find(1), &table.sets[0]);
  EXPECT_EQ(table.Find(64), &table.sets[63]);
  EXPECT_EQ(table.Find(64)->frameCount, 0);
}

TEST(AnimSetTable, FrameGivesClipAndTileBaseWithinTheFrameCount) {
  AnimSetTable table;
  BuildAnimSetTable(table);
  const auto frame = table.Frame(12, 4);
  ASSERT_TRUE(frame.has_value());
  EXPECT_EQ(frame->clipNumber, 9);
  EXPECT_EQ(frame->tileBase, 38);
  EXPECT_EQ(table.Frame(22, 5)->clipNumber, 36);
  EXPECT_EQ(table.Frame(23, 10)->clipNumber, 51);

  EXPECT_FALSE(table.Frame(23, 11).has_value());  // past the frame count
  EXPECT_FALSE(table.Frame(1, 0).has_value());
  EXPECT_FALSE(table.Frame(1, 15).has_value());
  EXPECT_FALSE(table.Frame(0, 1).has_value());
  EXPECT_FALSE(table.Frame(52, 1).has_value());  // empty set
  EXPECT_FALSE(table.Frame(65, 1).has_value());
}

}  // namespace
}  // namespace varsk
