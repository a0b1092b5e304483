// The record history: steps put the tables back exactly, in both directions,
// and keep to their memory bound.
#include "data/record_history.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "data/auto_modify.h"

namespace varsk {
namespace {

std::unique_ptr<DataSet> RandomRecords(unsigned seed) {
  auto dataSet = std::make_unique<DataSet>();
  std::mt19937 random(seed);
  for (auto* bytes : {reinterpret_cast<uint8_t*>(dataSet->msRecords.data()),
                      reinterpret_cast<uint8_t*>(dataSet->shipRecords.data())}) {
    const size_t size = bytes == reinterpret_cast<uint8_t*>(dataSet->msRecords.data())
                            ? sizeof dataSet->msRecords
                            : sizeof dataSet->shipRecords;
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(random() % 7);
  }
  dataSet->msCount = kMsEntryCount;
  dataSet->shipCount = kShipEntryCount;
  return dataSet;
}

// Both record tables, byte for byte.
std::vector<uint8_t> Records(const DataSet& dataSet) {
  const auto* ms = reinterpret_cast<const uint8_t*>(dataSet.msRecords.data());
  const auto* ships = reinterpret_cast<const uint8_t*>(dataSet.shipRecords.data());
  std::vector<uint8_t> bytes(ms, ms + sizeof dataSet.msRecords);
  bytes.insert(bytes.end(), ships, ships + sizeof dataSet.shipRecords);
  return bytes;
}

TEST(RecordHistoryTest, UndoAndRedoPutEveryStepBackExactly) {
  auto dataSet = RandomRecords(1);
  RecordHistory history;
  std::vector<std::vector<uint8_t>> states{Records(*dataSet)};
  const auto keep = [&] { states.push_back(Records(*dataSet)); };

  // One field; neighbouring fields of the last MS slot and the first ship slot
  // (the two tables meet there); a bulk change; a change stopped by an error.
  EXPECT_TRUE(history.Record(*dataSet, [&] { dataSet->MsSlot(12)->hp = 4321; }));
  keep();
  EXPECT_TRUE(history.Record(*dataSet, [&] {
    dataSet->msRecords.back().rawBytes[3] ^= 0xFF;
    dataSet->ShipSlot(1)->spriteIndex = -1;
    dataSet->ShipSlot(1)->padding = 9;
  }));
  keep();
  EXPECT_TRUE(history.Record(*dataSet, [&] { AutoModify(*dataSet, {true, true, true}); }));
  keep();
  EXPECT_THROW(history.Record(*dataSet,
                              [&] {
                                dataSet->MsSlot(3)->cost = 7;
                                throw std::runtime_error("stopped");
                              }),
               std::runtime_error);
  keep();
  // Nothing changed: no step, and the steps to redo stay.
  EXPECT_FALSE(history.Record(*dataSet, [&] { dataSet->MsSlot(3)->cost = 7; }));
  ASSERT_EQ(history.UndoCount(), 4u);

  for (int s = 3; s >= 0; --s) {
    ASSERT_TRUE(history.Undo(*dataSet));
    EXPECT_TRUE(Records(*dataSet) == states[s]) << "undo to state " << s;
  }
  EXPECT_FALSE(history.Undo(*dataSet));
  EXPECT_TRUE(Records(*dataSet) == states[0]);
  EXPECT_FALSE(history.Record(*dataSet, [] {}));
  for (int s = 1; s <= 4; ++s) {
    ASSERT_TRUE(history.Redo(*dataSet));
    EXPECT_TRUE(Records(*dataSet) == states[s]) << "redo to state " << s;
  }
  EXPECT_FALSE(history.Redo(*dataSet));

  // A new change after an undo ends what could be redone.
  ASSERT_TRUE(history.Undo(*dataSet));
  EXPECT_TRUE(history.Record(*dataSet, [&] { dataSet->ShipSlot(38)->hp = 1; }));
  EXPECT_EQ(history.RedoCount(), 0u);
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
    bounded.Record(*dataSet, [&] {
      dataSet->msRecords = next->msRecords;
      dataSet->shipRecords = next->shipRecords;
    });
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

}  // namespace
}  // namespace varsk
