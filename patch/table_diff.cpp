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

}  // namespace

UnitTableDiff DiffUnitTables(const DataSet& base, const RomBuffers& a, const RomBuffers& b) {
  UnitTableDiff diff;
  for (int k = 1; k <= kRomMsEntryCount; ++k) {
    const size_t at = static_cast<size_t>(k - 1) * kRomMsEntrySize;
    const std::span<const uint8_t, kRomMsEntrySize> bytesA(a.ms.data() + at, kRomMsEntrySize);
    const std::span<const uint8_t, kRomMsEntrySize> bytesB(b.ms.data() + at, kRomMsEntrySize);
    MsRecord recordA = *base.MsSlot(k);
    MsRecord recordB = recordA;
    UnpackMsEntry(bytesA, recordA);
    UnpackMsEntry(bytesB, recordB);
    DiffRecord(k, recordA, recordB, diff.changes);
    std::array<uint8_t, kRomMsEntrySize> repackedA{};
    std::array<uint8_t, kRomMsEntrySize> repackedB{};
    PackMsEntry(recordA, repackedA);
    PackMsEntry(recordB, repackedB);
    diff.unseenTableBytes += UnseenBytes<kRomMsEntrySize>(bytesA, bytesB, repackedA, repackedB);
  }
  for (int n = 1; n <= kRomShipEntryCount; ++n) {
    const size_t at = static_cast<size_t>(n - 1) * kRomShipEntrySize;
    const std::span<const uint8_t, kRomShipEntrySize> bytesA(a.ship.data() + at, kRomShipEntrySize);
    const std::span<const uint8_t, kRomShipEntrySize> bytesB(b.ship.data() + at, kRomShipEntrySize);
    ShipRecord recordA = *base.ShipSlot(n);
    ShipRecord recordB = recordA;
    UnpackShipEntry(bytesA, recordA);
    UnpackShipEntry(bytesB, recordB);
    DiffRecord(kRomMsEntryCount + n, recordA, recordB, diff.changes);
    std::array<uint8_t, kRomShipEntrySize> repackedA{};
    std::array<uint8_t, kRomShipEntrySize> repackedB{};
    PackShipEntry(recordA, repackedA);
    PackShipEntry(recordB, repackedB);
    diff.unseenTableBytes += UnseenBytes<kRomShipEntrySize>(bytesA, bytesB, repackedA, repackedB);
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
