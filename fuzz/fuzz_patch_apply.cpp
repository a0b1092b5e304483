// Patches: any bytes applied as a patch to a small ROM, and patches made from
// an edit of that ROM applied back. The input's first byte picks the mode,
// the next two the ROM's size; the rest is the patch (or the edit).
//
// - Applying: ApplyPatch either throws VarskError or gives a result; an IPS
//   result equals a plain reference reading of the format; a BPS result has
//   the size and CRC32 that the patch declares. In mode 1 the BPS checksums
//   are set right first, so the fuzzer reaches the commands.
// - Round trip (mode 2): MakeIpsPatch and MakeBpsPatch of ROM and an edited
//   copy apply back to exactly the edited copy.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "base/crc32.h"
#include "base/messages.h"
#include "fuzz/fuzz_support.h"
#include "patch/bps_patch.h"
#include "patch/ips_patch.h"
#include "patch/patch_apply.h"

using Bytes = std::vector<uint8_t>;

namespace {

Bytes MakeRom(size_t size) {
  Bytes rom(size);
  for (size_t i = 0; i < size; ++i) rom[i] = static_cast<uint8_t>(i * 7 + (i >> 8));
  return rom;
}

// IPS as plainly as it can be read: records until "EOF" (a run record when the
// length is 0, of at least one byte; bytes beyond the end grow the file with
// zeros), then nothing or a 3-byte length that the result is cut to (never
// longer than the result).
std::optional<Bytes> ReferenceIps(std::span<const uint8_t> p, Bytes out) {
  if (p.size() < 5 || std::memcmp(p.data(), "PATCH", 5) != 0) return std::nullopt;
  size_t pos = 5;
  auto have = [&](size_t n) { return p.size() - pos >= n; };
  for (;;) {
    if (!have(3)) return std::nullopt;
    if (p[pos] == 'E' && p[pos + 1] == 'O' && p[pos + 2] == 'F') {
      pos += 3;
      break;
    }
    const size_t offset = size_t{p[pos]} << 16 | size_t{p[pos + 1]} << 8 | p[pos + 2];
    if (!have(5)) return std::nullopt;
    const size_t length = size_t{p[pos + 3]} << 8 | p[pos + 4];
    pos += 5;
    if (length == 0) {
      if (!have(3)) return std::nullopt;
      const size_t count = size_t{p[pos]} << 8 | p[pos + 1];
      if (count == 0) return std::nullopt;
      if (out.size() < offset + count) out.resize(offset + count, 0);
      for (size_t i = 0; i < count; ++i) out[offset + i] = p[pos + 2];
      pos += 3;
    } else {
      if (!have(length)) return std::nullopt;
      if (out.size() < offset + length) out.resize(offset + length, 0);
      std::memcpy(out.data() + offset, p.data() + pos, length);
      pos += length;
    }
  }
  if (p.size() - pos == 3) {
    const size_t cut = size_t{p[pos]} << 16 | size_t{p[pos + 1]} << 8 | p[pos + 2];
    if (cut > out.size()) return std::nullopt;
    out.resize(cut);
  } else if (p.size() != pos) {
    return std::nullopt;
  }
  return out;
}

void PutLe32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void CheckApply(const Bytes& patch, const Bytes& rom) {
  const std::optional<varsk::PatchFormat> format = varsk::DetectPatchFormat(patch);
  std::optional<varsk::AppliedPatch> applied;
  try {
    applied = varsk::ApplyPatch(patch, rom);
  } catch (const varsk::VarskError& error) {
    FUZZ_CHECK(*error.what() != '\0');
  }

  if (format == varsk::PatchFormat::Ips) {
    const std::optional<Bytes> expected = ReferenceIps(patch, rom);
    FUZZ_CHECK(applied.has_value() == expected.has_value());
    if (applied) {
      FUZZ_CHECK(applied->format == varsk::PatchFormat::Ips);
      FUZZ_CHECK(applied->alreadyPatched == (*expected == rom));
      FUZZ_CHECK(applied->alreadyPatched ? applied->bytes.empty() : applied->bytes == *expected);
    }
  } else if (format == varsk::PatchFormat::Bps) {
    if (applied) {
      const varsk::BpsPatchInfo info = varsk::ReadBpsPatchInfo(patch);
      const Bytes& result = applied->alreadyPatched ? rom : applied->bytes;
      FUZZ_CHECK(applied->format == varsk::PatchFormat::Bps);
      FUZZ_CHECK(result.size() == info.targetSize);
      FUZZ_CHECK(varsk::Crc32(result) == info.targetCrc);
      if (!applied->alreadyPatched) {
        FUZZ_CHECK(rom.size() == info.sourceSize && varsk::Crc32(rom) == info.sourceCrc);
      }
    }
  } else {
    FUZZ_CHECK(!applied);  // neither magic: refused
  }
}

// An edited copy of `rom`: a new size, then (offset, value) pairs and runs.
Bytes EditedCopy(const Bytes& rom, std::span<const uint8_t> edit) {
  if (edit.size() < 2) return rom;
  Bytes out = rom;
  out.resize((size_t{edit[0]} << 8 | edit[1]) % 12288, 0xEE);
  if (out.empty()) return out;
  for (size_t i = 2; i + 3 <= edit.size(); i += 3) {
    const size_t at = (size_t{edit[i]} << 8 | edit[i + 1]) % out.size();
    if (edit[i + 2] == 0xFF && i + 6 <= edit.size()) {  // a run
      const size_t length = std::min<size_t>(edit[i + 3] * 16u, out.size() - at);
      std::memset(out.data() + at, edit[i + 4], length);
      i += 3;
    } else {
      out[at] = edit[i + 2];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int mode = data[0] % 3;
  const Bytes rom = MakeRom((size_t{data[1]} << 8 | data[2]) % 8192);
  Bytes rest(data + 3, data + size);

  if (mode == 2) {
    const Bytes modified = EditedCopy(rom, rest);
    const Bytes ips = varsk::MakeIpsPatch(rom, modified);
    const varsk::AppliedPatch viaIps = varsk::ApplyPatch(ips, rom);
    FUZZ_CHECK(viaIps.alreadyPatched ? modified == rom : viaIps.bytes == modified);
    const Bytes bps = varsk::MakeBpsPatch(rom, modified);
    const varsk::AppliedPatch viaBps = varsk::ApplyPatch(bps, rom);
    FUZZ_CHECK(viaBps.alreadyPatched ? modified == rom : viaBps.bytes == modified);
    // And a patched ROM is recognised as such.
    const varsk::AppliedPatch again = varsk::ApplyPatch(bps, modified);
    FUZZ_CHECK(again.alreadyPatched || (modified == rom && again.bytes == modified));
    return 0;
  }

  if (mode == 1 && rest.size() >= 16 && std::memcmp(rest.data(), "BPS1", 4) == 0) {
    // Checksums that hold, so that the fuzzer gets past them to the commands.
    PutLe32(rest, rest.size() - 12, varsk::Crc32(rom));
    PutLe32(rest, rest.size() - 4, varsk::Crc32(std::span(rest).first(rest.size() - 4)));
  }
  CheckApply(rest, rom);
  return 0;
}
