#include "cliplib/bitmap32.h"

#include <algorithm>

namespace varsk {

void Bitmap32::Fill(uint32_t colour) { std::fill(pixels.begin(), pixels.end(), colour); }

}  // namespace varsk
