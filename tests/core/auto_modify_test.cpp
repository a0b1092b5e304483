#include "data/auto_modify.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace varsk {
namespace {

std::unique_ptr<DataSet> Records() {
  auto dataSet = std::make_unique<DataSet>();
  dataSet->msCount = 3;
  dataSet->shipCount = 2;
  MsRecord& a = dataSet->msRecords[0];
  a.hp = 171;
  a.productTurn = 5;
  a.supportTurn = 3;
  a.weapons[2] = {7, 30, -16};
  a.weapons[0] = {0, 10, -6};  // empty slot: left alone
  a.weapons[1] = {3, 10, 4};   // shots already
  a.weapons[9] = {5, 10, -2};  // slot 8..15: left alone
  MsRecord& b = dataSet->msRecords[1];
  b.hp = 150;
  b.weapons[7] = {9, 1, -6};
  b.productTurn = 0;
  b.supportTurn = 1;
  MsRecord& c = dataSet->msRecords[2];
  c.hp = 10;
  c.weapons[3] = {1, 1, -16};
  c.productTurn = -4;
  dataSet->shipRecords[0].productTurn = 3;
  dataSet->shipRecords[0].supportTurn = 2;
  dataSet->shipRecords[0].hp = 100;
  dataSet->shipRecords[0].weapons[0] = {4, 4, -5};  // ship weapons: left alone
  dataSet->shipRecords[1].productTurn = 1;
  // Beyond the counts: never touched.
  dataSet->msRecords[3].productTurn = 9;
  dataSet->msRecords[3].weapons[0] = {1, 1, -1};
  dataSet->shipRecords[2].supportTurn = 9;
  return dataSet;
}

bool SameRecords(const DataSet& a, const DataSet& b) {
  return std::memcmp(&a.msRecords, &b.msRecords, sizeof a.msRecords) == 0 &&
         std::memcmp(&a.shipRecords, &b.shipRecords, sizeof a.shipRecords) == 0;
}

TEST(AutoModify, NothingTickedChangesNothing) {
  auto dataSet = Records();
  auto before = std::make_unique<DataSet>(*dataSet);
  EXPECT_EQ(AutoModify(*dataSet, {}), 0);
  EXPECT_TRUE(SameRecords(*dataSet, *before));
}

TEST(AutoModify, AmmoFromHpBecomesShots) {
  auto dataSet = Records();
  auto expected = std::make_unique<DataSet>(*dataSet);
  expected->msRecords[0].weapons[2].ammo = 10;  // 171 / 16
  expected->msRecords[1].weapons[7].ammo = 25;  // 150 / 6
  expected->msRecords[2].weapons[3].ammo = 0;   // 10 / 16
  EXPECT_EQ(AutoModify(*dataSet, {.ammoFromHp = true}), 3);
  EXPECT_TRUE(SameRecords(*dataSet, *expected));
  // A second press finds nothing left to change.
  EXPECT_EQ(AutoModify(*dataSet, {.ammoFromHp = true}), 0);
  EXPECT_EQ(dataSet->msRecords[0].weapons[2].ammo, 10);
}

TEST(AutoModify, ProductTurnsToOne) {
  auto dataSet = Records();
  auto expected = std::make_unique<DataSet>(*dataSet);
  expected->msRecords[0].productTurn = 1;
  expected->shipRecords[0].productTurn = 1;
  EXPECT_EQ(AutoModify(*dataSet, {.productTurnToOne = true}), 2);
  EXPECT_TRUE(SameRecords(*dataSet, *expected));
}

TEST(AutoModify, SupportTurnsToOne) {
  auto dataSet = Records();
  auto expected = std::make_unique<DataSet>(*dataSet);
  expected->msRecords[0].supportTurn = 1;
  expected->shipRecords[0].supportTurn = 1;
  EXPECT_EQ(AutoModify(*dataSet, {.supportTurnToOne = true}), 2);
  EXPECT_TRUE(SameRecords(*dataSet, *expected));
}

TEST(AutoModify, AllThreeTogether) {
  auto dataSet = Records();
  EXPECT_EQ(AutoModify(*dataSet, {true, true, true}), 7);
  EXPECT_EQ(AutoModify(*dataSet, {true, true, true}), 0);
}

TEST(AutoModify, NegativeHpDividesWithoutOverflow) {
  auto dataSet = std::make_unique<DataSet>();
  dataSet->msCount = 1;
  MsRecord& r = dataSet->msRecords[0];
  r.hp = INT32_MIN;
  r.weapons[0] = {1, 0, -1};
  r.weapons[1] = {1, 0, -2};
  r.weapons[2] = {1, 0, INT32_MIN};
  AutoModify(*dataSet, {.ammoFromHp = true});
  EXPECT_EQ(r.weapons[0].ammo, INT32_MIN);  // -(2^31) wraps back to itself
  EXPECT_EQ(r.weapons[1].ammo, -1073741824);
  EXPECT_EQ(r.weapons[2].ammo, -1);
  r.hp = -7;
  r.weapons[0].ammo = -2;
  AutoModify(*dataSet, {.ammoFromHp = true});
  EXPECT_EQ(r.weapons[0].ammo, -3);  // truncated toward zero: -(-7 / -2) = -3
}

TEST(AutoModify, CountsOutsideTheTablesAreClamped) {
  auto dataSet = std::make_unique<DataSet>();
  dataSet->msCount = 100000;
  dataSet->shipCount = -3;
  for (MsRecord& r : dataSet->msRecords) r.productTurn = 2;
  dataSet->shipRecords[0].productTurn = 2;
  EXPECT_EQ(AutoModify(*dataSet, {.productTurnToOne = true}), kMsSlots);
  EXPECT_EQ(dataSet->shipRecords[0].productTurn, 2);
}

}  // namespace
}  // namespace varsk
