// The synthetic sample ROM: 8 MiB, a cartridge header titled "VARSK DEMO",
// pseudo-random filler, and the two packed stat tables at 4194762 holding a
// tuned copy of the data set's records.
#pragma once

#include <cstdint>
#include <vector>

#include "data/data_set.h"

namespace varsk::datagen {

constexpr int kSampleRomSize = 8 * 1024 * 1024;

// The records the sample ROM holds: the data set's, with tuned costs, HP and turns.
void TuneForSampleRom(DataSet& dataSet);
std::vector<uint8_t> MakeSampleRom(const DataSet& dataSet);
// The header check byte over bytes 0xA0..0xBC.
uint8_t HeaderCheck(const uint8_t* header);

}  // namespace varsk::datagen
