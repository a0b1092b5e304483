// varsk-units info ROM
#include <zlib.h>

#include <QSet>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cli/cli_common.h"
#include "cli/cli_messages.h"
#include "cli/commands.h"
#include "cli/record_text.h"
#include "data/file_io.h"
#include "data/rom_tables.h"

namespace varsk::cli {

namespace {

// The cartridge header fields that identify an image.
constexpr qsizetype kTitleOffset = 0xA0;
constexpr qsizetype kTitleSize = 12;
constexpr qsizetype kGameCodeOffset = 0xAC;
constexpr qsizetype kGameCodeSize = 4;
constexpr qsizetype kMakerCodeOffset = 0xB0;
constexpr qsizetype kMakerCodeSize = 2;
constexpr qsizetype kComplementOffset = 0xBD;

QString Hex(unsigned value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

// A header text: trailing zero bytes dropped, other unprintable bytes as \xNN.
QString HeaderText(const QByteArray& image, qsizetype offset, qsizetype size) {
  QByteArray bytes = image.mid(offset, size);
  while (!bytes.isEmpty() && bytes.back() == '\0') {
    bytes.chop(1);
  }
  QString text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      text += QLatin1Char(c);
    } else {
      text += QStringLiteral("\\x") + Hex(byte, 2);
    }
  }
  return QLatin1Char('"') + text + QLatin1Char('"');
}

// The complement byte that the header should hold: -(sum of 0xA0..0xBC) - 0x19.
uint8_t HeaderComplement(const QByteArray& image) {
  unsigned sum = 0;
  for (qsizetype i = kTitleOffset; i < kComplementOffset; ++i) {
    sum += static_cast<unsigned char>(image.at(i));
  }
  return static_cast<uint8_t>(0u - sum - 0x19u);
}

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
        "long enough for the unit tables, and how many entries and fields differ from the\n"
        "embedded data set."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image."));
    if (!ParseCommandLine(parser, QStringLiteral("info"), args, 1, 1)) {
      return kExitSuccess;
    }
    const std::string rom = ArgumentBytes(parser.positionalArguments().at(0));
    const std::vector<uint8_t> bytes = ReadWholeFile(rom, FileKind::RomImage);
    const QByteArray image = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                     static_cast<qsizetype>(bytes.size()));

    Report report;
    report.Line(QStringLiteral("File"), ShownPath(rom));
    report.Line(QStringLiteral("Size"), QStringLiteral("%1 bytes").arg(image.size()));
    if (image.size() > kComplementOffset) {
      report.Line(QStringLiteral("Title"), HeaderText(image, kTitleOffset, kTitleSize));
      report.Line(QStringLiteral("Game code"), HeaderText(image, kGameCodeOffset, kGameCodeSize));
      report.Line(QStringLiteral("Maker code"),
                  HeaderText(image, kMakerCodeOffset, kMakerCodeSize));
      const uint8_t stored = static_cast<uint8_t>(image.at(kComplementOffset));
      const uint8_t expected = HeaderComplement(image);
      report.Line(QStringLiteral("Complement"),
                  stored == expected ? QStringLiteral("%1 (checks)").arg(Hex(stored, 2))
                                     : QStringLiteral("%1 (does not check; expected %2)")
                                           .arg(Hex(stored, 2), Hex(expected, 2)));
    } else {
      report.Line(QStringLiteral("Header"), QStringLiteral("none (the file is too short)"));
    }
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes lengths as uInt: feed the file in pieces.
    constexpr qsizetype kPiece = qsizetype{1} << 30;
    for (qsizetype pos = 0; pos < image.size(); pos += kPiece) {
      const qsizetype length = std::min(kPiece, image.size() - pos);
      crc = crc32(crc, reinterpret_cast<const Bytef*>(image.constData() + pos),
                  static_cast<uInt>(length));
    }
    report.Line(QStringLiteral("CRC32"), Hex(static_cast<unsigned>(crc), 8));

    if (image.size() < kRomTablesEnd) {
      report.Line(QStringLiteral("Tables"),
                  QStringLiteral("no (the file ends at %1; the tables need %2 bytes)")
                      .arg(image.size())
                      .arg(kRomTablesEnd));
      WriteOutput(std::string(), report.Bytes());
      return kExitSuccess;
    }
    report.Line(QStringLiteral("Tables"),
                QStringLiteral("yes (bytes %1..%2)").arg(kMsTableOffset).arg(kRomTablesEnd - 1));
    const RecordsPtr embedded = NewRecords();
    LoadRecordTables(std::string(), *embedded);
    const RecordsPtr loaded = NewRecords();
    CopyRecordTables(*embedded, *loaded);
    RomBuffers buffers;
    std::memcpy(buffers.ms.data(), image.constData() + kMsTableOffset, buffers.ms.size());
    std::memcpy(buffers.ship.data(), image.constData() + kShipTableOffset, buffers.ship.size());
    UnpackRomTables(buffers, *loaded);
    const std::vector<ValueChange> changes = CompareRecords(*embedded, *loaded);
    QSet<int> entries;
    for (const ValueChange& change : changes) {
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
