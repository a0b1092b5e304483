// IPS and BPS patches: round trips on 8 MiB ROMs, known encodings, and the
// rejection of damaged patches and wrong ROMs.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "base/crc32.h"
#include "base/messages.h"
#include "data/rom_tables.h"
#include "patch/bps_patch.h"
#include "patch/ips_patch.h"
#include "patch/patch_apply.h"
#include "patch/patch_messages.h"
#include "patch/synthetic_rom.h"

namespace varsk {

void PrintTo(PatchFormat format, std::ostream* os) { *os << PatchFormatName(format); }

namespace {

using Bytes = std::vector<uint8_t>;
using testing::RandomBytes;
using testing::SyntheticRom;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes MakePatch(PatchFormat format, const Bytes& original, const Bytes& modified) {
  return format == PatchFormat::Ips ? MakeIpsPatch(original, modified)
                                    : MakeBpsPatch(original, modified);
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const VarskError& error) {
    return error.what();
  }
  return "(no error)";
}

// Offsets and lengths of the records of a well-formed IPS patch.
struct IpsRecord {
  uint32_t offset;
  uint32_t length;  // bytes written, for run records too
  bool run;
};
std::vector<IpsRecord> IpsRecords(const Bytes& patch) {
  std::vector<IpsRecord> records;
  size_t pos = 5;
  while (std::memcmp(patch.data() + pos, "EOF", 3) != 0) {
    const uint32_t offset = (patch[pos] << 16) | (patch[pos + 1] << 8) | patch[pos + 2];
    const uint32_t length = (patch[pos + 3] << 8) | patch[pos + 4];
    pos += 5;
    if (length == 0) {
      records.push_back({offset, uint32_t((patch[pos] << 8) | patch[pos + 1]), true});
      pos += 3;
    } else {
      records.push_back({offset, length, false});
      pos += length;
    }
  }
  return records;
}

// --- Round trips ------------------------------------------------------------

struct Edit {
  const char* name;
  std::function<Bytes(Bytes)> apply;
  size_t maxPatchSize;  // both formats stay below this
};
void PrintTo(const Edit& edit, std::ostream* os) { *os << edit.name; }

const Edit kEdits[] = {
    {"Unchanged", [](Bytes rom) { return rom; }, 40},
    {"ScatteredBytes",
     [](Bytes rom) {
       for (size_t offset :
            {size_t{0}, size_t{17}, size_t{4096}, size_t{0x3FFFFF}, size_t(kMsTableOffset + 3),
             size_t(kRomTablesEnd - 1), rom.size() - 1}) {
         rom[offset] ^= 0x5A;
       }
       return rom;
     },
     200},
    {"EditAtEofOffset",
     [](Bytes rom) {
       rom[kIpsEofOffset] ^= 1;
       return rom;
     },
     40},
    {"EditsEitherSideOfEofOffset",
     [](Bytes rom) {
       rom[kIpsEofOffset - 1] ^= 1;
       rom[kIpsEofOffset] ^= 1;
       rom[kIpsEofOffset + 40] ^= 1;
       return rom;
     },
     120},
    {"RunStartingAtEofOffset",
     [](Bytes rom) {
       std::fill_n(rom.begin() + kIpsEofOffset, 300, 0xEE);
       return rom;
     },
     60},
    {"LongLiteralAcrossEofOffset",
     [](Bytes rom) {
       const Bytes noise = RandomBytes(200000, 7);
       std::copy(noise.begin(), noise.end(), rom.begin() + kIpsEofOffset - 0xFFFF);
       return rom;
     },
     200200},
    {"LongRun",
     [](Bytes rom) {
       std::fill_n(rom.begin() + (1 << 20), 300000, 0xFF);
       return rom;
     },
     100},
    {"AllTableBytes",
     [](Bytes rom) {
       for (int64_t i = kMsTableOffset; i < kRomTablesEnd; ++i) rom[i] = ~rom[i];
       return rom;
     },
     10600},
    {"GrownWithZeros",
     [](Bytes rom) {
       rom.resize(rom.size() + (1 << 20), 0);
       return rom;
     },
     200},
    {"GrownTo16MiB",
     [](Bytes rom) {
       const Bytes tail = RandomBytes((16 << 20) - rom.size(), 3);
       rom.insert(rom.end(), tail.begin(), tail.end());
       return rom;
     },
     (8 << 20) + 1000},
    {"Shrunk",
     [](Bytes rom) {
       rom.resize(6 << 20);
       rom[100] ^= 1;
       return rom;
     },
     60},
    {"ShrunkToEofOffset",
     [](Bytes rom) {
       rom.resize(kIpsEofOffset);
       return rom;
     },
     60},
};

class PatchRoundTrip : public ::testing::TestWithParam<std::tuple<PatchFormat, Edit>> {
 protected:
  static const Bytes& Original() {
    static const Bytes original = SyntheticRom();
    return original;
  }
};

TEST_P(PatchRoundTrip, ApplyGivesModifiedByteForByte) {
  const auto& [format, edit] = GetParam();
  const Bytes modified = edit.apply(Original());
  const Bytes patch = MakePatch(format, Original(), modified);
  EXPECT_LT(patch.size(), edit.maxPatchSize);

  const AppliedPatch applied = ApplyPatch(patch, Original());
  EXPECT_EQ(applied.format, format);
  if (modified == Original()) {
    EXPECT_TRUE(applied.alreadyPatched);
  } else {
    ASSERT_FALSE(applied.alreadyPatched);
    ASSERT_EQ(applied.bytes.size(), modified.size());
    EXPECT_TRUE(applied.bytes == modified);
  }
  // Applying again to the result is recognised as already done.
  EXPECT_TRUE(ApplyPatch(patch, modified).alreadyPatched);

  if (format == PatchFormat::Ips) {
    for (const IpsRecord& record : IpsRecords(patch)) {
      EXPECT_NE(record.offset, kIpsEofOffset);
      EXPECT_GT(record.length, 0u);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Edits, PatchRoundTrip,
                         ::testing::Combine(::testing::Values(PatchFormat::Ips, PatchFormat::Bps),
                                            ::testing::ValuesIn(kEdits)),
                         [](const auto& param) {
                           return std::string(PatchFormatName(std::get<0>(param.param))) + "_" +
                                  std::get<1>(param.param).name;
                         });

TEST(IpsPatch, RefusesFilesOf16MiBAndMoreWithAHintAtBps) {
  const Bytes original(1024, 0);
  const Bytes tooLong((16 << 20) + 1, 1);
  EXPECT_NE(ErrorOf([&] { MakeIpsPatch(original, tooLong); }).find(".bps"), std::string::npos);
  // Cutting a longer file to exactly 16 MiB needs a cut length of 2^24.
  const Bytes longer((16 << 20) + 10, 0);
  Bytes cut(longer.begin(), longer.begin() + (16 << 20));
  cut[5] = 1;
  EXPECT_NE(ErrorOf([&] { MakeIpsPatch(longer, cut); }).find(".bps"), std::string::npos);
}

// --- Known encodings --------------------------------------------------------

struct NumberCase {
  uint64_t value;
  Bytes encoded;
};

class BpsNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(BpsNumber, EncodesAndDecodes) {
  Bytes encoded;
  EncodeBpsNumber(GetParam().value, encoded);
  EXPECT_EQ(encoded, GetParam().encoded);
  size_t pos = 0;
  EXPECT_EQ(DecodeBpsNumber(encoded, pos, encoded.size()), GetParam().value);
  EXPECT_EQ(pos, encoded.size());
}

INSTANTIATE_TEST_SUITE_P(KnownAnswers, BpsNumber,
                         ::testing::Values(NumberCase{0, {0x80}}, NumberCase{127, {0xFF}},
                                           NumberCase{128, {0x00, 0x80}},
                                           NumberCase{16511, {0x7F, 0xFF}},
                                           NumberCase{16512, {0x00, 0x00, 0x80}},
                                           NumberCase{8388608, {0x00, 0x7F, 0x7E, 0x82}}));

TEST(BpsNumber, RoundTripsLargeValuesAndRejectsOverlongOnes) {
  for (uint64_t value : {uint64_t{1} << 32, (uint64_t{1} << 62) + 12345, uint64_t{1} << 63}) {
    Bytes encoded;
    EncodeBpsNumber(value, encoded);
    size_t pos = 0;
    EXPECT_EQ(DecodeBpsNumber(encoded, pos, encoded.size()), value);
  }
  const Bytes overlong(10, 0x00);  // ten bytes without an end mark
  size_t pos = 0;
  EXPECT_THROW(DecodeBpsNumber(overlong, pos, overlong.size()), VarskError);
  const Bytes unfinished{0x12, 0x34};
  pos = 0;
  EXPECT_THROW(DecodeBpsNumber(unfinished, pos, unfinished.size()), VarskError);
}

TEST(Crc32, KnownAnswer) {
  EXPECT_EQ(Crc32(Text("123456789")), 0xCBF43926u);
  EXPECT_EQ(Crc32({}), 0u);
  EXPECT_EQ(Crc32Text(0x0BF43926u), "0BF43926");
}

TEST(IpsPatch, KnownBytes) {
  Bytes original(0x454F50, 0);
  Bytes modified = original;
  modified[3] = 0x41;
  std::fill_n(modified.begin() + 0x100, 20, 0x55);
  modified[kIpsEofOffset] = 0x99;
  const Bytes expected = {'P',  'A',  'T',  'C',  'H',                     //
                          0x00, 0x00, 0x03, 0x00, 0x01, 0x41,              //
                          0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x14, 0x55,  //
                          0x45, 0x4F, 0x45, 0x00, 0x02, 0x00, 0x99,        //
                          'E',  'O',  'F'};
  EXPECT_EQ(MakeIpsPatch(original, modified), expected);

  Bytes shorter(original.begin(), original.begin() + 0x10);
  const Bytes cut = {'P', 'A', 'T', 'C', 'H', 'E', 'O', 'F', 0x00, 0x00, 0x10};
  EXPECT_EQ(MakeIpsPatch(original, shorter), cut);
}

TEST(BpsPatch, KnownBytes) {
  const Bytes source = Text("abcabc");
  const Bytes target = Text("abXabcZZZZZZZZZZ");
  Bytes expected = {'B',  'P', 'S', '1', 0x86, 0x90, 0x80,  //
                    0x84,                                   // SourceRead 2
                    0x81, 'X',                              // TargetRead 1
                    0x88,                                   // SourceRead 3
                    0x81, 'Z',                              // TargetRead 1
                    0xA3, 0x8C};                            // TargetCopy 9 from 6
  for (uint32_t crc : {Crc32(source), Crc32(target)}) {
    for (int shift = 0; shift < 32; shift += 8) expected.push_back(uint8_t(crc >> shift));
  }
  const uint32_t patchCrc = Crc32(expected);
  for (int shift = 0; shift < 32; shift += 8) expected.push_back(uint8_t(patchCrc >> shift));
  EXPECT_EQ(MakeBpsPatch(source, target), expected);
}

// --- Reading hand-made BPS patches ------------------------------------------

// A BPS patch with the given header, commands and CRCs (the patch CRC always right).
Bytes BuildBps(const Bytes& source, uint64_t targetSize, const Bytes& commands, uint32_t targetCrc,
               uint64_t metadataSize = 0) {
  Bytes patch = Text("BPS1");
  EncodeBpsNumber(source.size(), patch);
  EncodeBpsNumber(targetSize, patch);
  EncodeBpsNumber(metadataSize, patch);
  patch.insert(patch.end(), commands.begin(), commands.end());
  for (uint32_t crc : {Crc32(source), targetCrc}) {
    for (int shift = 0; shift < 32; shift += 8) patch.push_back(uint8_t(crc >> shift));
  }
  const uint32_t patchCrc = Crc32(patch);
  for (int shift = 0; shift < 32; shift += 8) patch.push_back(uint8_t(patchCrc >> shift));
  return patch;
}

Bytes Command(BpsAction action, uint64_t length) {
  Bytes out;
  EncodeBpsNumber(((length - 1) << 2) | static_cast<uint64_t>(action), out);
  return out;
}

Bytes Distance(int64_t delta) {
  Bytes out;
  EncodeBpsNumber((uint64_t(delta < 0 ? -delta : delta) << 1) | (delta < 0 ? 1 : 0), out);
  return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

TEST(BpsPatch, AppliesSourceAndTargetCopies) {
  const Bytes source = Text("ABCDEFGH");
  const Bytes target = Text("EFGHABCDCDCDx");
  const Bytes commands = Join({Command(BpsAction::SourceCopy, 4), Distance(4),   // EFGH
                               Command(BpsAction::SourceCopy, 4), Distance(-8),  // ABCD
                               Command(BpsAction::TargetCopy, 4), Distance(6),   // CDCD
                               Command(BpsAction::TargetRead, 1), Text("x")});
  EXPECT_EQ(ApplyBpsPatch(BuildBps(source, target.size(), commands, Crc32(target)), source),
            target);
}

struct MalformedBps {
  const char* name;
  uint64_t targetSize;
  Bytes commands;
  uint64_t metadataSize;
  const char* message;
};

class BpsRejects : public ::testing::TestWithParam<MalformedBps> {};

TEST_P(BpsRejects, MalformedCommands) {
  const Bytes source = Text("ABCDEFGH");
  const MalformedBps& c = GetParam();
  const Bytes patch = BuildBps(source, c.targetSize, c.commands, 0, c.metadataSize);
  const std::string error = ErrorOf([&] { ApplyBpsPatch(patch, source); });
  EXPECT_NE(error.find(c.message), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BpsRejects,
    ::testing::Values(
        MalformedBps{"SourceReadPastSource", 10, Command(BpsAction::SourceRead, 10), 0,
                     "SourceRead past the end of the source"},
        MalformedBps{"WritePastTarget", 4, Command(BpsAction::SourceRead, 5), 0,
                     "past the end of the result"},
        MalformedBps{"SourceCopyBeforeStart", 2,
                     Join({Command(BpsAction::SourceCopy, 2), Distance(-1)}), 0,
                     "SourceCopy outside the source"},
        MalformedBps{"SourceCopyPastEnd", 4, Join({Command(BpsAction::SourceCopy, 4), Distance(6)}),
                     0, "SourceCopy outside the source"},
        MalformedBps{"SourceCopyFarPastEnd", 4,
                     Join({Command(BpsAction::SourceCopy, 4), Distance(int64_t{1} << 40)}), 0,
                     "SourceCopy outside the source"},
        MalformedBps{"TargetCopyOfUnwrittenBytes", 4,
                     Join({Command(BpsAction::SourceRead, 1), Command(BpsAction::TargetCopy, 3),
                           Distance(1)}),
                     0, "TargetCopy of bytes not yet written"},
        MalformedBps{"TargetCopyFirst", 4, Join({Command(BpsAction::TargetCopy, 4), Distance(0)}),
                     0, "TargetCopy of bytes not yet written"},
        MalformedBps{"TargetReadPastCommands", 8, Command(BpsAction::TargetRead, 8), 0,
                     "TargetRead runs past"},
        MalformedBps{"CommandsEndEarly", 8, Command(BpsAction::SourceRead, 4), 0,
                     "commands end after 4 of 8"},
        MalformedBps{"MetadataPastEnd", 8, Command(BpsAction::SourceRead, 8), 5,
                     "metadata runs past"},
        MalformedBps{"HugeTarget", uint64_t{1} << 40, Command(BpsAction::SourceRead, 8), 0,
                     "declares a result of"},
        MalformedBps{"NumberRunsOut", 8, Bytes{0x00, 0x00}, 0, "number runs past"},
        MalformedBps{"WrongTargetCrc", 8, Command(BpsAction::SourceRead, 8), 0,
                     "did not produce its target"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(BpsPatch, RejectsADamagedPatchNamingBothCrcs) {
  const Bytes original = SyntheticRom();
  Bytes modified = original;
  modified[123456] ^= 0xFF;
  Bytes patch = MakeBpsPatch(original, modified);
  patch[9] ^= 0x01;
  const std::string error = ErrorOf([&] { ApplyPatch(patch, original); });
  EXPECT_NE(error.find("BPS patch is damaged"), std::string::npos) << error;
}

TEST(BpsPatch, RejectsTheWrongRomNamingExpectedAndActualCrc) {
  const Bytes original = SyntheticRom(1);
  Bytes modified = original;
  modified[99] ^= 1;
  const Bytes patch = MakeBpsPatch(original, modified);
  for (const Bytes& wrong : {SyntheticRom(2), Bytes(original.begin(), original.end() - 1)}) {
    const std::string error = ErrorOf([&] { ApplyPatch(patch, wrong); });
    EXPECT_NE(error.find("not the one this patch was made for"), std::string::npos) << error;
    EXPECT_NE(error.find(Crc32Text(Crc32(original))), std::string::npos) << error;
    EXPECT_NE(error.find(Crc32Text(Crc32(wrong))), std::string::npos) << error;
  }
}

// Every cut-short form of a valid patch is rejected (never read past its end).
TEST(PatchFormats, EveryTruncationIsRejected) {
  Bytes original = RandomBytes(4096, 5);
  Bytes modified = original;
  modified[10] ^= 1;
  std::fill_n(modified.begin() + 1000, 100, 7);
  modified.resize(5000, 3);
  for (PatchFormat format : {PatchFormat::Ips, PatchFormat::Bps}) {
    const Bytes patch = MakePatch(format, original, modified);
    for (size_t size = 0; size < patch.size(); ++size) {
      const Bytes cut(patch.begin(), patch.begin() + size);
      EXPECT_THROW(ApplyPatch(cut, original), VarskError)
          << PatchFormatName(format) << " cut to " << size;
    }
  }
}

TEST(IpsPatch, RejectsMalformedRecordsAndEndings) {
  const Bytes rom(16, 0);
  // A run of no bytes far beyond the end must not lengthen the file.
  const Bytes emptyRun = {'P', 'A', 'T', 'C', 'H',  0x10, 0x00, 0x00,
                          0,   0,   0,   0,   0x41, 'E',  'O',  'F'};
  EXPECT_NE(
      ErrorOf([&] { ApplyIpsPatch(emptyRun, rom); }).find("a run of no bytes at patch byte 5"),
      std::string::npos);
  const Bytes twoAfterEof = {'P', 'A', 'T', 'C', 'H', 'E', 'O', 'F', 0x00, 0x00};
  EXPECT_NE(ErrorOf([&] { ApplyIpsPatch(twoAfterEof, rom); }).find("after its"), std::string::npos);
  const Bytes cutTooFar = {'P', 'A', 'T', 'C', 'H', 'E', 'O', 'F', 0x00, 0x00, 0x20};
  EXPECT_NE(ErrorOf([&] { ApplyIpsPatch(cutTooFar, rom); }).find("beyond the end"),
            std::string::npos);
  EXPECT_NE(ErrorOf([&] { ApplyPatch(Text("NOT A PATCH"), rom); }).find("not an IPS or BPS"),
            std::string::npos);
}

TEST(IpsPatch, RecordsBeyondTheEndGrowTheFileWithZeros) {
  const Bytes rom(4, 0xAA);
  const Bytes patch = {'P',  'A',  'T',  'C',  'H',  0x00, 0x00, 0x08, 0x00, 0x01, 0x42,
                       0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x02, 0x43, 'E',  'O',  'F'};
  const Bytes expected = {0xAA, 0xAA, 0xAA, 0xAA, 0, 0, 0, 0, 0x42, 0, 0x43, 0x43};
  EXPECT_EQ(ApplyIpsPatch(patch, rom), expected);
}

// Reviewing a patch without a ROM: what it holds and whether it reaches the
// unit tables, for a change just outside them, one inside, and a cut.
class PatchSummaryOf : public ::testing::TestWithParam<PatchFormat> {};

TEST_P(PatchSummaryOf, SaysWhetherItTouchesTheUnitTables) {
  const Bytes original = SyntheticRom(7);
  Bytes before = original;
  Bytes inside = original;
  before[kMsTableOffset - 1] ^= 0xFF;
  before[kMsTableOffset - 3] ^= 0xFF;
  inside[kRomTablesEnd - 1] ^= 0xFF;
  const Bytes cut(original.begin(), original.begin() + kMsTableOffset);
  const PatchFormat format = GetParam();
  const PatchSummary outside = SummarisePatch(MakePatch(format, original, before));
  EXPECT_EQ(outside.format, format);
  EXPECT_FALSE(outside.touchesTables);
  EXPECT_TRUE(SummarisePatch(MakePatch(format, original, inside)).touchesTables);
  EXPECT_TRUE(SummarisePatch(MakePatch(format, original, cut)).touchesTables);
  if (format == PatchFormat::Ips) {
    EXPECT_EQ(outside.ips.records, 1u);
    EXPECT_EQ(outside.ips.bytesWritten, 3u);  // the equal byte between travels along
  } else {
    EXPECT_EQ(outside.bps.sourceSize, original.size());
    EXPECT_EQ(outside.bps.sourceCrc, Crc32(original));
    EXPECT_EQ(outside.bps.targetCrc, Crc32(before));
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, PatchSummaryOf,
                         ::testing::Values(PatchFormat::Ips, PatchFormat::Bps));

}  // namespace
}  // namespace varsk
