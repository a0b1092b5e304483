// Puts the catalogue, the clip plan and the art together into the tables of
// the data set, and writes them in the MS_DATA byte format.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "data/data_set.h"

namespace varsk::datagen {

// Counts of the nine tables, as shipped.
constexpr int kShippedClipCount = 147;
constexpr int kShippedEntryPalettes = 230;
constexpr int kShippedIconPalettes = 4;
constexpr int kShippedSpareSheets = 4;
constexpr int kShippedSpriteCount = 237;
constexpr int kTrailerBytes = 8192;

std::unique_ptr<DataSet> BuildDataSet();
std::vector<uint8_t> SerializeDataSet(const DataSet& dataSet);

}  // namespace varsk::datagen
