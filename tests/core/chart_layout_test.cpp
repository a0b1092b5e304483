// The chart's layout: which entries become points, the axis ranges and ticks,
// where the points lie, and what the pointer reaches.
#include "chart/chart_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "base/messages.h"
#include "core/catalogue_records.h"

namespace varsk {
namespace {

using varsk::testing::Catalogue;
using varsk::testing::NameOf;

ChartLayout Chart(const DataSet& dataSet, const std::string& x, const std::string& y,
                  const std::string& filter = "") {
  ChartRequest request;
  request.xField = x;
  request.yField = y;
  request.filter = ParseEntryFilter(filter);
  request.filterText = filter;
  request.names = NameOf;
  return LayOutChart(dataSet, request);
}

std::vector<int> Entries(const ChartLayout& layout) {
  std::vector<int> entries;
  for (const ChartPoint& point : layout.points) entries.push_back(point.entryIndex);
  return entries;
}

TEST(ChartLayoutTest, ThePointsAreTheEntriesTheFilterKeepsThatHoldBothFields) {
  const auto dataSet = Catalogue();
  const ChartLayout all = Chart(*dataSet, "cost", "hp");
  ASSERT_EQ(all.points.size(), 229u);
  EXPECT_TRUE(all.problem.empty());
  EXPECT_EQ(all.points[11].entryIndex, 12);
  EXPECT_EQ(all.points[11].kind, EntryKind::Ms);
  EXPECT_EQ(all.points[11].x, 988);
  EXPECT_EQ(all.points[11].y, 24);
  EXPECT_EQ(all.points[228].kind, EntryKind::Ship);

  EXPECT_EQ(Entries(Chart(*dataSet, "cost", "hp", "kind=ms hp>=376")),
            (std::vector<int>{188, 189, 190, 191}));
  EXPECT_EQ(Entries(Chart(*dataSet, "entryIndex", "hp", "rampart")), (std::vector<int>{8}));
  EXPECT_EQ(Chart(*dataSet, "entryIndex", "hp", "rampart").points[0].x, 8);
  // A field of one kind: the other kind's entries are left out.
  const ChartLayout ships = Chart(*dataSet, "defense", "hp");
  ASSERT_EQ(ships.points.size(), 38u);
  EXPECT_EQ(ships.points[0].entryIndex, 192);
  EXPECT_EQ(ships.note.text, "38 of 229 entries");
  EXPECT_EQ(ships.legend.size(), 1u);
  EXPECT_EQ(ships.legend[0].label.text, "Ship 38");
}

TEST(ChartLayoutTest, WithoutPointsTheLayoutSaysWhy) {
  const auto dataSet = Catalogue();
  EXPECT_EQ(Chart(*dataSet, "cost", "hp", "hp>99999").problem,
            "No entry meets the filter 'hp>99999'");
  EXPECT_EQ(Chart(*dataSet, "defense", "hp", "kind=ms").problem,
            "None of the 191 entries the filter leaves has the field 'defense' (only ships have "
            "it)");
  EXPECT_EQ(Chart(*dataSet, "hp", "ace", "kind=ship entryIndex=200").problem,
            "The one entry the filter leaves lacks the field 'ace' (only MS entries have it)");
  EXPECT_EQ(Chart(*dataSet, "ace", "defense").problem, "No entry has both 'ace' and 'defense'");
  EXPECT_TRUE(Chart(*dataSet, "ace", "defense").points.empty());
  EXPECT_EQ(Chart(DataSet{}, "cost", "hp").problem, "There is no entry to chart");
}

TEST(ChartLayoutTest, OnlyFieldsThatHoldNumbersTakeAnAxis) {
  const auto dataSet = Catalogue();
  EXPECT_NO_THROW(CheckChartField("w7.ammo"));
  EXPECT_NO_THROW(CheckChartField("entryIndex"));
  for (const char* field : {"hpp", "", "nameE", "kind", "rawBytes"}) {
    EXPECT_THROW(Chart(*dataSet, field, "hp"), VarskError) << field;
  }
  try {
    CheckChartField("nameE");
  } catch (const VarskError& error) {
    EXPECT_STREQ(error.what(), "'nameE' does not hold a number to chart");
  }
}

// Ranges from tick to tick: they hold every value, start and end on a tick,
// step by 1, 2 or 5 times a power of ten, and keep the ticks apart.
void ExpectNiceAxis(const ChartAxis& axis, int64_t low, int64_t high, double length) {
  SCOPED_TRACE(axis.field + " " + std::to_string(low) + ".." + std::to_string(high));
  EXPECT_LE(axis.minimum, low);
  EXPECT_GE(axis.maximum, high);
  EXPECT_LT(axis.minimum, axis.maximum);
  int64_t magnitude = axis.step;
  while (magnitude % 10 == 0) magnitude /= 10;
  EXPECT_TRUE(magnitude == 1 || magnitude == 2 || magnitude == 5) << axis.step;
  EXPECT_EQ(axis.minimum % axis.step, 0);
  EXPECT_EQ(axis.maximum % axis.step, 0);
  // No wider than a step past the values on either side.
  EXPECT_GT(axis.minimum + axis.step, low - (low == high));
  EXPECT_LT(axis.maximum - axis.step, high + (low == high));
  ASSERT_GE(axis.ticks.size(), 3u);
  EXPECT_GE(std::abs(axis.ticks[1].position - axis.ticks[0].position), 30.0);
  EXPECT_LE(std::abs(axis.ticks.back().position - axis.ticks.front().position), length);
}

TEST(ChartLayoutTest, AxesHoldEveryValueBetweenRoundTicks) {
  auto dataSet = Catalogue();
  struct Range {
    int64_t low, high;
  };
  for (const Range range : std::vector<Range>{
           {205, 205}, {0, 0}, {-127, 127}, {-5, -3}, {1, 65535}, {996, 1004}, {0, 8191}}) {
    for (int k = 1; k <= kMsEntryCount; ++k) {
      dataSet->MsSlot(k)->weapons[2].ammo =
          static_cast<int32_t>(k == 1   ? range.low
                               : k == 2 ? range.high
                                        : (range.low + range.high) / 2);
    }
    const ChartLayout layout = Chart(*dataSet, "hp", "w2.ammo", "kind=ms");
    ExpectNiceAxis(layout.y, range.low, range.high, layout.plot.height);
    // Every marker lies whole inside the frame.
    for (const ChartPoint& point : layout.points) {
      EXPECT_GE(point.py - kChartMarkerRadius, layout.plot.top);
      EXPECT_LE(point.py + kChartMarkerRadius, layout.plot.Bottom());
      EXPECT_GE(point.px - kChartMarkerRadius, layout.plot.left);
      EXPECT_LE(point.px + kChartMarkerRadius, layout.plot.Right());
    }
    // Larger values higher up; equal values on one spot.
    EXPECT_LE(layout.points[1].py, layout.points[0].py);
    if (range.low == range.high) {
      EXPECT_EQ(layout.points[1].py, layout.points[0].py);
    }
  }
  const ChartLayout costs = Chart(*dataSet, "cost", "hp", "kind=ms");
  ExpectNiceAxis(costs.x, 809, 999, costs.plot.width);
}

// At the narrowest size the title, the legend and the note never overprint:
// a legend that does not fit beside the title gets a line of its own, the
// plot below it, and a long filter is cut to the picture's width.
TEST(ChartLayoutTest, TextAboveThePlotStaysApartAndInsideTheNarrowestPicture) {
  const auto dataSet = Catalogue();
  const std::string filter = "kind=ms hp>=0 cost>=0 en>=0 armor>=0 speed>=0 tech>=0 ace>=0";
  for (const int width : {240, 320, 640}) {
    ChartRequest request;
    request.xField = "artilleryRange";
    request.yField = "w7.weaponId";
    request.filterText = width == 240 ? filter : "";
    request.filter = ParseEntryFilter(request.filterText);
    request.width = width;
    const ChartLayout layout = LayOutChart(*dataSet, request);
    ASSERT_FALSE(layout.legend.empty());
    const ChartLegendItem& first = layout.legend.front();
    const double titleEnd = layout.title.x + 0.6 * kChartTitleFont * layout.title.text.size();
    const bool besideTitle = first.label.y == layout.title.y;
    if (besideTitle) {
      EXPECT_GT(first.markerX - kChartMarkerRadius, titleEnd) << width;
    } else {
      EXPECT_GT(first.label.y, layout.note.y) << width;
    }
    EXPECT_GT(layout.plot.top, first.label.y + 4) << width;
    EXPECT_LE(layout.note.text.size() * 0.6 * kChartTickFont, width) << width;
  }
}

TEST(ChartLayoutTest, ThePointerReachesEveryPointOfAStack) {
  auto dataSet = Catalogue();
  for (int k : {5, 6, 7}) {
    dataSet->MsSlot(k)->cost = 700;
    dataSet->MsSlot(k)->hp = 300;
  }
  const ChartLayout layout = Chart(*dataSet, "cost", "hp");
  const ChartPoint& five = layout.points[4];
  std::vector<int> reached;
  for (const ChartPoint* point : PointsNear(layout, five.px + 2, five.py - 1, 6)) {
    reached.push_back(point->entryIndex);
  }
  EXPECT_EQ(reached, (std::vector<int>{5, 6, 7}));
  EXPECT_TRUE(PointsNear(layout, five.px + 40, five.py, 6).empty());
  EXPECT_EQ(DescribeChartPoint(layout, five, NameOf), "005 Unit 5: cost 700, hp 300");
  EXPECT_EQ(DescribeChartPoint(layout, five, {}), "005: cost 700, hp 300");
}

}  // namespace
}  // namespace varsk
