#include "patch/bps_patch.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base/crc32.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "patch/byte_compare.h"
#include "patch/patch_messages.h"

namespace varsk {

namespace {

constexpr char kBpsMagic[] = "BPS1";
constexpr size_t kBpsMagicSize = 4;
constexpr size_t kBpsFooterSize = 12;
// Equal bytes between two changes that are cheaper to carry in the patch than
// to read from the source (a SourceRead and a new TargetRead cost two bytes).
constexpr size_t kBpsMergeGap = 2;
// Runs of one byte at least this long are copied from the target itself.
constexpr size_t kBpsRunForCopy = 8;

void PutLe32(uint32_t value, std::vector<uint8_t>& out) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t ReadLe32(std::span<const uint8_t> bytes, size_t pos) {
  return uint32_t{bytes[pos]} | (uint32_t{bytes[pos + 1]} << 8) | (uint32_t{bytes[pos + 2]} << 16) |
         (uint32_t{bytes[pos + 3]} << 24);
}

class BpsWriter {
 public:
  BpsWriter(std::span<const uint8_t> source, std::span<const uint8_t> target)
      : source_(source), target_(target) {
    out_.insert(out_.end(), kBpsMagic, kBpsMagic + kBpsMagicSize);
    EncodeBpsNumber(source.size(), out_);
    EncodeBpsNumber(target.size(), out_);
    EncodeBpsNumber(0, out_);  // no metadata
  }

  void SourceRead(size_t length) {
    FlushTargetRead();
    Command(BpsAction::SourceRead, length);
    written_ += length;
  }

  // Target bytes up to `end` are carried in the patch (gathered into one command).
  void TargetReadUpTo(size_t end) {
    if (!pendingFrom_) pendingFrom_ = written_;
    written_ = end;
  }

  // `length` more copies of the byte just before the output position.
  void RepeatLastByte(size_t length) {
    FlushTargetRead();
    const size_t from = written_ - 1;
    Command(BpsAction::TargetCopy, length);
    const int64_t delta = static_cast<int64_t>(from) - static_cast<int64_t>(targetRelative_);
    EncodeBpsNumber((static_cast<uint64_t>(delta < 0 ? -delta : delta) << 1) | (delta < 0 ? 1 : 0),
                    out_);
    targetRelative_ = from + length;
    written_ += length;
  }

  size_t Written() const { return written_; }

  std::vector<uint8_t> Finish() {
    FlushTargetRead();
    PutLe32(Crc32(source_), out_);
    PutLe32(Crc32(target_), out_);
    PutLe32(Crc32(out_), out_);
    return std::move(out_);
  }

 private:
  void Command(BpsAction action, size_t length) {
    EncodeBpsNumber((uint64_t{length - 1} << 2) | static_cast<uint64_t>(action), out_);
  }
  void FlushTargetRead() {
    if (!pendingFrom_) return;
    Command(BpsAction::TargetRead, written_ - *pendingFrom_);
    out_.insert(out_.end(), target_.begin() + *pendingFrom_, target_.begin() + written_);
    pendingFrom_.reset();
  }

  std::span<const uint8_t> source_;
  std::span<const uint8_t> target_;
  std::vector<uint8_t> out_;
  size_t written_ = 0;                 // target bytes covered by commands so far
  std::optional<size_t> pendingFrom_;  // start of the TargetRead being gathered
  size_t targetRelative_ = 0;
};

}  // namespace

void EncodeBpsNumber(uint64_t value, std::vector<uint8_t>& out) {
  for (;;) {
    const uint8_t low = value & 0x7F;
    value >>= 7;
    if (value == 0) {
      out.push_back(0x80 | low);
      return;
    }
    out.push_back(low);
    --value;
  }
}

uint64_t DecodeBpsNumber(std::span<const uint8_t> bytes, size_t& pos, size_t end) {
  uint64_t value = 0;
  uint64_t shift = 1;
  for (;;) {
    if (pos >= end) throw VarskError(BpsMalformedMessage("a number runs past its end", pos));
    // Nine bytes carry 63 bits; a tenth would overflow.
    if (shift > (uint64_t{1} << 56)) {
      throw VarskError(BpsMalformedMessage("a number too large", pos));
    }
    const uint8_t byte = bytes[pos++];
    value += (byte & 0x7F) * shift;
    if (byte & 0x80) return value;
    shift <<= 7;
    value += shift;
  }
}

BpsPatchInfo ReadBpsPatchInfo(std::span<const uint8_t> patch) {
  if (patch.size() < kBpsMagicSize || std::memcmp(patch.data(), kBpsMagic, kBpsMagicSize) != 0) {
    throw VarskError(NotAPatchMessage());
  }
  // Magic, three one-byte numbers and the footer at the least.
  if (patch.size() < kBpsMagicSize + 3 + kBpsFooterSize) {
    throw VarskError(PatchTruncatedMessage("BPS", patch.size()));
  }
  const size_t footer = patch.size() - kBpsFooterSize;
  const uint32_t recordedCrc = ReadLe32(patch, footer + 8);
  const uint32_t actualCrc = Crc32(patch.first(patch.size() - 4));
  if (recordedCrc != actualCrc) throw VarskError(BpsDamagedMessage(recordedCrc, actualCrc));

  BpsPatchInfo info;
  size_t pos = kBpsMagicSize;
  info.sourceSize = DecodeBpsNumber(patch, pos, footer);
  info.targetSize = DecodeBpsNumber(patch, pos, footer);
  const uint64_t metadataSize = DecodeBpsNumber(patch, pos, footer);
  if (metadataSize > footer - pos) {
    throw VarskError(BpsMalformedMessage("the metadata runs past the commands", pos));
  }
  if (info.targetSize > kBpsTargetSizeLimit) {
    throw VarskError(BpsTargetTooLargeMessage(info.targetSize, kBpsTargetSizeLimit));
  }
  info.commandsBegin = pos + metadataSize;
  info.commandsEnd = footer;
  info.sourceCrc = ReadLe32(patch, footer);
  info.targetCrc = ReadLe32(patch, footer + 4);
  info.patchCrc = recordedCrc;
  return info;
}

std::vector<uint8_t> MakeBpsPatch(std::span<const uint8_t> original,
                                  std::span<const uint8_t> modified) {
  BpsWriter writer(original, modified);
  const size_t common = std::min(original.size(), modified.size());
  auto changed = [&](size_t i) { return i >= common || original[i] != modified[i]; };
  size_t i = 0;
  while (i < modified.size()) {
    if (!changed(i)) {
      const size_t end = FindDifference(original, modified, i, common);
      // A short gap between two changes travels inside the TargetRead.
      if (end - i <= kBpsMergeGap && end < modified.size() && i > 0 && changed(i - 1)) {
        writer.TargetReadUpTo(end);
      } else {
        writer.SourceRead(end - i);
      }
      i = end;
      continue;
    }
    // A changed byte. A long run of it is copied from the target itself, even
    // where the run passes over unchanged bytes; otherwise the changed bytes
    // of this short run are carried in the patch.
    size_t runEnd = i + 1;
    while (runEnd < modified.size() && modified[runEnd] == modified[i]) ++runEnd;
    if (runEnd - i >= kBpsRunForCopy) {
      writer.TargetReadUpTo(i + 1);
      writer.RepeatLastByte(runEnd - i - 1);
      i = runEnd;
      continue;
    }
    size_t end = i + 1;
    while (end < runEnd && changed(end)) ++end;
    writer.TargetReadUpTo(end);
    i = end;
  }
  return writer.Finish();
}

std::vector<uint8_t> ApplyBpsPatch(std::span<const uint8_t> patch, std::span<const uint8_t> rom) {
  return ApplyBpsPatch(patch, ReadBpsPatchInfo(patch), rom, Crc32(rom));
}

namespace {

// Reads the commands of `patch` against a source of `sourceSize` bytes,
// checking each against the bounds of source, result and patch as it goes:
// calls sink.SourceRead(n), sink.TargetRead(bytes), sink.SourceCopy(from, n)
// and sink.TargetCopy(from, n), where `from` is a checked offset, for a result
// that has sink.Written() bytes so far. Throws VarskError at the first fault,
// and when the commands do not make exactly info.targetSize bytes.
template <class Sink>
void WalkBpsCommands(std::span<const uint8_t> patch, const BpsPatchInfo& info, size_t sourceSize,
                     Sink& sink) {
  const size_t targetSize = static_cast<size_t>(info.targetSize);
  size_t sourceRelative = 0;
  size_t targetRelative = 0;
  size_t pos = info.commandsBegin;
  const size_t end = info.commandsEnd;

  // Moves a relative offset by a signed distance, staying within [0, limit].
  auto moveOffset = [&](size_t& offset, size_t limit, size_t commandAt, const char* what) {
    const uint64_t word = DecodeBpsNumber(patch, pos, end);
    const uint64_t distance = word >> 1;
    if (word & 1) {
      if (distance > offset) throw VarskError(BpsMalformedMessage(what, commandAt));
      offset -= static_cast<size_t>(distance);
    } else {
      if (distance > limit - offset) throw VarskError(BpsMalformedMessage(what, commandAt));
      offset += static_cast<size_t>(distance);
    }
  };

  while (pos < end) {
    const size_t commandAt = pos;
    const size_t written = sink.Written();
    const uint64_t word = DecodeBpsNumber(patch, pos, end);
    const uint64_t length = (word >> 2) + 1;
    if (length > targetSize - written) {
      throw VarskError(
          BpsMalformedMessage("a command writes past the end of the result", commandAt));
    }
    const size_t n = static_cast<size_t>(length);
    switch (static_cast<BpsAction>(word & 3)) {
      case BpsAction::SourceRead:
        if (written > sourceSize || n > sourceSize - written) {
          throw VarskError(
              BpsMalformedMessage("a SourceRead past the end of the source", commandAt));
        }
        sink.SourceRead(n);
        break;
      case BpsAction::TargetRead:
        if (n > end - pos) {
          throw VarskError(BpsMalformedMessage("a TargetRead runs past the commands", commandAt));
        }
        sink.TargetRead(patch.subspan(pos, n));
        pos += n;
        break;
      case BpsAction::SourceCopy:
        moveOffset(sourceRelative, sourceSize, commandAt, "a SourceCopy outside the source");
        if (n > sourceSize - sourceRelative) {
          throw VarskError(BpsMalformedMessage("a SourceCopy outside the source", commandAt));
        }
        sink.SourceCopy(sourceRelative, n);
        sourceRelative += n;
        break;
      case BpsAction::TargetCopy:
        moveOffset(targetRelative, written, commandAt, "a TargetCopy of bytes not yet written");
        if (targetRelative >= written) {
          throw VarskError(BpsMalformedMessage("a TargetCopy of bytes not yet written", commandAt));
        }
        sink.TargetCopy(targetRelative, n);
        targetRelative += n;
        break;
    }
  }
  if (sink.Written() != targetSize) {
    throw VarskError(BpsMalformedMessage("the commands end after " +
                                             std::to_string(sink.Written()) + " of " +
                                             std::to_string(targetSize) + " result bytes",
                                         pos));
  }
}

// Builds the result from the source.
struct BpsResultBuilder {
  std::span<const uint8_t> source;
  std::vector<uint8_t>& target;
  size_t Written() const { return target.size(); }
  void SourceRead(size_t n) {
    const size_t at = target.size();
    target.insert(target.end(), source.begin() + at, source.begin() + at + n);
  }
  void TargetRead(std::span<const uint8_t> bytes) {
    target.insert(target.end(), bytes.begin(), bytes.end());
  }
  void SourceCopy(size_t from, size_t n) {
    target.insert(target.end(), source.begin() + from, source.begin() + from + n);
  }
  void TargetCopy(size_t from, size_t n) {
    // Byte by byte: the copy may reach into the bytes it appends (a repeated
    // run). The capacity is reserved, so the vector never moves.
    for (size_t k = 0; k < n; ++k) target.push_back(target[from + k]);
  }
};

// Notes whether a command other than a SourceRead writes into `watched`: the
// bytes the patch may change there. Keeps no list, whatever the command count.
struct BpsWriteRecorder {
  ByteRange watched;
  size_t written = 0;
  bool writesWatched = false;
  size_t Written() const { return written; }
  void Add(size_t n) {
    writesWatched = writesWatched || watched.Overlaps({written, written + n});
    written += n;
  }
  void SourceRead(size_t n) { written += n; }
  void TargetRead(std::span<const uint8_t> bytes) { Add(bytes.size()); }
  void SourceCopy(size_t, size_t n) { Add(n); }
  void TargetCopy(size_t, size_t n) { Add(n); }
};

}  // namespace

std::vector<uint8_t> ApplyBpsPatch(std::span<const uint8_t> patch, const BpsPatchInfo& info,
                                   std::span<const uint8_t> rom, uint32_t romCrc) {
  if (rom.size() != info.sourceSize || romCrc != info.sourceCrc) {
    throw VarskError(BpsWrongSourceMessage(info.sourceSize, info.sourceCrc, rom.size(), romCrc));
  }
  // Appended to, never filled first: a ROM-sized fill costs as much as the work.
  std::vector<uint8_t> target;
  ReserveImage(target, static_cast<size_t>(info.targetSize));
  BpsResultBuilder builder{rom, target};
  WalkBpsCommands(patch, info, rom.size(), builder);
  const uint32_t resultCrc = Crc32(target);
  if (resultCrc != info.targetCrc) {
    throw VarskError(BpsTargetMismatchMessage(info.targetCrc, resultCrc));
  }
  return target;
}

bool BpsWritesInto(std::span<const uint8_t> patch, const BpsPatchInfo& info, ByteRange watched) {
  BpsWriteRecorder recorder{watched};
  WalkBpsCommands(patch, info, static_cast<size_t>(info.sourceSize), recorder);
  return recorder.writesWatched;
}

}  // namespace varsk
