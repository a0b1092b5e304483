// Load ROM and Save ROM on the file: the two runs at offset 4194762, in place.
#include "data/rom_file.h"

#include <algorithm>
#include <array>

#include "data/file_io.h"
#include "data/messages.h"

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

RomBuffers ToBuffers(const TableBytes& bytes) {
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

void UpdateRomTables(const std::string& path, const std::function<void(RomBuffers&)>& change) {
  RegularFile file(path, RegularFile::Access::Update);
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

}  // namespace varsk
