// The file steps of Load ROM and Save ROM: the two table runs at offset
// 4194762 of an existing ROM file, read or written in place through the file
// layer (base/file_io.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/rom_tables.h"

namespace varsk {

// Reads both runs into `buffers`, under a shared lock. Throws VarskError
// ("Cannot open file ..." also for a folder, FIFO or device, a too-short
// message when the file ends before 4205224, or "Cannot read file ..." on an
// I/O error); on any error `buffers` is unchanged.
void ReadRomTables(const std::string& path, RomBuffers& buffers);

// Rewrites both runs in place: under an exclusive lock, reads them as they are
// now, lets `change` edit them, and writes the result back with one write of
// the 10462 contiguous bytes and a sync; a failed write is put back. The file
// is neither created, truncated nor grown. Throws VarskError when it cannot be
// opened for writing, is shorter than 4205224 bytes, `change` throws (then
// nothing is written), or the write or sync fails. Nothing outside the runs
// changes. With a `backupPath`, the whole file as it is under the lock is
// first kept there (RegularFile::KeepCopy); a failure then writes nothing.
void UpdateRomTables(const std::string& path, const std::function<void(RomBuffers&)>& change,
                     const std::string& backupPath = std::string());
// UpdateRomTables that stores `buffers` as they are.
void WriteRomTables(const std::string& path, const RomBuffers& buffers);

// Load ROM's core: ReadRomTables, then UnpackRomTables into `dataSet`. On any
// error neither the buffers nor the records change.
void LoadRomFile(const std::string& path, RomBuffers& buffers, DataSet& dataSet);
// Save ROM's core: PackRomTables into `buffers` before the file is opened, then
// WriteRomTables. On an error the buffers hold the packed records and the file
// is as WriteRomTables leaves it.
void SaveRomFile(const std::string& path, const DataSet& dataSet, RomBuffers& buffers);

// The two runs of a whole ROM image in memory; nullopt when the image ends
// before 4205224.
std::optional<RomBuffers> RomTablesOfImage(std::span<const uint8_t> image);

// A whole ROM image as ReadWholeFile reads it, with its two runs.
struct RomImage {
  std::vector<uint8_t> bytes;
  RomBuffers tables;
};
// Throws VarskError as ReadWholeFile does, and the too-short message when the
// image ends before 4205224.
RomImage ReadRomImage(const std::string& path);

// Carries the changes from `before` to `after` into table bytes read from a
// ROM: per entry, only the bits of the fields whose packed values differ are
// replaced. Bytes that packing would rewrite without a change of value (an MS
// byte 11, a ship's byte 11 bit 7, an ammunition byte 0) so stay as they were
// read, and so do the other fields of a byte that two fields share. Returns
// the number of bytes changed.
int MergeRecordChanges(const DataSet& before, const DataSet& after, RomBuffers& tables);

// The file `romPath` as it is now, with the changes from `before` to `after`
// merged into its tables (MergeRecordChanges). Throws as ReadRomImage does.
std::vector<uint8_t> RomWithRecordChanges(const std::string& romPath, const DataSet& before,
                                          const DataSet& after);

// Writes the changes from `before` to `after` (MergeRecordChanges) into the
// tables of `romPath`. With an empty `outPath`, or one that is `romPath`
// itself, in place with the locked write of Save ROM, merged into the tables as
// they are at that moment (a change another program saved meanwhile is kept);
// else `outPath` becomes a copy of `romPath` as it is now with the merged
// tables, replaced atomically. In place, `backupPath` (if any) first receives
// the file as it was (UpdateRomTables). Throws VarskError; on failure no file
// but a backup has changed.
void StoreRecordChanges(const std::string& romPath, const std::string& outPath,
                        const DataSet& before, const DataSet& after,
                        const std::string& backupPath = std::string());

}  // namespace varsk
