// render, the exports, info, and the handling of bad command lines and files.
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <QProcess>

#include "base/crc32.h"
#include "cli/cli_test_support.h"
#include "cli/command_line.h"
#include "cli/unit_records.h"
#include "cliplib/bitmap32.h"
#include "data/embedded_data_set.h"
#include "data/rom_tables.h"
#include "graphics/anim_set.h"
#include "graphics/clip_export.h"
#include "graphics/preview.h"

namespace varsk::cli::test {
namespace {

class FilesTest : public CliTest {
 protected:
  static DataSetPtr EmbeddedRecords() {
    return LoadRecords(std::string(), DataSetPart::Everything);
  }
};

// The window's preview background: the palette's button face, as the editor
// turns its system colour into a pixel.
uint32_t WindowBackground() {
  const QColor face = QGuiApplication::palette().color(QPalette::Button);
  return SystemColourToPixel(
      static_cast<uint32_t>(face.blue() << 16 | face.green() << 8 | face.red()));
}

class RenderEntryTest : public FilesTest, public ::testing::WithParamInterface<int> {};

TEST_P(RenderEntryTest, MatchesTheWindowPreviewPixels) {
  const int entry = GetParam();
  const QString png = Path(QStringLiteral("entry.png"));
  ExpectSuccess(Run({QStringLiteral("render"), rom_, QStringLiteral("--entry"),
                     QString::number(entry), QStringLiteral("-o"), png}));
  const QImage image(png);
  ASSERT_EQ(image.width(), kSpritePreviewWidth);
  ASSERT_EQ(image.height(), kSpritePreviewHeight);

  const DataSetPtr dataSet = EmbeddedRecords();
  AnimSetTable table;
  BuildAnimSetTable(table);
  Bitmap32 expected(kSpritePreviewWidth, kSpritePreviewHeight);
  DrawEntryPreview(*dataSet, table, entry - 1, WindowBackground(), expected);
  int drawn = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      ASSERT_EQ(image.pixel(x, y) & 0xFFFFFFu, expected.At(x, y)) << x << "," << y;
      drawn += expected.At(x, y) != WindowBackground();
    }
  }
  EXPECT_GT(drawn, 0) << "entry " << entry << " shows a sprite";
}

// First entry, a second palette on the same sprite, the frame-1 rule, the
// first ship and the widest layout.
INSTANTIATE_TEST_SUITE_P(Entries, RenderEntryTest, ::testing::Values(1, 2, 183, 192, 208));

TEST_F(FilesTest, RenderScaleIsNearestNeighbour) {
  const QString one = Path(QStringLiteral("one.png"));
  const QString three = Path(QStringLiteral("three.png"));
  ExpectSuccess(Run({QStringLiteral("render"), QStringLiteral("--entry"), QStringLiteral("12"),
                     QStringLiteral("-o"), one}));
  ExpectSuccess(Run({QStringLiteral("render"), QStringLiteral("--entry"), QStringLiteral("12"),
                     QStringLiteral("--scale"), QStringLiteral("3"), QStringLiteral("-o"), three}));
  const QImage small(one);
  const QImage large(three);
  ASSERT_EQ(large.size(), small.size() * 3);
  for (int y = 0; y < large.height(); ++y) {
    for (int x = 0; x < large.width(); ++x) {
      ASSERT_EQ(large.pixel(x, y), small.pixel(x / 3, y / 3)) << x << "," << y;
    }
  }
}

TEST_F(FilesTest, RenderSheetWritesAPicture) {
  const QString png = Path(QStringLiteral("sheet.png"));
  ExpectSuccess(
      Run({QStringLiteral("render"), QStringLiteral("--sheet"), QStringLiteral("-o"), png}));
  const QImage sheet(png);
  EXPECT_GT(sheet.width(), kSpritePreviewWidth);
  EXPECT_GT(sheet.height(), kSpritePreviewHeight * 10);
}

TEST_F(FilesTest, ExportDatasetEqualsTheEmbeddedBlob) {
  const QString file = Path(QStringLiteral("ms_data.bin"));
  ExpectSuccess(Run({QStringLiteral("export-dataset"), QStringLiteral("-o"), file}));
  const std::span<const uint8_t> blob = EmbeddedDataSetBytes();
  EXPECT_TRUE(ReadFile(file) == QByteArray(reinterpret_cast<const char*>(blob.data()),
                                           static_cast<qsizetype>(blob.size())));
}

TEST_F(FilesTest, ExportClipsEqualsTheClipSetEncoding) {
  const QString file = Path(QStringLiteral("ms_anmset.dat"));
  WriteFile(file, "old content that must be replaced");
  ExpectSuccess(Run({QStringLiteral("export-clips"), QStringLiteral("-o"), file}));
  const std::vector<uint8_t> expected = EncodeClipSet(*EmbeddedRecords());
  EXPECT_TRUE(ReadFile(file) == QByteArray(reinterpret_cast<const char*>(expected.data()),
                                           static_cast<qsizetype>(expected.size())));
}

TEST_F(FilesTest, InfoDescribesHeaderChecksumAndDifferences) {
  // An image that holds the packed data set, with a valid cartridge header.
  QByteArray image(8 * 1024 * 1024, '\0');
  const DataSetPtr dataSet = EmbeddedRecords();
  RomBuffers buffers;
  PackRomTables(*dataSet, buffers);
  std::memcpy(image.data() + kMsTableOffset, buffers.ms.data(), buffers.ms.size());
  std::memcpy(image.data() + kShipTableOffset, buffers.ship.data(), buffers.ship.size());
  std::memcpy(image.data() + 0xA0, "VARSK TEST\0\0AVTE01", 18);
  unsigned sum = 0;
  for (int i = 0xA0; i < 0xBD; ++i) sum += static_cast<uint8_t>(image[i]);
  image[0xBD] = static_cast<char>((0u - sum - 0x19u) & 0xFF);
  WriteFile(rom_, image);

  ProcessResult result = Run({QStringLiteral("info"), rom_});
  ExpectSuccess(result);
  const QString text = QString::fromUtf8(result.out);
  const uint32_t crc = Crc32(std::span(reinterpret_cast<const uint8_t*>(image.constData()),
                                       static_cast<size_t>(image.size())));
  EXPECT_TRUE(text.contains(QStringLiteral("8388608 bytes"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("\"VARSK TEST\""))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("\"AVTE\""))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("\"01\""))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("(checks)"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("%1").arg(crc, 8, 16, QLatin1Char('0')).toUpper()));
  EXPECT_TRUE(text.contains(QStringLiteral("0 entries, 0 fields"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Contents:   look like unit tables\n")))
      << text.toStdString();

  // One changed HP and a broken complement.
  image[qsizetype{kMsTableOffset} + 2] = static_cast<char>(image.at(kMsTableOffset + 2) ^ 1);
  image[0xBD] = static_cast<char>(image[0xBD] ^ 0xFF);
  WriteFile(rom_, image);
  result = Run({QStringLiteral("info"), rom_});
  EXPECT_TRUE(result.out.contains("does not check")) << result.out.toStdString();
  EXPECT_TRUE(result.out.contains("1 entries, 1 fields")) << result.out.toStdString();

  // Random bytes long enough for the tables are told apart from a ROM's.
  QByteArray noise(8 << 20, '\0');
  uint32_t state = 12345;
  for (char& byte : noise) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 24);
  }
  WriteFile(rom_, noise);
  result = Run({QStringLiteral("info"), rom_});
  ExpectSuccess(result);
  EXPECT_TRUE(result.out.contains("Contents:   do not look like unit tables (2"))
      << result.out.toStdString();

  // A short file is described, not refused.
  WriteFile(rom_, image.left(1024));
  result = Run({QStringLiteral("info"), rom_});
  ExpectSuccess(result);
  EXPECT_TRUE(result.out.contains("Tables:     no")) << result.out.toStdString();
}

// Bad files and command lines: one line on stderr, the exit status, and no
// file changed.
struct BadRun {
  const char* name;
  QStringList args;  // "ROM", "DIR", "PNGDIR", "SHORT", "OUT" are replaced by paths
  int exitCode;
  const char* fragment;
};

class BadRunTest : public FilesTest, public ::testing::WithParamInterface<BadRun> {};

TEST_P(BadRunTest, FailsCleanly) {
  const BadRun& run = GetParam();
  const QString shortRom = Path(QStringLiteral("short.gba"));
  const QByteArray shortBytes = romBytes_.left(kRomTablesEnd - 1);
  WriteFile(shortRom, shortBytes);
  WriteFile(Path(QStringLiteral("edits.csv")), "entryIndex,hp\n1,5\n");
  QDir(dir_.path()).mkdir(QStringLiteral("folder"));
  QDir(dir_.path()).mkdir(QStringLiteral("folder.png"));
  QStringList args;
  for (const QString& arg : run.args) {
    if (arg == QLatin1String("ROM"))
      args << rom_;
    else if (arg == QLatin1String("DIR"))
      args << Path(QStringLiteral("folder"));
    else if (arg == QLatin1String("PNGDIR"))
      args << Path(QStringLiteral("folder.png"));
    else if (arg == QLatin1String("SHORT"))
      args << shortRom;
    else if (arg == QLatin1String("EDITS"))
      args << Path(QStringLiteral("edits.csv"));
    else if (arg == QLatin1String("NOWHERE"))
      args << Path(QStringLiteral("no/such/dir/out.bin"));
    else
      args << arg;
  }
  const ProcessResult result = Run(args);
  ExpectFailure(result, run.exitCode, QString::fromUtf8(run.fragment));
  // Every message of a command names it.
  if (!QByteArray(run.fragment).startsWith("unknown command")) {
    EXPECT_TRUE(result.err.startsWith("varsk-units: " + run.args.front().toUtf8() + ": "))
        << result.err.toStdString();
  }
  EXPECT_TRUE(ReadFile(rom_) == romBytes_);
  EXPECT_TRUE(ReadFile(shortRom) == shortBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadRunTest,
    ::testing::Values(
        BadRun{"MissingRom", {"dump", "missing.gba"}, 1, "Cannot open file"},
        BadRun{"RomIsDirectory", {"dump", "DIR"}, 1, "Is a directory"},
        BadRun{"ShortRomDump", {"dump", "SHORT"}, 1, "too short"},
        BadRun{"ShortRomImport", {"import", "SHORT", "EDITS"}, 1, "too short"},
        BadRun{"ShortRomAutoModify", {"auto-modify", "SHORT", "--support-turn"}, 1, "too short"},
        BadRun{"EditsIsDirectory", {"import", "ROM", "DIR"}, 1, "Is a directory"},
        BadRun{"MissingEdits", {"import", "ROM", "missing.csv"}, 1, "Cannot open file"},
        BadRun{"OutputUnwritable",
               {"import", "ROM", "EDITS", "-o", "NOWHERE"},
               1,
               "Cannot create file"},
        BadRun{"OutputIsDirectory",
               {"auto-modify", "ROM", "--product-turn", "-o", "DIR"},
               1,
               "Cannot create file"},
        BadRun{"DumpOutputUnwritable", {"dump", "ROM", "-o", "NOWHERE"}, 1, "Cannot create file"},
        BadRun{"RenderOutputIsDirectory",
               {"render", "--entry", "1", "-o", "PNGDIR"},
               1,
               "Cannot create file"},
        BadRun{"ExportOutputIsDirectory", {"export-dataset", "-o", "DIR"}, 1, "Cannot create file"},
        BadRun{"ClipsOutputUnwritable", {"export-clips", "-o", "NOWHERE"}, 1, "Cannot create file"},
        BadRun{"DumpOverTheRom", {"dump", "ROM", "-o", "ROM"}, 2, "is the input file"},
        BadRun{"RenderOverTheRom",
               {"render", "ROM", "--entry", "1", "-o", "ROM"},
               2,
               "is the input file"},
        BadRun{"ImportOverTheEdits",
               {"import", "ROM", "EDITS", "-o", "EDITS"},
               2,
               "is the input file"},
        BadRun{"EmptyOutputName", {"auto-modify", "ROM", "--product-turn", "-o", ""}, 2, "empty"},
        BadRun{"InfoMissing", {"info", "missing.gba"}, 1, "Cannot open file"},
        BadRun{"UnknownCommand", {"frobnicate"}, 2, "unknown command 'frobnicate' (see"},
        BadRun{"MisspeltCommand", {"dmp"}, 2, "unknown command 'dmp'; did you mean 'dump'?"},
        BadRun{"MisspeltOption",
               {"dump", "--fromat", "csv"},
               2,
               "unknown option '--fromat'; did you mean '--format'?"},
        BadRun{"UnknownOption", {"dump", "--bogus"}, 2, "dump: unknown option '--bogus'"},
        BadRun{"MissingArgument", {"import", "ROM"}, 2, "import: missing argument"},
        BadRun{"ExtraArgument", {"info", "ROM", "ROM"}, 2, "unexpected argument"},
        BadRun{"BadFormat", {"dump", "--format", "xml"}, 2, "unknown format 'xml'"},
        BadRun{"RenderNeedsOneMode", {"render", "-o", "x.png"}, 2, "either --entry or --sheet"},
        BadRun{"RenderEntryRange", {"render", "--entry", "230", "-o", "x.png"}, 2, "1 to 229"},
        BadRun{"RenderScaleRange",
               {"render", "--entry", "1", "--scale", "0", "-o", "x.png"},
               2,
               "1 to 32"},
        BadRun{"RenderNeedsOutput", {"render", "--entry", "1"}, 2, "--output is required"},
        BadRun{"RenderQtOption",
               {"render", "--entry", "1", "-o", "x.png", "-platform", "none"},
               2,
               "render: unknown option '--platform'"},
        BadRun{"AutoModifyNeedsAChoice", {"auto-modify", "ROM"}, 2, "choose at least one"},
        // Mistakes answered with what was meant.
        BadRun{"RenderNotPng", {"render", "--entry", "1", "-o", "e.jpg"}, 2, "must end in .png"},
        BadRun{"DumpMisspeltField", {"dump", "--fields", "hp,Cost"}, 2, "did you mean 'cost'?"},
        BadRun{"DumpBadFilter", {"dump", "--filter", "hp>>3"}, 2, "'>3' is not a number"}),
    [](const ::testing::TestParamInfo<BadRun>& param) { return std::string(param.param.name); });

TEST_F(FilesTest, ReadOnlyRomIsNotWrittenInPlace) {
  if (::geteuid() == 0) {
    GTEST_SKIP() << "file permissions do not bind root";
  }
  WriteFile(Path(QStringLiteral("edits.csv")), "entryIndex,hp\n1,5\n");
  ASSERT_EQ(::chmod(QFile::encodeName(rom_).constData(), 0444), 0);
  ExpectFailure(Run({QStringLiteral("import"), rom_, Path(QStringLiteral("edits.csv"))}), 1,
                QStringLiteral("Cannot open file"));
  EXPECT_TRUE(ReadFile(rom_) == romBytes_);
  // Reading it is fine, and so is writing the result elsewhere.
  ExpectSuccess(Run({QStringLiteral("import"), rom_, Path(QStringLiteral("edits.csv")),
                     QStringLiteral("-o"), Path(QStringLiteral("out.gba"))}));
}

TEST_F(FilesTest, RenderWithoutTheDrawingProgramSaysSo) {
  // A copy of varsk-units alone in a folder finds no varsk-units-render.
  const QString lonely = Path(QStringLiteral("varsk-units"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(VARSK_UNITS_PATH), lonely));
  QProcess process;
  process.start(lonely, {QStringLiteral("render"), QStringLiteral("--entry"), QStringLiteral("1"),
                         QStringLiteral("-o"), Path(QStringLiteral("x.png"))});
  ASSERT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_TRUE(process.readAllStandardError().startsWith(
      "varsk-units: render: cannot run the drawing program"));
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("x.png"))));
}

TEST(Arguments, AnyBytesSurviveTheParserText) {
  // Valid UTF-8, stray bytes, an overlong form and an encoded surrogate.
  for (const std::string& bytes :
       {std::string("rom.gba"), std::string("\xff-rom.gba"), std::string("caf\xc3\xa9 \xe2\x82"),
        std::string("\xc0\xaf/\xed\xa0\x80\xf4\x90\x80\x80")}) {
    EXPECT_EQ(ArgumentBytes(DecodeArgument(bytes.c_str())), bytes);
  }
  EXPECT_EQ(DecodeArgument("caf\xc3\xa9"), QStringLiteral("caf\u00e9"));
}

TEST_F(FilesTest, EveryCommandHasHelp) {
  for (const char* command :
       {"dump", "import", "auto-modify", "render", "export-clips", "export-dataset", "info"}) {
    const ProcessResult result = Run({QLatin1String(command), QStringLiteral("--help")});
    ExpectSuccess(result);
    EXPECT_TRUE(result.out.startsWith(QByteArray("Usage: varsk-units ") + command))
        << result.out.toStdString();
  }
  const ProcessResult overview = Run({QStringLiteral("--help")});
  ExpectSuccess(overview);
  EXPECT_TRUE(overview.out.contains("export-dataset"));
  EXPECT_EQ(Run({}).exitCode, 2);
}

}  // namespace
}  // namespace varsk::cli::test
