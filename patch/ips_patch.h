// IPS patches: "PATCH", records of a 3-byte big-endian offset, a 2-byte
// big-endian length and the bytes (length 0: a run of one byte, given as a
// 2-byte count and the byte), "EOF", then an optional 3-byte length to which
// the file is cut.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "patch/byte_range.h"

namespace varsk {

// Files of this size or more cannot be described: offsets and the cut length
// have three bytes.
constexpr uint64_t kIpsFileSizeLimit = 0x1000000;
// A record at this offset would read as "EOF"; such records start one byte earlier.
constexpr uint32_t kIpsEofOffset = 0x454F46;
constexpr uint32_t kIpsMaxRecordLength = 0xFFFF;

// A patch that turns `original` into `modified`: every differing byte and every
// byte beyond the end of `original`, with runs of one byte as run records where
// that is smaller, and the cut length when `modified` is shorter. Throws
// VarskError (IpsTooLargeMessage) when `modified` cannot be described.
std::vector<uint8_t> MakeIpsPatch(std::span<const uint8_t> original,
                                  std::span<const uint8_t> modified);

// `rom` with `patch` applied; records beyond the end grow the file (with zero
// bytes in any gap). Throws VarskError for anything malformed or truncated,
// after reading no byte outside `patch` and `rom`.
std::vector<uint8_t> ApplyIpsPatch(std::span<const uint8_t> patch, std::span<const uint8_t> rom);

// What a patch's records say, read without a ROM.
struct IpsPatchInfo {
  size_t records = 0;
  uint64_t bytesWritten = 0;        // by all records together
  bool writesWatched = false;       // whether a record writes into the watched range
  std::optional<size_t> cutLength;  // the length the file is cut to, if any
};
// `watched`: the bytes whose writing the info tells. Throws VarskError as
// ApplyIpsPatch does for a malformed or truncated patch.
IpsPatchInfo ReadIpsPatchInfo(std::span<const uint8_t> patch, ByteRange watched);

}  // namespace varsk
