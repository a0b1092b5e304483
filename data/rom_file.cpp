// Load ROM and Save ROM on the file: the two runs at offset 4194762, in place.
#include "data/rom_file.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "base/file_io.h"
#include "base/messages.h"
#include "base/shown_text.h"
#include "data/entry_fields.h"

namespace varsk {
namespace {

// The two runs lie back to back: one read or write covers both.
static_assert(kShipTableOffset == kMsTableOffset + kMsTableBytes);
using TableBytes = std::array<uint8_t, kRomTableBytes>;

// Reads both runs as they are in `file`; throws when the file is too short.
TableBytes ReadRuns(const RegularFile& file) {
  TableBytes bytes{};
  if (file.Size() < static_cast<uint64_t>(kRomTablesEnd) ||
      file.ReadAt(kMsTableOffset, bytes) < bytes.size()) {
    // Checked again on the read: the file may have shrunk since it was opened.
    throw VarskError(RomTooShortMessage(FullPath(file.Path()), static_cast<int64_t>(file.Size()),
                                        kRomTablesEnd));
  }
  return bytes;
}

// The two runs from `bytes`, which start with the first byte of the MS table.
RomBuffers ToBuffers(std::span<const uint8_t> bytes) {
  RomBuffers buffers;
  std::copy_n(bytes.begin(), kMsTableBytes, buffers.ms.begin());
  std::copy_n(bytes.begin() + kMsTableBytes, kShipTableBytes, buffers.ship.begin());
  return buffers;
}

TableBytes FromBuffers(const RomBuffers& buffers) {
  TableBytes bytes{};
  std::copy(buffers.ms.begin(), buffers.ms.end(), bytes.begin());
  std::copy(buffers.ship.begin(), buffers.ship.end(), bytes.begin() + kMsTableBytes);
  return bytes;
}

}  // namespace

void ReadRomTables(const std::string& path, RomBuffers& buffers) {
  RegularFile file(path, RegularFile::Access::Read);
  buffers = ToBuffers(ReadRuns(file));
}

void UpdateRomTables(const std::string& path, const std::function<void(RomBuffers&)>& change,
                     const std::string& backupPath) {
  RegularFile file(path, RegularFile::Access::Update);
  if (!backupPath.empty()) file.KeepCopy(backupPath, file.ReadWhole(FileKind::RomImage));
  const TableBytes previous = ReadRuns(file);
  RomBuffers tables = ToBuffers(previous);
  change(tables);
  file.ReplaceRun(kMsTableOffset, FromBuffers(tables), previous);
  file.Close();
}

void WriteRomTables(const std::string& path, const RomBuffers& buffers) {
  UpdateRomTables(path, [&](RomBuffers& tables) { tables = buffers; });
}

void LoadRomFile(const std::string& path, RomBuffers& buffers, DataSet& dataSet) {
  ReadRomTables(path, buffers);
  UnpackRomTables(buffers, dataSet);
}

void SaveRomFile(const std::string& path, const DataSet& dataSet, RomBuffers& buffers) {
  PackRomTables(dataSet, buffers);
  WriteRomTables(path, buffers);
}

std::optional<RomBuffers> RomTablesOfImage(std::span<const uint8_t> image) {
  if (image.size() < static_cast<uint64_t>(kRomTablesEnd)) return std::nullopt;
  return ToBuffers(image.subspan(kMsTableOffset));
}

RomImage ReadRomImage(const std::string& path) {
  std::vector<uint8_t> bytes = ReadWholeFile(path, FileKind::RomImage);
  std::optional<RomBuffers> tables = RomTablesOfImage(bytes);
  if (!tables) {
    throw VarskError(
        RomTooShortMessage(FullPath(path), static_cast<int64_t>(bytes.size()), kRomTablesEnd));
  }
  return RomImage{std::move(bytes), *tables};
}

namespace {

// Calls action(byte, bits) for each byte of the ROM entry that `field` touches,
// with the bits of that byte that hold it.
template <typename Action>
void ForEachFieldByte(const EntryField& field, Action action) {
  for (int i = 0; i < field.RomByteCount(); ++i) {
    action(static_cast<size_t>(field.romByte + i), field.RomBitsOfByte(i));
  }
}

constexpr std::array<uint8_t, kRomMsEntrySize> kMsHeldBits =
    *HeldRomBits<kRomMsEntrySize>(kMsFields);
constexpr std::array<uint8_t, kRomShipEntrySize> kShipHeldBits =
    *HeldRomBits<kRomShipEntrySize>(kShipFields);

// Copies into `target` the bits of every field whose packed bits differ
// between `oldImage` and `newImage`, with the bits of its bytes that no field
// holds (`held` has the others; packing writes these). The bits of the other
// fields stay as in `target`, so a change that another program stored there
// meanwhile is kept, also in a byte that two fields share. Returns the number
// of bytes changed.
template <size_t Size>
int CopyChangedFields(std::span<const EntryField> fields, const std::array<uint8_t, Size>& held,
                      std::span<const uint8_t, Size> oldImage,
                      std::span<const uint8_t, Size> newImage, std::span<uint8_t> target) {
  std::array<uint8_t, Size> copied{};
  for (const EntryField& field : fields) {
    bool differs = false;
    ForEachFieldByte(field, [&](size_t at, uint8_t bits) {
      differs = differs || ((oldImage[at] ^ newImage[at]) & bits) != 0;
    });
    if (!differs) continue;
    ForEachFieldByte(field, [&](size_t at, uint8_t bits) {
      copied[at] |= static_cast<uint8_t>(bits | ~held[at]);
    });
  }
  int changed = 0;
  for (size_t i = 0; i < newImage.size(); ++i) {
    const auto merged = static_cast<uint8_t>((target[i] & ~copied[i]) | (newImage[i] & copied[i]));
    if (merged != target[i]) {
      target[i] = merged;
      ++changed;
    }
  }
  return changed;
}

// Entry `number` (from 1) of `table`, whose fields and held bits are given.
template <size_t Size, typename Record>
int MergeEntry(std::span<const EntryField> fields, const std::array<uint8_t, Size>& held,
               const Record& before, const Record& after, std::span<uint8_t> table, int number) {
  std::array<uint8_t, Size> oldImage{};
  std::array<uint8_t, Size> newImage{};
  PackRomEntry(before, oldImage);
  PackRomEntry(after, newImage);
  return CopyChangedFields<Size>(fields, held, oldImage, newImage,
                                 table.subspan(static_cast<size_t>(number - 1) * Size, Size));
}

}  // namespace

int MergeRecordChanges(const DataSet& before, const DataSet& after, RomBuffers& tables) {
  int changed = 0;
  for (int k = 1; k <= kRomMsEntryCount; ++k) {
    changed += MergeEntry(EntryFields(EntryKind::Ms), kMsHeldBits, *before.MsSlot(k),
                          *after.MsSlot(k), tables.ms, k);
  }
  for (int n = 1; n <= kRomShipEntryCount; ++n) {
    changed += MergeEntry(EntryFields(EntryKind::Ship), kShipHeldBits, *before.ShipSlot(n),
                          *after.ShipSlot(n), tables.ship, n);
  }
  return changed;
}

std::vector<uint8_t> RomWithRecordChanges(const std::string& romPath, const DataSet& before,
                                          const DataSet& after) {
  RomImage image = ReadRomImage(romPath);
  MergeRecordChanges(before, after, image.tables);
  std::copy(image.tables.ms.begin(), image.tables.ms.end(), image.bytes.begin() + kMsTableOffset);
  std::copy(image.tables.ship.begin(), image.tables.ship.end(),
            image.bytes.begin() + kShipTableOffset);
  return std::move(image.bytes);
}

void StoreRecordChanges(const std::string& romPath, const std::string& outPath,
                        const DataSet& before, const DataSet& after,
                        const std::string& backupPath) {
  // An output that is the ROM itself is updated in place too: a whole new file
  // would drop what another program stored meanwhile under the lock.
  const std::string rom[] = {romPath};
  if (outPath.empty() || FindSameFile(outPath, rom)) {
    UpdateRomTables(
        romPath, [&](RomBuffers& tables) { MergeRecordChanges(before, after, tables); },
        backupPath);
    return;
  }
  ReplaceFile(outPath, RomWithRecordChanges(romPath, before, after));
}

}  // namespace varsk
