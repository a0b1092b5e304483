// A 32-bit pixel surface: row-major, top row first, one word 0x00RRGGBB per
// pixel, stride = width * 4 bytes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace varsk {

struct Bitmap32 {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  Bitmap32() = default;
  // A negative size is taken as 0.
  Bitmap32(int32_t w, int32_t h, uint32_t colour = 0)
      : width(std::max(w, 0)),
        height(std::max(h, 0)),
        pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), colour) {}

  // Sets every pixel to `colour`.
  void Fill(uint32_t colour);
  uint32_t At(int32_t x, int32_t y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

}  // namespace varsk
