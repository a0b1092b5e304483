// varsk-units info ROM|PATCH
#include <set>

#include "base/crc32.h"
#include "base/file_io.h"
#include "base/messages.h"
#include "base/number_text.h"
#include "base/shown_text.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/unit_records.h"
#include "data/cartridge_header.h"
#include "data/rom_file.h"
#include "patch/patch_apply.h"
#include "patch/patch_messages.h"
#include "patch/record_diff.h"

namespace varsk::cli {

namespace {

// A byte as two upper-case hexadecimal digits.
QString Hex(uint8_t byte) { return QString::fromStdString(FormatHex2(byte)); }

// A header text in quotes, unprintable bytes as \xNN.
QString Quoted(const std::string& bytes) { return QString::fromStdString(QuotedAsciiText(bytes)); }

// The report, one "Key:       value" line at a time.
class Report {
 public:
  void Line(const QString& key, const QString& value) {
    text_ += QStringLiteral("%1 %2\n").arg(key + QLatin1Char(':'), -11).arg(value);
  }
  QByteArray Bytes() const { return text_.toUtf8(); }

 private:
  QString text_;
};

// The lines of an IPS or BPS patch: what it holds and whether it writes into
// the unit tables.
void DescribePatch(const std::string& path, std::span<const uint8_t> patch, Report& report) {
  PatchSummary summary;
  try {
    summary = SummarisePatch(patch);
  } catch (const VarskError& error) {
    Fail(QString::fromStdString(FullPath(path) + ": " + error.what()));
  }
  const auto crc = [](uint32_t value) { return QString::fromStdString(Crc32Text(value)); };
  if (summary.format == PatchFormat::Ips) {
    const auto counted = [](uint64_t count, const char* one, const char* many) {
      return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
    };
    report.Line(QStringLiteral("Patch"),
                QStringLiteral("IPS, %1 covering %2")
                    .arg(counted(summary.ips.records, "record", "records"),
                         counted(summary.ips.bytesWritten, "byte", "bytes")));
    if (summary.ips.cutLength) {
      report.Line(QStringLiteral("Cut to"), QStringLiteral("%1 bytes").arg(*summary.ips.cutLength));
    }
  } else {
    report.Line(QStringLiteral("Patch"),
                QStringLiteral("BPS, its own CRC32 %1 (checks)").arg(crc(summary.bps.patchCrc)));
    report.Line(QStringLiteral("Source"), QStringLiteral("%1 bytes, CRC32 %2")
                                              .arg(summary.bps.sourceSize)
                                              .arg(crc(summary.bps.sourceCrc)));
    report.Line(QStringLiteral("Target"), QStringLiteral("%1 bytes, CRC32 %2")
                                              .arg(summary.bps.targetSize)
                                              .arg(crc(summary.bps.targetCrc)));
  }
  report.Line(QStringLiteral("Tables"),
              summary.touchesTables
                  ? QStringLiteral("touched: it writes into the unit tables (bytes %1..%2)")
                        .arg(kMsTableOffset)
                        .arg(kRomTablesEnd - 1)
                  : QStringLiteral("not touched: no byte of the unit tables (%1..%2) changes")
                        .arg(kMsTableOffset)
                        .arg(kRomTablesEnd - 1));
}

}  // namespace

int RunInfo(const QStringList& args) {
  return RunCommand([&] {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Describe a ROM file or a patch. A ROM: its size, the cartridge header's title, game\n"
        "code and maker code and whether its complement byte checks, the CRC32 of the whole\n"
        "file, whether it is long enough for the unit tables, whether what it holds there\n"
        "looks like unit tables, and how many entries and fields differ from the embedded\n"
        "data set. An IPS patch: its records and the bytes they cover; a BPS patch: its\n"
        "source and target sizes and the three CRC32s; either: whether it touches the unit\n"
        "tables."));
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The ROM image, or an IPS or BPS patch."));
    if (!ParseCommandLine(parser, QStringLiteral("info"), args, 1, 1,
                          QStringLiteral("info ROM|PATCH"))) {
      return kExitSuccess;
    }
    const std::string rom = PathArgument(parser, 0);
    // A patch may be larger than a ROM: the larger bound first, then the ROM's
    // for a file that is no patch.
    std::vector<uint8_t> image = ReadWholeFile(rom, FileKind::Patch);
    if (!DetectPatchFormat(image) && image.size() > SizeLimitOf(FileKind::RomImage)) {
      image = ReadWholeFile(rom, FileKind::RomImage);  // refused, naming the ROM's bound
    }

    Report report;
    report.Line(QStringLiteral("File"), ShownPath(rom));
    report.Line(QStringLiteral("Size"), QStringLiteral("%1 bytes").arg(image.size()));
    if (DetectPatchFormat(image)) {
      DescribePatch(rom, image, report);
      WriteOutput(std::string(), report.Bytes());
      return kExitSuccess;
    }
    if (const std::optional<CartridgeHeader> header = ReadCartridgeHeader(image)) {
      report.Line(QStringLiteral("Title"), Quoted(header->title));
      report.Line(QStringLiteral("Game code"), Quoted(header->gameCode));
      report.Line(QStringLiteral("Maker code"), Quoted(header->makerCode));
      report.Line(QStringLiteral("Complement"),
                  header->ComplementChecks()
                      ? QStringLiteral("%1 (checks)").arg(Hex(header->complement))
                      : QStringLiteral("%1 (does not check; expected %2)")
                            .arg(Hex(header->complement), Hex(header->expectedComplement)));
    } else {
      report.Line(QStringLiteral("Header"), QStringLiteral("none (the file is too short)"));
    }
    report.Line(QStringLiteral("CRC32"), QString::fromStdString(Crc32Text(Crc32(image))));

    const std::optional<RomBuffers> tables = RomTablesOfImage(image);
    if (!tables) {
      report.Line(QStringLiteral("Tables"),
                  QStringLiteral("no (the file ends at %1; the tables need %2 bytes)")
                      .arg(image.size())
                      .arg(kRomTablesEnd));
      WriteOutput(std::string(), report.Bytes());
      return kExitSuccess;
    }
    report.Line(QStringLiteral("Tables"),
                QStringLiteral("yes (bytes %1..%2)").arg(kMsTableOffset).arg(kRomTablesEnd - 1));
    // A file long enough is not yet a ROM of this game: values that no unit
    // table holds tell another image (or random bytes) from ours.
    const int implausible = CountImplausibleEntries(*tables);
    report.Line(QStringLiteral("Contents"),
                implausible == 0
                    ? QStringLiteral("look like unit tables")
                    : QStringLiteral("do not look like unit tables (%1 of %2 entries hold "
                                     "impossible values)")
                          .arg(implausible)
                          .arg(kRomMsEntryCount + kRomShipEntryCount));
    const DataSetPtr embedded = LoadRecords(std::string(), DataSetPart::Records);
    const DataSetPtr loaded = CopyOfRecords(*embedded);
    UnpackRomTables(*tables, *loaded);
    const std::vector<FieldChange> changes = DiffRecords(*embedded, *loaded);
    std::set<int> entries;
    for (const FieldChange& change : changes) {
      entries.insert(change.entryIndex);
    }
    report.Line(QStringLiteral("Differs"),
                QStringLiteral("%1 entries, %2 fields from the embedded data set")
                    .arg(entries.size())
                    .arg(changes.size()));
    WriteOutput(std::string(), report.Bytes());
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
