#include "patch/patch_apply.h"

#include <algorithm>
#include <cstring>

#include "base/ascii_text.h"
#include "base/crc32.h"
#include "base/messages.h"
#include "data/rom_tables.h"
#include "patch/bps_patch.h"
#include "patch/ips_patch.h"
#include "patch/patch_messages.h"

namespace varsk {

namespace {

bool StartsWith(std::span<const uint8_t> bytes, const char* magic) {
  const size_t size = std::strlen(magic);
  return bytes.size() >= size && std::memcmp(bytes.data(), magic, size) == 0;
}

}  // namespace

std::optional<PatchFormat> DetectPatchFormat(std::span<const uint8_t> patch) {
  if (StartsWith(patch, "PATCH")) return PatchFormat::Ips;
  if (StartsWith(patch, "BPS1")) return PatchFormat::Bps;
  return std::nullopt;
}

std::optional<PatchFormat> PatchFormatOfFileName(const std::string& fileName) {
  if (EndsWithAsciiNoCase(fileName, ".ips")) return PatchFormat::Ips;
  if (EndsWithAsciiNoCase(fileName, ".bps")) return PatchFormat::Bps;
  return std::nullopt;
}

const char* PatchFormatName(PatchFormat format) {
  return format == PatchFormat::Ips ? "IPS" : "BPS";
}

BpsFit BpsFitOf(const BpsPatchInfo& info, uint64_t romSize, uint32_t romCrc) {
  // The target first: a ROM that is already patched is no wrong ROM.
  if (romSize == info.targetSize && romCrc == info.targetCrc) return BpsFit::Target;
  if (romSize == info.sourceSize && romCrc == info.sourceCrc) return BpsFit::Source;
  return BpsFit::Neither;
}

AppliedPatch ApplyPatch(std::span<const uint8_t> patch, std::span<const uint8_t> rom) {
  const std::optional<PatchFormat> format = DetectPatchFormat(patch);
  if (!format) throw VarskError(NotAPatchMessage());
  AppliedPatch result;
  result.format = *format;
  if (*format == PatchFormat::Bps) {
    // A ROM that is already the target would fail the source check with a
    // misleading "wrong ROM" message; recognise it first.
    const BpsPatchInfo info = ReadBpsPatchInfo(patch);
    const uint32_t romCrc = Crc32(rom);
    if (BpsFitOf(info, rom.size(), romCrc) == BpsFit::Target) {
      result.alreadyPatched = true;
      return result;
    }
    result.bytes = ApplyBpsPatch(patch, info, rom, romCrc);
    return result;
  }
  result.bytes = ApplyIpsPatch(patch, rom);
  if (std::equal(result.bytes.begin(), result.bytes.end(), rom.begin(), rom.end())) {
    result.alreadyPatched = true;
    result.bytes.clear();
  }
  return result;
}

PatchSummary SummarisePatch(std::span<const uint8_t> patch) {
  const std::optional<PatchFormat> format = DetectPatchFormat(patch);
  if (!format) throw VarskError(NotAPatchMessage());
  PatchSummary summary;
  summary.format = *format;
  const ByteRange tables{static_cast<uint64_t>(kMsTableOffset),
                         static_cast<uint64_t>(kRomTablesEnd)};
  // A result that ends before the tables' end changes them too.
  if (*format == PatchFormat::Bps) {
    summary.bps = ReadBpsPatchInfo(patch);
    // The commands are walked (and checked) whatever the target's size.
    const bool writes = BpsWritesInto(patch, summary.bps, tables);
    summary.touchesTables = writes || summary.bps.targetSize < tables.end;
  } else {
    summary.ips = ReadIpsPatchInfo(patch, tables);
    summary.touchesTables =
        summary.ips.writesWatched || (summary.ips.cutLength && *summary.ips.cutLength < tables.end);
  }
  return summary;
}

}  // namespace varsk
