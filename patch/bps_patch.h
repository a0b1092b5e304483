// BPS patches: "BPS1", the source size, target size and metadata size as
// variable-length numbers, the metadata, the commands, then the CRC32 of the
// source, of the target and of the patch up to that point (little-endian).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/file_io.h"
#include "patch/byte_range.h"

namespace varsk {

// A patch may not declare a result larger than a ROM image may be: a damaged
// size must not make us allocate gigabytes.
constexpr uint64_t kBpsTargetSizeLimit = kRomImageSizeLimit;

enum class BpsAction : uint8_t { SourceRead = 0, TargetRead = 1, SourceCopy = 2, TargetCopy = 3 };

// Appends `value` as a BPS number: seven bits a byte, lowest first, the high
// bit marking the last byte, and one subtracted after every byte that is not
// the last (so every number has exactly one encoding).
void EncodeBpsNumber(uint64_t value, std::vector<uint8_t>& out);
// Reads a BPS number from bytes[pos, end) and advances pos past it. Throws
// VarskError when the number runs past `end` or does not fit in 64 bits.
uint64_t DecodeBpsNumber(std::span<const uint8_t> bytes, size_t& pos, size_t end);

// What a patch's header and footer say, after the patch's own CRC32 checked.
struct BpsPatchInfo {
  uint64_t sourceSize = 0;
  uint64_t targetSize = 0;
  uint32_t sourceCrc = 0;
  uint32_t targetCrc = 0;
  uint32_t patchCrc = 0;     // of the patch up to its last four bytes
  size_t commandsBegin = 0;  // the commands are patch[commandsBegin, commandsEnd)
  size_t commandsEnd = 0;
};
// Throws VarskError when the magic, the patch CRC32, the header or the
// declared target size is wrong.
BpsPatchInfo ReadBpsPatchInfo(std::span<const uint8_t> patch);

// A patch that turns `original` into `modified`: unchanged runs are read from
// the source, changed runs carried in the patch, and long runs of one byte
// copied from the target itself.
std::vector<uint8_t> MakeBpsPatch(std::span<const uint8_t> original,
                                  std::span<const uint8_t> modified);

// `rom` with `patch` applied. Checks, in this order, the patch (as
// ReadBpsPatchInfo), that `rom` has the source's size and CRC32, every command
// against the bounds of source, target and patch, and the CRC32 of the result;
// throws VarskError at the first failure.
std::vector<uint8_t> ApplyBpsPatch(std::span<const uint8_t> patch, std::span<const uint8_t> rom);
// The same, for a patch already read and a ROM whose CRC32 is known.
std::vector<uint8_t> ApplyBpsPatch(std::span<const uint8_t> patch, const BpsPatchInfo& info,
                                   std::span<const uint8_t> rom, uint32_t romCrc);

// Whether the commands write into `watched` of the result from the patch or by
// a copy from elsewhere: where the patch may change a byte (a SourceRead keeps
// it). Checks the commands as applying does, against the declared source size.
bool BpsWritesInto(std::span<const uint8_t> patch, const BpsPatchInfo& info, ByteRange watched);

}  // namespace varsk
