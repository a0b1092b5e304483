// Applying a patch of either format, recognised by its first bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "patch/bps_patch.h"
#include "patch/ips_patch.h"

namespace varsk {

enum class PatchFormat { Ips, Bps };

// The format whose magic ("PATCH" or "BPS1") `patch` starts with, if any.
std::optional<PatchFormat> DetectPatchFormat(std::span<const uint8_t> patch);
// The format named by a file name's extension (.ips or .bps, any case), if any.
std::optional<PatchFormat> PatchFormatOfFileName(const std::string& fileName);
// "IPS" or "BPS".
const char* PatchFormatName(PatchFormat format);

struct AppliedPatch {
  PatchFormat format = PatchFormat::Ips;
  // The ROM already is what the patch produces: a BPS patch's target (size
  // and CRC32), or a ROM that an IPS patch would not change. `bytes` is empty.
  bool alreadyPatched = false;
  std::vector<uint8_t> bytes;  // the patched ROM
};

// `rom` with `patch` applied, or alreadyPatched. Throws VarskError for a patch
// of neither format, a malformed or truncated patch, or (BPS) a ROM that is
// not the patch's source or a result that is not its target.
AppliedPatch ApplyPatch(std::span<const uint8_t> patch, std::span<const uint8_t> rom);

// How a BPS patch meets a ROM, by size and CRC32: the ROM is its source, or
// already its target, or neither.
enum class BpsFit { Source, Target, Neither };
BpsFit BpsFitOf(const BpsPatchInfo& info, uint64_t romSize, uint32_t romCrc);

// What a patch says about itself, read without a ROM.
struct PatchSummary {
  PatchFormat format = PatchFormat::Ips;
  IpsPatchInfo ips;  // for IPS
  BpsPatchInfo bps;  // for BPS
  // Whether it writes a byte of the unit tables (offsets 4194762 up to
  // 4205224), or makes a file that ends before their end.
  bool touchesTables = false;
};
// The summary of an IPS or BPS patch; throws VarskError for a file of neither
// format and for a malformed or truncated patch, as ApplyPatch does.
PatchSummary SummarisePatch(std::span<const uint8_t> patch);

}  // namespace varsk
