// The data set that the build generates and links in (embedded_data_set.S).
#include "data/embedded_data_set.h"

#include "data/data_set.h"
#include "data/resources.h"

extern "C" {
extern const uint8_t varsk_ms_data_begin[];
extern const uint8_t varsk_ms_data_end[];
}

namespace varsk {

std::span<const uint8_t> EmbeddedDataSetBytes() {
  return {varsk_ms_data_begin, static_cast<size_t>(varsk_ms_data_end - varsk_ms_data_begin)};
}

void RegisterEmbeddedDataSet() {
  RegisterResource(kDataSetResourceType, kDataSetResourceName, EmbeddedDataSetBytes());
}

}  // namespace varsk
