// The clip set export: every clip with cols != 0 in a compact file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/data_set.h"

namespace varsk {

inline constexpr char kClipSetPath[] = "info/ms_anmset.dat";

// The file's bytes: per non-empty clip, number, cols, rows, then the tile,
// flip, dx and dy planes of the used cells.
std::vector<uint8_t> EncodeClipSet(const DataSet& dataSet);

// Writes EncodeClipSet to `path` (default info/ms_anmset.dat, relative to the
// working directory; the folder is not created). Throws "Cannot create file
// ..." or a write failure message; nothing half-written is left in its place.
void SaveClipSet(const DataSet& dataSet, const std::string& path = kClipSetPath);

}  // namespace varsk
