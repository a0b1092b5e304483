// The file steps of Load ROM and Save ROM: the two table runs at offset
// 4194762 of an existing ROM file, read or written in place.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "data/rom_tables.h"

namespace varsk {

// Reads both runs into `buffers`. Throws VarskError ("Cannot open file ..."
// also for a folder, a too-short message when the file ends before 4205224, or
// "Cannot read file ..." on an I/O error); on any error `buffers` is unchanged.
void ReadRomTables(const std::string& path, RomBuffers& buffers);

// Writes both runs in place: the file is neither created, truncated nor grown.
// Throws VarskError when it cannot be opened for writing, is shorter than
// 4205224 bytes (then nothing is written), or a write, flush or fsync fails.
// Nothing outside the two runs changes.
void WriteRomTables(const std::string& path, const RomBuffers& buffers);

// Load ROM's core: ReadRomTables, then UnpackRomTables into `dataSet`. On any
// error neither the buffers nor the records change.
void LoadRomFile(const std::string& path, RomBuffers& buffers, DataSet& dataSet);
// Save ROM's core: PackRomTables into `buffers` before the file is opened, then
// WriteRomTables. On an error the buffers hold the packed records and the file
// is as WriteRomTables leaves it.
void SaveRomFile(const std::string& path, const DataSet& dataSet, RomBuffers& buffers);

// For benchmarks only: WriteRomTables without the final fsync, so a measurement
// shows the program's own work rather than the disk's.
void WriteRomTablesWithoutSyncForBenchmark(const std::string& path, const RomBuffers& buffers);

// For tests only: the positional write that WriteRomTables calls (pwrite
// unless replaced), so a test can make a write fail or come up short.
// Passing nullptr restores pwrite.
using RomWriteFunction = ssize_t (*)(int fd, const void* data, size_t count, off_t offset);
void SetRomWriteFunctionForTesting(RomWriteFunction write);

}  // namespace varsk
