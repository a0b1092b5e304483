#include "patch/ips_patch.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/file_io.h"
#include "base/messages.h"
#include "patch/byte_compare.h"
#include "patch/patch_messages.h"

namespace varsk {

namespace {

constexpr char kIpsMagic[] = "PATCH";
constexpr size_t kIpsMagicSize = 5;
constexpr char kIpsEof[] = "EOF";
// Equal bytes between two changes cost less inside one record than the five
// header bytes of a second record.
constexpr size_t kIpsMergeGap = 5;

class IpsWriter {
 public:
  explicit IpsWriter(std::span<const uint8_t> modified) : modified_(modified) {
    out_.insert(out_.end(), kIpsMagic, kIpsMagic + kIpsMagicSize);
  }

  // Literal records for modified_[begin, end), at most 0xFFFF bytes each.
  void Literal(size_t begin, size_t end) {
    while (begin < end) {
      size_t start = begin;
      if (start == kIpsEofOffset) --start;  // repeat the byte before instead
      const size_t length = std::min<size_t>(end - start, kIpsMaxRecordLength);
      Header(start, length);
      out_.insert(out_.end(), modified_.begin() + start, modified_.begin() + start + length);
      begin = start + length;
    }
  }

  // Run records for `count` copies of `value` from `begin`.
  void Run(size_t begin, size_t count, uint8_t value) {
    while (count > 0) {
      if (begin == kIpsEofOffset) {
        Literal(begin, begin + 1);
        ++begin;
        --count;
        continue;
      }
      const size_t length = std::min<size_t>(count, kIpsMaxRecordLength);
      Header(begin, 0);
      Put16(length);
      out_.push_back(value);
      begin += length;
      count -= length;
    }
  }

  void Finish(std::optional<size_t> cutLength) {
    out_.insert(out_.end(), kIpsEof, kIpsEof + 3);
    if (cutLength) Put24(*cutLength);
  }

  std::vector<uint8_t> Take() { return std::move(out_); }

 private:
  void Header(size_t offset, size_t length) {
    Put24(offset);
    Put16(length);
  }
  void Put24(size_t value) {
    out_.push_back(static_cast<uint8_t>(value >> 16));
    out_.push_back(static_cast<uint8_t>(value >> 8));
    out_.push_back(static_cast<uint8_t>(value));
  }
  void Put16(size_t value) {
    out_.push_back(static_cast<uint8_t>(value >> 8));
    out_.push_back(static_cast<uint8_t>(value));
  }

  std::span<const uint8_t> modified_;
  std::vector<uint8_t> out_;
};

// Writes the region [begin, end) of changed bytes, taking runs of one byte out
// as run records where that makes the patch smaller. A run record costs 8
// bytes; taking a run out of the middle of a literal record also costs the
// header (5 bytes) of the literal record that resumes after it.
void WriteRegion(IpsWriter& writer, std::span<const uint8_t> modified, size_t begin, size_t end) {
  size_t literalStart = begin;
  size_t i = begin;
  while (i < end) {
    const uint8_t value = modified[i];
    size_t runEnd = i + 1;
    while (runEnd < end && modified[runEnd] == value) ++runEnd;
    const size_t run = runEnd - i;
    const bool alone = i == literalStart;
    const bool last = runEnd == end;
    const size_t worthAbove = alone && last ? 3 : (alone || last ? 8 : 13);
    if (run > worthAbove) {
      writer.Literal(literalStart, i);
      writer.Run(i, run, value);
      literalStart = runEnd;
    }
    i = runEnd;
  }
  writer.Literal(literalStart, end);
}

uint32_t Read24(std::span<const uint8_t> bytes, size_t pos) {
  return (uint32_t{bytes[pos]} << 16) | (uint32_t{bytes[pos + 1]} << 8) | bytes[pos + 2];
}
uint32_t Read16(std::span<const uint8_t> bytes, size_t pos) {
  return (uint32_t{bytes[pos]} << 8) | bytes[pos + 1];
}

}  // namespace

std::vector<uint8_t> MakeIpsPatch(std::span<const uint8_t> original,
                                  std::span<const uint8_t> modified) {
  const bool cut = modified.size() < original.size();
  if (modified.size() > kIpsFileSizeLimit || (cut && modified.size() >= kIpsFileSizeLimit)) {
    throw VarskError(IpsTooLargeMessage(modified.size()));
  }
  IpsWriter writer(modified);
  const size_t common = std::min(original.size(), modified.size());
  // Bytes beyond the end of the original count as changed: the patch has to
  // write them for the file to grow.
  auto changed = [&](size_t i) { return i >= common || original[i] != modified[i]; };
  size_t i = 0;
  while (i < modified.size()) {
    if (!changed(i)) {
      i = FindDifference(original, modified, i, common);
      continue;
    }
    const size_t begin = i;
    size_t end = i + 1;
    // Extend over later changes that follow within a few equal bytes.
    for (size_t j = end; j < modified.size() && j - end <= kIpsMergeGap; ++j) {
      if (changed(j)) end = j + 1;
    }
    WriteRegion(writer, modified, begin, end);
    i = end;
  }
  writer.Finish(cut ? std::optional<size_t>(modified.size()) : std::nullopt);
  return writer.Take();
}

namespace {

// Reads the records of `patch` in order, checking its form as it goes: calls
// literal(offset, bytes) for a record of bytes and run(offset, count, value)
// for a run record. Returns the length after "EOF" to which the file is cut,
// if any. Throws VarskError for anything malformed or truncated.
template <class Literal, class Run>
std::optional<size_t> WalkIpsPatch(std::span<const uint8_t> patch, Literal&& literal, Run&& run) {
  if (patch.size() < kIpsMagicSize || std::memcmp(patch.data(), kIpsMagic, kIpsMagicSize) != 0) {
    throw VarskError(NotAPatchMessage());
  }
  size_t pos = kIpsMagicSize;
  auto need = [&](size_t count) {
    if (count > patch.size() - pos) throw VarskError(PatchTruncatedMessage("IPS", patch.size()));
  };
  for (;;) {
    need(3);
    if (std::memcmp(patch.data() + pos, kIpsEof, 3) == 0) {
      pos += 3;
      break;
    }
    const size_t offset = Read24(patch, pos);
    pos += 3;
    need(2);
    const size_t length = Read16(patch, pos);
    pos += 2;
    if (length == 0) {
      need(3);
      const size_t count = Read16(patch, pos);
      const uint8_t value = patch[pos + 2];
      if (count == 0) throw VarskError(IpsEmptyRunMessage(pos - 5));
      pos += 3;
      run(offset, count, value);
    } else {
      need(length);
      literal(offset, patch.subspan(pos, length));
      pos += length;
    }
  }
  const size_t rest = patch.size() - pos;
  if (rest == 3) return Read24(patch, pos);
  if (rest != 0) throw VarskError(IpsBytesAfterEofMessage(rest));
  return std::nullopt;
}

}  // namespace

std::vector<uint8_t> ApplyIpsPatch(std::span<const uint8_t> patch, std::span<const uint8_t> rom) {
  std::vector<uint8_t> out;
  ReserveImage(out, rom.size());
  out.assign(rom.begin(), rom.end());
  auto grow = [&](size_t end) {
    if (end > out.size()) out.resize(end, 0);
  };
  const std::optional<size_t> cutLength = WalkIpsPatch(
      patch,
      [&](size_t offset, std::span<const uint8_t> bytes) {
        grow(offset + bytes.size());
        std::copy(bytes.begin(), bytes.end(), out.begin() + offset);
      },
      [&](size_t offset, size_t count, uint8_t value) {
        grow(offset + count);
        std::fill_n(out.begin() + offset, count, value);
      });
  if (cutLength) {
    if (*cutLength > out.size()) {
      throw VarskError(IpsTruncationBeyondEndMessage(*cutLength, out.size()));
    }
    out.resize(*cutLength);
  }
  return out;
}

IpsPatchInfo ReadIpsPatchInfo(std::span<const uint8_t> patch, ByteRange watched) {
  IpsPatchInfo info;
  // Each record is tested as it comes: a patch of millions of records keeps
  // no list of them.
  auto add = [&](size_t offset, size_t count) {
    ++info.records;
    info.bytesWritten += count;
    info.writesWatched = info.writesWatched || watched.Overlaps({offset, offset + count});
  };
  info.cutLength = WalkIpsPatch(
      patch, [&](size_t offset, std::span<const uint8_t> bytes) { add(offset, bytes.size()); },
      [&](size_t offset, size_t count, uint8_t) { add(offset, count); });
  return info;
}

}  // namespace varsk
