// Whole ROM images in memory. A fresh process pays for every 4 KiB page it
// touches; ROM-sized buffers ask the system for 2 MiB pages instead, which
// makes reading and building an 8 MiB image several times cheaper.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varsk {

// Makes `bytes` (empty) able to hold `size` bytes without moving, backed by
// large pages where the system offers them.
void ReserveImage(std::vector<uint8_t>& bytes, size_t size);

// No ROM comes near this; a larger file (or an endless device) is refused
// instead of filling the memory.
constexpr uint64_t kImageFileSizeLimit = uint64_t{1} << 30;

// The whole content of the file at `path` (a native path). Throws VarskError
// ("Cannot open file ...") for a missing or unreadable file or a directory,
// when reading fails, and for a file larger than kImageFileSizeLimit.
std::vector<uint8_t> ReadImageFile(const std::string& path);

}  // namespace varsk
