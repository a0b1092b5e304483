#include "data/data_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "base/messages.h"
#include "data/resources.h"

namespace varsk {
namespace {

template <typename T>
std::span<const uint8_t> BytesOf(const T& object) {
  return {reinterpret_cast<const uint8_t*>(&object), sizeof object};
}

// A DataSet with marked bytes on both sides, to catch any write outside the tables.
struct GuardedDataSet {
  static constexpr uint8_t kMark = 0xA5;
  uint8_t before[4096];
  DataSet dataSet;
  uint8_t after[4096];

  GuardedDataSet() {
    std::fill(std::begin(before), std::end(before), kMark);
    std::fill(std::begin(after), std::end(after), kMark);
  }
  bool GuardsIntact() const {
    auto marked = [](uint8_t b) { return b == kMark; };
    return std::all_of(std::begin(before), std::end(before), marked) &&
           std::all_of(std::begin(after), std::end(after), marked);
  }
};

std::unique_ptr<GuardedDataSet> NewDataSet() { return std::make_unique<GuardedDataSet>(); }

// Element bytes that differ per table, element and position, and are never zero.
uint8_t ElementByte(int table, int64_t element, int64_t offset) {
  return static_cast<uint8_t>(1 + (table * 37 + element * 11 + offset * 3) % 255);
}

// Builds a resource stream table by table.
class ResourceBuilder {
 public:
  ResourceBuilder() { Int32(0); }  // the header value

  ResourceBuilder& Int32(int32_t value) {
    uint8_t b[4];
    std::memcpy(b, &value, 4);
    bytes.insert(bytes.end(), b, b + 4);
    return *this;
  }
  // A table header with `count` and `elementSize`, then `elements` elements.
  ResourceBuilder& Table(int table, int32_t count, int32_t elementSize, int64_t elements) {
    Int32(count).Int32(elementSize);
    for (int64_t i = 0; i < elements; ++i) {
      for (int64_t j = 0; j < elementSize; ++j) bytes.push_back(ElementByte(table, i, j));
    }
    return *this;
  }
  ResourceBuilder& Table(int table, int32_t count, int32_t elementSize) {
    return Table(table, count, elementSize, count);
  }

  std::vector<uint8_t> bytes;
};

// A small resource of the shipped shape: every table present, with natural element sizes.
std::vector<uint8_t> SmallResource() {
  ResourceBuilder builder;
  builder.Table(1, 3, 560).Table(2, 2, 556).Table(3, 2, 1026).Table(4, 3, 32).Table(5, 4, 32);
  builder.Table(6, 1, 8192).Table(7, 2, 8192).Table(8, 5, 9).Table(9, 2, 8192);
  builder.bytes.insert(builder.bytes.end(), 8192, 0);  // the trailer, never read
  return builder.bytes;
}

// True when `bytes` holds elements 0..count-1 of `table` cut to `kept` bytes each,
// at `stride` apart, and zero everywhere else.
bool HoldsElements(std::span<const uint8_t> bytes, int table, int64_t count, int64_t kept,
                   int64_t stride) {
  for (int64_t at = 0; at < static_cast<int64_t>(bytes.size()); ++at) {
    const int64_t element = at / stride;
    const int64_t offset = at % stride;
    const uint8_t expected =
        element < count && offset < kept ? ElementByte(table, element, offset) : 0;
    if (bytes[static_cast<size_t>(at)] != expected) return false;
  }
  return true;
}

TEST(LoadDataSet, FillsEveryTableFromItsSlots) {
  auto guarded = NewDataSet();
  const DataSet& ds = guarded->dataSet;
  LoadDataSetFromBytes(guarded->dataSet, SmallResource());
  EXPECT_EQ(ds.msCount, 3);
  EXPECT_EQ(ds.shipCount, 2);
  EXPECT_TRUE(HoldsElements(BytesOf(ds.msRecords), 1, 3, 560, 560));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.shipRecords), 2, 2, 556, 556));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.clips), 3, 2, 1026, 1026));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.entryPalettes), 4, 3, 32, 32));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.iconPalettes), 5, 4, 32, 32));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.iconSheet), 6, 1, 8192, 8192));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.spareSheets), 7, 2, 8192, 8192));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.spriteInfos), 8, 5, 9, 9));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.spriteSheets), 9, 2, 8192, 8192));
  // Slot 1 holds the first element; numbered access follows.
  EXPECT_EQ(ds.MsSlot(1), &ds.msRecords[0]);
  EXPECT_EQ(ds.Clip(1)->cols, ElementByte(3, 0, 0));
  EXPECT_EQ(ds.Clip(3)->cols, 0);
  EXPECT_TRUE(guarded->GuardsIntact());
}

TEST(LoadDataSet, RecordsAloneLeaveTheGraphicsTables) {
  auto full = NewDataSet();
  auto records = NewDataSet();
  LoadDataSetFromBytes(full->dataSet, SmallResource());
  LoadDataSetRecordsFromBytes(records->dataSet, SmallResource());
  EXPECT_EQ(records->dataSet.msCount, 3);
  EXPECT_EQ(records->dataSet.shipCount, 2);
  EXPECT_TRUE(
      std::ranges::equal(BytesOf(records->dataSet.msRecords), BytesOf(full->dataSet.msRecords)));
  EXPECT_TRUE(std::ranges::equal(BytesOf(records->dataSet.shipRecords),
                                 BytesOf(full->dataSet.shipRecords)));
  EXPECT_TRUE(
      std::ranges::all_of(BytesOf(records->dataSet.clips), [](uint8_t b) { return b == 0; }));
  EXPECT_TRUE(records->GuardsIntact());
}

TEST(LoadDataSet, TrailerIsNotNeeded) {
  std::vector<uint8_t> full = SmallResource();
  std::vector<uint8_t> withoutTrailer(full.begin(), full.end() - 8192);
  auto a = NewDataSet();
  auto b = NewDataSet();
  LoadDataSetFromBytes(a->dataSet, full);
  LoadDataSetFromBytes(b->dataSet, withoutTrailer);
  EXPECT_TRUE(std::ranges::equal(BytesOf(a->dataSet), BytesOf(b->dataSet)));
}

TEST(LoadDataSet, CountZeroConsumesOnlyTheHeader) {
  ResourceBuilder builder;
  builder.Table(1, 0, 560).Table(2, 2, 556);
  auto guarded = NewDataSet();
  LoadDataSetFromBytes(guarded->dataSet, builder.bytes);
  EXPECT_EQ(guarded->dataSet.msCount, 0);
  EXPECT_EQ(guarded->dataSet.shipCount, 2);
  EXPECT_TRUE(HoldsElements(BytesOf(guarded->dataSet.msRecords), 1, 0, 0, 560));
  EXPECT_TRUE(HoldsElements(BytesOf(guarded->dataSet.shipRecords), 2, 2, 556, 556));
}

TEST(LoadDataSet, ShortElementFillsTheStartOfEachSlot) {
  ResourceBuilder builder;
  builder.Table(1, 3, 100).Table(2, 2, 556);
  auto guarded = NewDataSet();
  LoadDataSetFromBytes(guarded->dataSet, builder.bytes);
  EXPECT_EQ(guarded->dataSet.msCount, 3);
  EXPECT_TRUE(HoldsElements(BytesOf(guarded->dataSet.msRecords), 1, 3, 100, 560));
  EXPECT_TRUE(HoldsElements(BytesOf(guarded->dataSet.shipRecords), 2, 2, 556, 556));
}

// Faulty headers are clamped: nothing outside a table is written and the
// following tables still load from their own bytes.
TEST(LoadDataSet, OversizedCountsAreClamped) {
  ResourceBuilder builder;
  builder.Table(1, 300, 560).Table(2, 70, 556).Table(3, 260, 1026).Table(4, 257, 32);
  builder.Table(5, 6, 32).Table(6, 2, 8192).Table(7, 10, 8192).Table(8, 300, 9).Table(9, 2, 8192);
  auto guarded = NewDataSet();
  const DataSet& ds = guarded->dataSet;
  LoadDataSetFromBytes(guarded->dataSet, builder.bytes);
  EXPECT_EQ(ds.msCount, 256);
  EXPECT_EQ(ds.shipCount, 64);
  EXPECT_TRUE(HoldsElements(BytesOf(ds.msRecords), 1, 256, 560, 560));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.shipRecords), 2, 64, 556, 556));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.clips), 3, 256, 1026, 1026));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.entryPalettes), 4, 256, 32, 32));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.iconPalettes), 5, 5, 32, 32));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.iconSheet), 6, 1, 8192, 8192));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.spareSheets), 7, 9, 8192, 8192));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.spriteInfos), 8, 256, 9, 9));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.spriteSheets), 9, 2, 8192, 8192));
  EXPECT_TRUE(guarded->GuardsIntact());
}

TEST(LoadDataSet, OversizedElementsFillTheSlotAndSkipTheRest) {
  ResourceBuilder builder;
  builder.Table(1, 2, 600).Table(2, 1, 1000).Table(3, 1, 2000).Table(4, 2, 40).Table(5, 5, 33);
  auto guarded = NewDataSet();
  const DataSet& ds = guarded->dataSet;
  LoadDataSetFromBytes(guarded->dataSet, builder.bytes);
  EXPECT_TRUE(HoldsElements(BytesOf(ds.msRecords), 1, 2, 560, 560));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.shipRecords), 2, 1, 556, 556));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.clips), 3, 1, 1026, 1026));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.entryPalettes), 4, 2, 32, 32));
  EXPECT_TRUE(HoldsElements(BytesOf(ds.iconPalettes), 5, 5, 32, 32));
  EXPECT_TRUE(guarded->GuardsIntact());
}

TEST(LoadDataSet, NegativeCountsAndSizesReadNothing) {
  ResourceBuilder builder;
  builder.Table(1, -5, 560, 0).Table(2, 3, -1, 0).Table(3, 1, 1026);
  auto guarded = NewDataSet();
  LoadDataSetFromBytes(guarded->dataSet, builder.bytes);
  EXPECT_EQ(guarded->dataSet.msCount, 0);
  EXPECT_EQ(guarded->dataSet.shipCount, 3);
  EXPECT_TRUE(HoldsElements(BytesOf(guarded->dataSet.shipRecords), 2, 0, 0, 556));
  EXPECT_TRUE(HoldsElements(BytesOf(guarded->dataSet.clips), 3, 1, 1026, 1026));
}

TEST(LoadDataSet, HugeHeadersDoNotOverflow) {
  for (int table = 1; table <= 9; ++table) {
    ResourceBuilder builder;
    for (int t = 1; t < table; ++t) builder.Table(t, 0, 0);
    builder.Table(table, INT32_MAX, INT32_MAX, 0);
    builder.bytes.insert(builder.bytes.end(), 100000, 0x5A);
    auto guarded = NewDataSet();
    LoadDataSetFromBytes(guarded->dataSet, builder.bytes);
    EXPECT_TRUE(guarded->GuardsIntact()) << "table " << table;
  }
}

// A cut stream delivers a prefix: every byte is the full load's byte or still zero.
TEST(LoadDataSet, TruncatedStreamLoadsWhatIsThere) {
  const std::vector<uint8_t> full = SmallResource();
  auto reference = NewDataSet();
  LoadDataSetFromBytes(reference->dataSet, full);
  const std::span<const uint8_t> expected = BytesOf(reference->dataSet);
  for (size_t cut = 0; cut < full.size(); cut += 1013) {
    auto guarded = NewDataSet();
    LoadDataSetFromBytes(guarded->dataSet, std::span(full).first(cut));
    const std::span<const uint8_t> got = BytesOf(guarded->dataSet);
    size_t i = 0;
    while (i < got.size() && (got[i] == expected[i] || got[i] == 0)) ++i;
    ASSERT_EQ(i, got.size()) << "cut " << cut;
    ASSERT_TRUE(guarded->GuardsIntact());
  }
  // Cut inside the second MS element: the first is whole, the second partly there.
  auto guarded = NewDataSet();
  LoadDataSetFromBytes(guarded->dataSet, std::span(full).first(4 + 8 + 560 + 100));
  EXPECT_EQ(guarded->dataSet.msCount, 3);
  EXPECT_TRUE(
      HoldsElements(std::span(BytesOf(guarded->dataSet.msRecords)).first(560), 1, 1, 560, 560));
  EXPECT_EQ(guarded->dataSet.msRecords[1].spriteIndex, reference->dataSet.msRecords[1].spriteIndex);
  EXPECT_EQ(guarded->dataSet.msRecords[1].speed, 0);
  EXPECT_EQ(guarded->dataSet.shipCount, 0);
}

TEST(LoadDataSet, MissingResourceLeavesTablesUntouched) {
  UnregisterResource(kDataSetResourceType, kDataSetResourceName);
  auto guarded = NewDataSet();
  guarded->dataSet.msCount = 7;
  guarded->dataSet.msRecords[0].cost = 99;
  try {
    LoadDataSet(guarded->dataSet);
    FAIL() << "no error";
  } catch (const VarskError& error) {
    EXPECT_STREQ(error.what(), "Resource MS_DATA not found");
  }
  EXPECT_EQ(guarded->dataSet.msCount, 7);
  EXPECT_EQ(guarded->dataSet.msRecords[0].cost, 99);
}

TEST(LoadDataSet, ReadsTheRegisteredResource) {
  const std::vector<uint8_t> bytes = SmallResource();
  RegisterResource("DAT", "MS_DATA", bytes);
  auto guarded = NewDataSet();
  LoadDataSet(guarded->dataSet);
  UnregisterResource("DAT", "MS_DATA");
  EXPECT_EQ(guarded->dataSet.msCount, 3);
  EXPECT_TRUE(HoldsElements(BytesOf(guarded->dataSet.spriteSheets), 9, 2, 8192, 8192));
}

TEST(Resources, RegisterReplaceAndRemove) {
  const uint8_t first[] = {1, 2};
  const uint8_t second[] = {3};
  EXPECT_FALSE(HasResource("BIN", "ONE"));
  RegisterResource("BIN", "ONE", first);
  EXPECT_TRUE(HasResource("BIN", "ONE"));
  EXPECT_FALSE(HasResource("DAT", "ONE"));  // the type is part of the key
  EXPECT_EQ(OpenResource("BIN", "ONE").data(), first);
  RegisterResource("BIN", "ONE", second);
  EXPECT_EQ(OpenResource("BIN", "ONE").size(), 1u);
  UnregisterResource("BIN", "ONE");
  UnregisterResource("BIN", "ONE");  // removing twice is harmless
  EXPECT_THROW(
      {
        try {
          OpenResource("BIN", "ONE");
        } catch (const VarskError& error) {
          EXPECT_STREQ(error.what(), "Resource ONE not found");
          throw;
        }
      },
      VarskError);
}

struct EntryCase {
  int32_t msCount;
  int32_t shipCount;
  int entryIndex;
  EntryKind kind;
  int slot;  // record slot of the entry, 0 for none
};

class EntryOfIndex : public testing::TestWithParam<EntryCase> {};

TEST_P(EntryOfIndex, KindAndRecord) {
  const EntryCase& c = GetParam();
  auto guarded = NewDataSet();
  DataSet& ds = guarded->dataSet;
  ds.msCount = c.msCount;
  ds.shipCount = c.shipCount;
  EXPECT_EQ(KindOfEntry(ds, c.entryIndex), c.kind);
  EXPECT_EQ(MsOfEntry(ds, c.entryIndex), c.kind == EntryKind::Ms ? ds.MsSlot(c.slot) : nullptr);
  EXPECT_EQ(ShipOfEntry(ds, c.entryIndex),
            c.kind == EntryKind::Ship ? ds.ShipSlot(c.slot) : nullptr);
  const DataSet& constDs = ds;
  EXPECT_EQ(MsOfEntry(constDs, c.entryIndex), MsOfEntry(ds, c.entryIndex));
  EXPECT_EQ(ShipOfEntry(constDs, c.entryIndex), ShipOfEntry(ds, c.entryIndex));
}

INSTANTIATE_TEST_SUITE_P(
    Entries, EntryOfIndex,
    testing::Values(
        EntryCase{191, 38, 1, EntryKind::Ms, 1}, EntryCase{191, 38, 191, EntryKind::Ms, 191},
        EntryCase{191, 38, 192, EntryKind::Ship, 1}, EntryCase{191, 38, 229, EntryKind::Ship, 38},
        EntryCase{191, 38, 230, EntryKind::None, 0}, EntryCase{191, 38, 0, EntryKind::None, 0},
        EntryCase{191, 38, -1, EntryKind::None, 0},
        EntryCase{191, 38, INT32_MIN, EntryKind::None, 0},
        EntryCase{191, 38, INT32_MAX, EntryKind::None, 0}, EntryCase{0, 0, 1, EntryKind::None, 0},
        EntryCase{0, 5, 1, EntryKind::Ship, 1},
        // Counts beyond the capacities never reach past the tables.
        EntryCase{300, 0, 256, EntryKind::Ms, 256}, EntryCase{300, 0, 257, EntryKind::None, 0},
        EntryCase{1, 100, 65, EntryKind::Ship, 64}, EntryCase{1, 100, 66, EntryKind::None, 0},
        EntryCase{INT32_MAX, INT32_MAX, INT32_MAX, EntryKind::None, 0}));

TEST(DataSet, NumberedSlotsStayWithinTheTables) {
  auto guarded = NewDataSet();
  const DataSet& ds = guarded->dataSet;
  EXPECT_EQ(ds.MsSlot(0), nullptr);
  EXPECT_EQ(ds.MsSlot(256), &ds.msRecords[255]);
  EXPECT_EQ(ds.MsSlot(257), nullptr);
  EXPECT_EQ(ds.ShipSlot(64), &ds.shipRecords[63]);
  EXPECT_EQ(ds.ShipSlot(65), nullptr);
  EXPECT_EQ(ds.Clip(0), nullptr);
  EXPECT_EQ(ds.Clip(256), &ds.clips[255]);
  EXPECT_EQ(ds.Clip(257), nullptr);
}

}  // namespace
}  // namespace varsk
