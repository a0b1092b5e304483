#include "data/cartridge_header.h"

namespace varsk {

namespace {

constexpr size_t kTitleOffset = 0xA0;
constexpr size_t kTitleSize = 12;
constexpr size_t kGameCodeOffset = 0xAC;
constexpr size_t kGameCodeSize = 4;
constexpr size_t kMakerCodeOffset = 0xB0;
constexpr size_t kMakerCodeSize = 2;
constexpr size_t kComplementOffset = 0xBD;

std::string HeaderText(std::span<const uint8_t> image, size_t offset, size_t size) {
  std::string text(reinterpret_cast<const char*>(image.data() + offset), size);
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

}  // namespace

std::optional<CartridgeHeader> ReadCartridgeHeader(std::span<const uint8_t> image) {
  if (image.size() <= kComplementOffset) return std::nullopt;
  unsigned sum = 0;
  for (size_t i = kTitleOffset; i < kComplementOffset; ++i) sum += image[i];
  return CartridgeHeader{HeaderText(image, kTitleOffset, kTitleSize),
                         HeaderText(image, kGameCodeOffset, kGameCodeSize),
                         HeaderText(image, kMakerCodeOffset, kMakerCodeSize),
                         image[kComplementOffset], static_cast<uint8_t>(0u - sum - 0x19u)};
}

}  // namespace varsk
