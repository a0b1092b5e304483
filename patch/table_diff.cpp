#include "patch/table_diff.h"

#include <algorithm>
#include <array>

#include "patch/byte_compare.h"

namespace varsk {

namespace {

// Bytes of one packed entry that differ between a and b although their
// repacked forms (which only the fields decide) agree.
template <size_t Size>
int64_t UnseenBytes(std::span<const uint8_t, Size> a, std::span<const uint8_t, Size> b,
                    std::span<const uint8_t, Size> repackedA,
                    std::span<const uint8_t, Size> repackedB) {
  int64_t count = 0;
  for (size_t i = 0; i < Size; ++i) {
    if (a[i] != b[i] && repackedA[i] == repackedB[i]) ++count;
  }
  return count;
}

// Entry `number` (from 1) of two tables of one format, unpacked over `base`:
// its changed fields into `diff`, and the bytes no field shows.
template <size_t Size, typename Record>
void DiffEntry(int entryIndex, const Record& base, std::span<const uint8_t> tableA,
               std::span<const uint8_t> tableB, int number, UnitTableDiff& diff) {
  const size_t at = static_cast<size_t>(number - 1) * Size;
  const std::span<const uint8_t, Size> bytesA(tableA.data() + at, Size);
  const std::span<const uint8_t, Size> bytesB(tableB.data() + at, Size);
  Record recordA = base;
  Record recordB = base;
  UnpackRomEntry(bytesA, recordA);
  UnpackRomEntry(bytesB, recordB);
  DiffRecord(entryIndex, recordA, recordB, diff.changes);
  std::array<uint8_t, Size> repackedA{};
  std::array<uint8_t, Size> repackedB{};
  PackRomEntry(recordA, repackedA);
  PackRomEntry(recordB, repackedB);
  diff.unseenTableBytes += UnseenBytes<Size>(bytesA, bytesB, repackedA, repackedB);
}

}  // namespace

UnitTableDiff DiffUnitTables(const DataSet& base, const RomBuffers& a, const RomBuffers& b) {
  UnitTableDiff diff;
  for (int k = 1; k <= kRomMsEntryCount; ++k) {
    DiffEntry<kRomMsEntrySize>(k, *base.MsSlot(k), a.ms, b.ms, k, diff);
  }
  for (int n = 1; n <= kRomShipEntryCount; ++n) {
    DiffEntry<kRomShipEntrySize>(kRomMsEntryCount + n, *base.ShipSlot(n), a.ship, b.ship, n, diff);
  }
  return diff;
}

namespace {

int64_t CountDifferingIn(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t begin,
                         size_t end) {
  return begin < end ? CountDifferences(a, b, begin, end) : 0;
}

}  // namespace

int64_t CountDifferingBytes(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  const size_t common = std::min(a.size(), b.size());
  return CountDifferingIn(a, b, 0, common) +
         static_cast<int64_t>(std::max(a.size(), b.size()) - common);
}

int64_t CountDifferencesOutsideTables(std::span<const uint8_t> a, std::span<const uint8_t> b) {
  const size_t common = std::min(a.size(), b.size());
  const size_t tablesBegin = std::min<size_t>(kMsTableOffset, common);
  const size_t tablesEnd = std::min<size_t>(kRomTablesEnd, common);
  const int64_t onlyInLonger = static_cast<int64_t>(std::max(a.size(), b.size()) - common);
  // Every byte that only the longer file has counts as a difference.
  return CountDifferingIn(a, b, 0, tablesBegin) + CountDifferingIn(a, b, tablesEnd, common) +
         onlyInLonger;
}

}  // namespace varsk
