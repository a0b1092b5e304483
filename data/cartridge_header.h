// The identifying fields of a ROM image's cartridge header, as `info` shows them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace varsk {

struct CartridgeHeader {
  std::string title;           // 12 bytes at 0xA0, trailing zero bytes dropped, others as stored
  std::string gameCode;        // 4 bytes at 0xAC, the same way
  std::string makerCode;       // 2 bytes at 0xB0, the same way
  uint8_t complement;          // the byte at 0xBD as stored
  uint8_t expectedComplement;  // what it should be: -(sum of 0xA0..0xBC) - 0x19
  bool ComplementChecks() const { return complement == expectedComplement; }
};

// The header of `image`; nullopt when the image ends before the complement byte.
std::optional<CartridgeHeader> ReadCartridgeHeader(std::span<const uint8_t> image);

}  // namespace varsk
