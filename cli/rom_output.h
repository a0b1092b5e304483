// Writing changed records back to a ROM: in place like Save ROM, or into a
// new file.
#pragma once

#include <string>

#include "data/data_set.h"
#include "data/rom_tables.h"

namespace varsk::cli {

// Carries the changes from `before` to `after` into the table bytes read from
// the ROM: per entry, only the bytes where the packed images of the two
// records differ are replaced. Bytes that packing would rewrite without a
// change of value (an MS byte 11, a ship's byte 11 bit 7, an ammunition byte
// 0) therefore stay as they were read. Returns the number of bytes changed.
int MergeChangedBytes(const DataSet& before, const DataSet& after, RomBuffers& buffers);

// Writes the changes from `before` to `after` (MergeChangedBytes) into the
// tables of `romPath`. With an empty `outPath`, in place with the locked write
// of Save ROM, merged into the tables as they are at that moment; else
// `outPath` becomes a copy of `romPath` with the merged tables, replaced
// atomically. Throws VarskError; on failure no file has changed.
void StoreRomTables(const std::string& romPath, const std::string& outPath, const DataSet& before,
                    const DataSet& after);

}  // namespace varsk::cli
