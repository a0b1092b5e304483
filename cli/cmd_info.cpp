// varsk-units info ROM
#include <set>

#include "base/crc32.h"
#include "base/file_io.h"
#include "base/number_text.h"
#include "base/shown_text.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/unit_records.h"
#include "data/cartridge_header.h"
#include "data/rom_file.h"
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

}  // namespace

int RunInfo(const QStringList& args) {
  return RunCommand([&] {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Describe a ROM file: its size, the cartridge header's title, game code and maker code\n"
        "and whether its complement byte checks, the CRC32 of the whole file, whether it is\n"
        "long enough for the unit tables, whether what it holds there looks like unit tables,\n"
        "and how many entries and fields differ from the embedded data set."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image."));
    if (!ParseCommandLine(parser, QStringLiteral("info"), args, 1, 1)) {
      return kExitSuccess;
    }
    const std::string rom = PathArgument(parser, 0);
    const std::vector<uint8_t> image = ReadWholeFile(rom, FileKind::RomImage);

    Report report;
    report.Line(QStringLiteral("File"), ShownPath(rom));
    report.Line(QStringLiteral("Size"), QStringLiteral("%1 bytes").arg(image.size()));
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
