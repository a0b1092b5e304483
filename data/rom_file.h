// The file steps of Load ROM and Save ROM: the two table runs at offset
// 4194762 of an existing ROM file, read or written in place through the file
// layer (data/file_io.h).
#pragma once

#include <functional>
#include <string>

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
// nothing is written), or the write or sync fails. Nothing outside the runs changes.
void UpdateRomTables(const std::string& path, const std::function<void(RomBuffers&)>& change);
// UpdateRomTables that stores `buffers` as they are.
void WriteRomTables(const std::string& path, const RomBuffers& buffers);

// Load ROM's core: ReadRomTables, then UnpackRomTables into `dataSet`. On any
// error neither the buffers nor the records change.
void LoadRomFile(const std::string& path, RomBuffers& buffers, DataSet& dataSet);
// Save ROM's core: PackRomTables into `buffers` before the file is opened, then
// WriteRomTables. On an error the buffers hold the packed records and the file
// is as WriteRomTables leaves it.
void SaveRomFile(const std::string& path, const DataSet& dataSet, RomBuffers& buffers);

}  // namespace varsk
