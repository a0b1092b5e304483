// A 32-bit pixel surface: row-major, top row first, one word 0x00RRGGBB per
// pixel, stride = width * 4 bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace varsk {

struct Bitmap32 {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  Bitmap32() = default;
  Bitmap32(int32_t w, int32_t h, uint32_t colour = 0)
      : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), colour) {}

  void Fill(uint32_t colour);
  uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

}  // namespace varsk
