// The data set that the programs embed (made by tools/datagen at build time).
#pragma once

#include <cstdint>
#include <span>

namespace varsk {

// The bytes of the embedded "MS_DATA" resource.
std::span<const uint8_t> EmbeddedDataSetBytes();
// Registers them as the resource "MS_DATA" of type "DAT".
void RegisterEmbeddedDataSet();

}  // namespace varsk
