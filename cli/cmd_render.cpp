// varsk-units render [ROM] (--entry N | --sheet) -o FILE.png [--scale K] [--names DIR]
#include <QGuiApplication>
#include <QImage>
#include <QPalette>

#include "base/ascii_text.h"
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/unit_records.h"
#include "cliplib/bitmap32.h"
#include "graphics/anim_set.h"
#include "graphics/preview.h"
#include "qtbridge/bitmap_image.h"
#include "qtbridge/preview_sheet.h"

namespace varsk::cli {

namespace {

constexpr int kMaxScale = 32;
// The largest picture drawn: 64 Mi pixels, 256 MiB as 32-bit pixels (a
// preview at the largest scale is 10 Mi pixels; the sheet allows scale 4).
constexpr int64_t kMaxPixels = int64_t{1} << 26;

// The window's default background: the button-face colour of the palette,
// in Bitmap32 order 0x00RRGGBB.
uint32_t ButtonFaceColour() {
  return static_cast<uint32_t>(QGuiApplication::palette().color(QPalette::Button).rgb()) &
         0x00FFFFFFu;
}

QByteArray EncodePng(const QImage& image) {
  QByteArray bytes = PngBytes(image);
  if (bytes.isEmpty()) {
    Fail(PngEncodingFailedMessage());
  }
  return bytes;
}

}  // namespace

int RunRender(const QStringList& args) {
  return RunCommand([&] {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Draw the sprite preview of one entry exactly as the window does (128 x 80 on the\n"
        "window's button-face colour), or the labelled sheet of all 229 previews and the icon\n"
        "strip, into a PNG file."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image (optional)."),
                                 QStringLiteral("[ROM]"));
    const QCommandLineOption entry(QStringList{QStringLiteral("entry")},
                                   QStringLiteral("Draw the preview of entry N (1..229)."),
                                   QStringLiteral("N"));
    const QCommandLineOption sheet(QStringList{QStringLiteral("sheet")},
                                   QStringLiteral("Draw the sheet of all previews."));
    const QCommandLineOption output =
        OutputOption(QStringLiteral("The PNG file to write (- for standard output)."),
                     QStringLiteral("FILE.png"));
    const QCommandLineOption scale(
        QStringList{QStringLiteral("scale")},
        QStringLiteral("Enlarge K times, nearest neighbour (1..32, default 1)."),
        QStringLiteral("K"), QStringLiteral("1"));
    const QCommandLineOption namesDir = NamesOption(
        QStringLiteral("Folder of the name lists for the sheet's labels (default: the working "
                       "directory, else $VARSK_NAMES, else the installed lists; without them "
                       "the labels carry only numbers)."));
    parser.addOptions({entry, sheet, output, scale, namesDir});
    const QString command = QStringLiteral("render");
    if (!ParseCommandLine(
            parser, command, args, 0, 1,
            QStringLiteral(
                "render [ROM] (--entry N | --sheet) -o FILE.png [--scale K] [--names DIR]"))) {
      return kExitSuccess;
    }
    if (parser.isSet(entry) == parser.isSet(sheet)) {
      FailUsage(UsageMessage(command, OptionsExcludeEachOtherMessage(QStringLiteral("entry"),
                                                                     QStringLiteral("sheet"))));
    }
    const std::string outPath = RequiredOutputPath(parser, output, command);
    CheckBinaryOutput(outPath, PictureText());
    const std::string rom = PathArgument(parser, 0);
    const int entryIndex = parser.isSet(entry)
                               ? ParseIntOption(parser, QStringLiteral("entry"), 1, kEntryListCount)
                               : 0;
    const int factor = ParseIntOption(parser, QStringLiteral("scale"), 1, kMaxScale);
    std::vector<std::string> inputs = NameListInputs(parser, namesDir);
    inputs.push_back(rom);
    CheckOutputIsNoInput(command, outPath, inputs);
    // The picture is always PNG: another extension would name a format it is not.
    if (!WritesToStandardOutput(outPath) && !EndsWithAsciiNoCase(outPath, ".png")) {
      FailUsage(UsageMessage(command, PngExtensionText(Quoted(parser.value(output)))));
    }

    const DataSetPtr dataSet = LoadRecords(rom, DataSetPart::Everything);
    const auto table = std::make_unique<AnimSetTable>();
    BuildAnimSetTable(*table);
    const uint32_t background = ButtonFaceColour();

    QImage image;
    if (entryIndex > 0) {
      Bitmap32 preview(kSpritePreviewWidth, kSpritePreviewHeight);
      DrawEntryPreview(*dataSet, *table, entryIndex - 1, background, preview);
      image = ToQImage(preview);
    } else {
      const std::optional<NameLists> names = LoadNameLists(parser, namesDir);
      image = RenderPreviewSheet(*dataSet, *table, names ? &names->e : nullptr, background);
    }
    const int64_t width = int64_t{image.width()} * factor;
    const int64_t height = int64_t{image.height()} * factor;
    if (width * height > kMaxPixels) {
      Fail(RenderTooLargeMessage(width, height, kMaxPixels));
    }
    if (factor > 1) {
      image = image.scaled(image.width() * factor, image.height() * factor, Qt::IgnoreAspectRatio,
                           Qt::FastTransformation);
    }
    WriteOutput(outPath, EncodePng(image));
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
