// The record history: steps put the tables back exactly, in both directions,
// and keep to their memory bound.
#include "data/record_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <random>
#include <span>
#include <vector>

namespace varsk {
namespace {

// Both record tables as one run of bytes.
std::span<uint8_t> RecordBytes(DataSet& dataSet) {
  static_assert(offsetof(DataSet, shipRecords) ==
                offsetof(DataSet, msRecords) + sizeof(DataSet::msRecords));
  return {reinterpret_cast<uint8_t*>(dataSet.msRecords.data()),
          sizeof dataSet.msRecords + sizeof dataSet.shipRecords};
}

std::vector<uint8_t> Records(DataSet& dataSet) {
  const std::span<uint8_t> bytes = RecordBytes(dataSet);
  return {bytes.begin(), bytes.end()};
}

// Records whose every byte is one of seven values, so most words differ
// between two seeds and some bytes agree.
std::unique_ptr<DataSet> RandomRecords(unsigned seed) {
  auto dataSet = std::make_unique<DataSet>();
  std::mt19937 random(seed);
  for (uint8_t& byte : RecordBytes(*dataSet)) byte = static_cast<uint8_t>(random() % 7);
  dataSet->msCount = kMsEntryCount;
  dataSet->shipCount = kShipEntryCount;
  return dataSet;
}

// (Apply stopped by an error, Auto modify and Load ROM are steps of the
// window's own test.)
TEST(RecordHistoryTest, UndoAndRedoPutEveryStepBackExactly) {
  auto dataSet = RandomRecords(1);
  RecordHistory history;
  std::vector<std::vector<uint8_t>> states{Records(*dataSet)};
  // Fields far apart in one record; the last bytes of the MS table and the
  // first of the ship table, where the two tables meet.
  EXPECT_TRUE(history.Record(*dataSet, [&] {
    dataSet->MsSlot(12)->cost = 4321;
    dataSet->MsSlot(12)->weapons[15].occupied = -1;
  }));
  states.push_back(Records(*dataSet));
  EXPECT_TRUE(history.Record(*dataSet, [&] {
    dataSet->msRecords.back().rawBytes[3] ^= 0xFF;
    dataSet->ShipSlot(1)->spriteIndex = -1;
    dataSet->ShipSlot(kShipSlots)->padding = 9;
  }));
  states.push_back(Records(*dataSet));

  for (int s = 1; s >= 0; --s) {
    ASSERT_TRUE(history.Undo(*dataSet));
    EXPECT_TRUE(Records(*dataSet) == states[s]) << "undo to state " << s;
  }
  EXPECT_FALSE(history.Undo(*dataSet));
  // Nothing changed: no step, and the steps to redo stay.
  EXPECT_FALSE(history.Record(*dataSet, [] {}));
  for (int s = 1; s <= 2; ++s) {
    ASSERT_TRUE(history.Redo(*dataSet));
    EXPECT_TRUE(Records(*dataSet) == states[s]) << "redo to state " << s;
  }
  EXPECT_FALSE(history.Redo(*dataSet));
  // A new change after an undo ends what could be redone.
  ASSERT_TRUE(history.Undo(*dataSet));
  EXPECT_TRUE(history.Record(*dataSet, [&] { dataSet->ShipSlot(38)->hp = 1; }));
  EXPECT_FALSE(history.Redo(*dataSet));
}

TEST(RecordHistoryTest, AThousandAppliesTakeLittleAndTheLimitDropsTheOldestSteps) {
  auto dataSet = RandomRecords(2);
  const std::vector<uint8_t> original = Records(*dataSet);
  RecordHistory history;
  std::mt19937 random(5);
  for (int i = 0; i < 1000; ++i) {
    // An Apply: a few fields and a weapon of one entry.
    history.Record(*dataSet, [&] {
      MsRecord& record = *dataSet->MsSlot(1 + static_cast<int>(random() % kMsEntryCount));
      record.hp += 1;
      record.cost += 1;
      record.weapons[2].ammo += 1;
    });
  }
  ASSERT_EQ(history.UndoCount(), 1000u);
  EXPECT_LT(history.MemoryBytes(), 1u << 20);
  while (history.Undo(*dataSet)) {
  }
  EXPECT_TRUE(Records(*dataSet) == original);

  // Steps that change every record: the history keeps to its limit by
  // dropping the oldest, and the newest still undo exactly.
  constexpr size_t kLimit = size_t{1} << 20;
  RecordHistory bounded(kLimit);
  std::vector<std::vector<uint8_t>> states;
  for (unsigned seed = 10; seed < 30; ++seed) {
    states.push_back(Records(*dataSet));
    const auto next = RandomRecords(seed);
    bounded.Record(*dataSet,
                   [&] { std::ranges::copy(RecordBytes(*next), RecordBytes(*dataSet).begin()); });
    EXPECT_LE(bounded.MemoryBytes(),
              kLimit + sizeof dataSet->msRecords + sizeof dataSet->shipRecords);
  }
  EXPECT_LT(bounded.UndoCount(), 20u);
  EXPECT_GE(bounded.UndoCount(), 2u);
  for (size_t s = states.size(); bounded.Undo(*dataSet); --s) {
    EXPECT_TRUE(Records(*dataSet) == states[s - 1]);
  }
}

TEST(RecordHistoryTest, TablesChangedOutsideTheHistoryAreNotTouched) {
  auto dataSet = RandomRecords(3);
  RecordHistory history;
  history.Record(*dataSet, [&] { dataSet->MsSlot(5)->hp = 100; });
  history.Record(*dataSet, [&] { dataSet->MsSlot(6)->hp = 100; });
  dataSet->MsSlot(6)->hp = 200;  // not through the history
  const std::vector<uint8_t> changed = Records(*dataSet);
  EXPECT_FALSE(history.Undo(*dataSet));
  EXPECT_TRUE(Records(*dataSet) == changed);
  EXPECT_EQ(history.UndoCount(), 0u);
}

// The clean mark follows the tables' state, not the count of steps: undoing
// back to the saved state is clean, a new branch or a dropped history is not,
// and neither is the start once the oldest steps were trimmed away.
TEST(RecordHistoryTest, CleanMarkFollowsUndoRedoBranchesAndTrimming) {
  auto dataSet = RandomRecords(4);
  RecordHistory history;
  EXPECT_TRUE(history.IsClean());
  history.Record(*dataSet, [&] { dataSet->MsSlot(1)->hp = 1; });
  EXPECT_FALSE(history.IsClean());
  history.MarkClean();  // saved here
  history.Record(*dataSet, [&] { dataSet->MsSlot(2)->hp = 2; });
  EXPECT_FALSE(history.IsClean());
  history.Record(*dataSet, [] {});  // no change, no step
  ASSERT_TRUE(history.Undo(*dataSet));
  EXPECT_TRUE(history.IsClean());
  ASSERT_TRUE(history.Undo(*dataSet));
  EXPECT_FALSE(history.IsClean());
  ASSERT_TRUE(history.Redo(*dataSet));
  EXPECT_TRUE(history.IsClean());
  // Back one step and a different change: the saved state is out of reach.
  ASSERT_TRUE(history.Undo(*dataSet));
  history.Record(*dataSet, [&] { dataSet->MsSlot(1)->hp = 7; });
  ASSERT_FALSE(history.Redo(*dataSet));
  ASSERT_TRUE(history.Undo(*dataSet));
  EXPECT_FALSE(history.IsClean());
  history.MarkClean();
  history.Clear();
  EXPECT_FALSE(history.IsClean());

  // Marked at the start, then so many steps that the first are dropped:
  // undoing all that is left does not reach the start.
  RecordHistory bounded(size_t{64} << 10);
  for (unsigned seed = 40; seed < 44; ++seed) {
    const auto next = RandomRecords(seed);
    bounded.Record(*dataSet,
                   [&] { std::ranges::copy(RecordBytes(*next), RecordBytes(*dataSet).begin()); });
  }
  while (bounded.Undo(*dataSet)) {
  }
  EXPECT_FALSE(bounded.IsClean());
}

}  // namespace
}  // namespace varsk
