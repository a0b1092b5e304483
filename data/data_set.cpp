// The data set tables and their loader.
#include "data/data_set.h"

#include <algorithm>
#include <cstring>

#include "base/messages.h"
#include "data/resources.h"

namespace varsk {

MsRecord* DataSet::MsSlot(int k) {
  return k >= 1 && k <= kMsSlots ? &msRecords[static_cast<size_t>(k - 1)] : nullptr;
}
const MsRecord* DataSet::MsSlot(int k) const {
  return k >= 1 && k <= kMsSlots ? &msRecords[static_cast<size_t>(k - 1)] : nullptr;
}
ShipRecord* DataSet::ShipSlot(int n) {
  return n >= 1 && n <= kShipSlots ? &shipRecords[static_cast<size_t>(n - 1)] : nullptr;
}
const ShipRecord* DataSet::ShipSlot(int n) const {
  return n >= 1 && n <= kShipSlots ? &shipRecords[static_cast<size_t>(n - 1)] : nullptr;
}
const ClipRecord* DataSet::Clip(int k) const {
  return k >= 1 && k <= kClipSlots ? &clips[static_cast<size_t>(k - 1)] : nullptr;
}

void CopyRecords(const DataSet& from, DataSet& to) {
  to.msCount = from.msCount;
  to.shipCount = from.shipCount;
  to.msRecords = from.msRecords;
  to.shipRecords = from.shipRecords;
}

EntryKind KindOfEntry(const DataSet& dataSet, int entryIndex) {
  const int64_t e = entryIndex;
  const int64_t msCount = dataSet.msCount;
  const int64_t shipCount = dataSet.shipCount;
  if (e >= 1 && e <= msCount) return e <= kMsSlots ? EntryKind::Ms : EntryKind::None;
  if (e > msCount && e <= msCount + shipCount) {
    const int64_t ship = e - msCount;
    return ship >= 1 && ship <= kShipSlots ? EntryKind::Ship : EntryKind::None;
  }
  return EntryKind::None;
}

MsRecord* MsOfEntry(DataSet& dataSet, int entryIndex) {
  return KindOfEntry(dataSet, entryIndex) == EntryKind::Ms ? dataSet.MsSlot(entryIndex) : nullptr;
}
const MsRecord* MsOfEntry(const DataSet& dataSet, int entryIndex) {
  return KindOfEntry(dataSet, entryIndex) == EntryKind::Ms ? dataSet.MsSlot(entryIndex) : nullptr;
}
ShipRecord* ShipOfEntry(DataSet& dataSet, int entryIndex) {
  if (KindOfEntry(dataSet, entryIndex) != EntryKind::Ship) return nullptr;
  return dataSet.ShipSlot(static_cast<int>(int64_t{entryIndex} - dataSet.msCount));
}
const ShipRecord* ShipOfEntry(const DataSet& dataSet, int entryIndex) {
  if (KindOfEntry(dataSet, entryIndex) != EntryKind::Ship) return nullptr;
  return dataSet.ShipSlot(static_cast<int>(int64_t{entryIndex} - dataSet.msCount));
}

namespace {

// A read-only byte stream whose reads deliver what is left, never more.
class ResourceStream {
 public:
  explicit ResourceStream(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // Copies up to `length` bytes into `destination`; the rest of it is left as it was.
  void Read(uint8_t* destination, int64_t length) {
    const int64_t count = std::min(std::max<int64_t>(length, 0), Remaining());
    if (count > 0) std::memcpy(destination, bytes_.data() + position_, static_cast<size_t>(count));
    position_ += count;
  }

  void Skip(int64_t length) { position_ += std::min(std::max<int64_t>(length, 0), Remaining()); }

  // A 32-bit value over `value`: bytes past the end keep their previous contents.
  void ReadInt32(int32_t& value) {
    uint8_t bytes[4];
    std::memcpy(bytes, &value, 4);
    Read(bytes, 4);
    std::memcpy(&value, bytes, 4);
  }

 private:
  int64_t Remaining() const { return static_cast<int64_t>(bytes_.size()) - position_; }

  std::span<const uint8_t> bytes_;
  int64_t position_ = 0;
};

struct TableHeader {
  int32_t count = 0;
  int32_t elementSize = 0;
};

// Reads the elements of one table after its header. Elements go to consecutive
// slots of `stride` bytes; a count above `capacity` and the bytes of an element
// beyond the stride are skipped, so the following tables stay aligned and
// nothing outside the table is written. When `packed`, elements no larger than
// the stride are read in one piece to the start of the table, as the format has it.
void ReadTableElements(ResourceStream& stream, const TableHeader& header, uint8_t* table,
                       int64_t stride, int64_t capacity, bool packed) {
  const int64_t count = std::max<int32_t>(header.count, 0);
  const int64_t elementSize = std::max<int32_t>(header.elementSize, 0);
  const int64_t stored = std::min(count, capacity);
  if (packed && elementSize <= stride) {
    stream.Read(table, stored * elementSize);
  } else {
    const int64_t kept = std::min(elementSize, stride);
    for (int64_t i = 0; i < stored; ++i) {
      stream.Read(table + i * stride, kept);
      stream.Skip(elementSize - kept);
    }
  }
  stream.Skip((count - stored) * elementSize);
}

template <typename Element, size_t N>
uint8_t* TableBytes(std::array<Element, N>& table) {
  return reinterpret_cast<uint8_t*>(table.data());
}

// Tables 4 to 9: header, then the elements in one piece.
void ReadPackedTable(ResourceStream& stream, uint8_t* table, int64_t stride, int64_t capacity) {
  TableHeader header;
  stream.ReadInt32(header.count);
  stream.ReadInt32(header.elementSize);
  ReadTableElements(stream, header, table, stride, capacity, true);
}

template <typename Element, size_t N>
void ReadPackedTable(ResourceStream& stream, std::array<Element, N>& table) {
  ReadPackedTable(stream, TableBytes(table), sizeof(Element), N);
}

// The header value and tables 1 and 2: the MS and ship records.
void ReadRecordTables(ResourceStream& stream, DataSet& dataSet) {
  int32_t headerValue = 0;
  stream.ReadInt32(headerValue);

  TableHeader ms{dataSet.msCount, 0};
  stream.ReadInt32(ms.count);
  stream.ReadInt32(ms.elementSize);
  ReadTableElements(stream, ms, TableBytes(dataSet.msRecords), sizeof(MsRecord), kMsSlots, false);
  dataSet.msCount = std::clamp<int32_t>(ms.count, 0, kMsSlots);

  TableHeader ships{dataSet.shipCount, 0};
  stream.ReadInt32(ships.count);
  stream.ReadInt32(ships.elementSize);
  ReadTableElements(stream, ships, TableBytes(dataSet.shipRecords), sizeof(ShipRecord), kShipSlots,
                    false);
  dataSet.shipCount = std::clamp<int32_t>(ships.count, 0, kShipSlots);
}

}  // namespace

void LoadDataSetRecordsFromBytes(DataSet& dataSet, std::span<const uint8_t> bytes) {
  ResourceStream stream(bytes);
  ReadRecordTables(stream, dataSet);
}

void LoadDataSetFromBytes(DataSet& dataSet, std::span<const uint8_t> bytes) {
  ResourceStream stream(bytes);
  ReadRecordTables(stream, dataSet);

  TableHeader clips;
  stream.ReadInt32(clips.count);
  stream.ReadInt32(clips.elementSize);
  ReadTableElements(stream, clips, TableBytes(dataSet.clips), sizeof(ClipRecord), kClipSlots,
                    false);

  ReadPackedTable(stream, dataSet.entryPalettes);
  ReadPackedTable(stream, dataSet.iconPalettes);
  ReadPackedTable(stream, reinterpret_cast<uint8_t*>(&dataSet.iconSheet), sizeof(TileSheet),
                  kIconSheetSlots);
  ReadPackedTable(stream, dataSet.spareSheets);
  ReadPackedTable(stream, dataSet.spriteInfos);
  ReadPackedTable(stream, dataSet.spriteSheets);
}

void LoadDataSet(DataSet& dataSet) {
  LoadDataSetFromBytes(dataSet, OpenResource(kDataSetResourceType, kDataSetResourceName));
}

void LoadDataSetRecords(DataSet& dataSet) {
  LoadDataSetRecordsFromBytes(dataSet, OpenResource(kDataSetResourceType, kDataSetResourceName));
}

DataSet& GlobalDataSet() {
  // 2.6 MB, zero at start and kept for the whole run.
  static DataSet* const dataSet = new DataSet();
  return *dataSet;
}

}  // namespace varsk
