// varsk-units plot [ROM] [--x FIELD] [--y FIELD] [--filter TEXT] [--names DIR]
//                  [--width N] [--height N] -o FILE.svg|FILE.png|- [--format svg|png]
#include "base/file_io.h"
#include "base/messages.h"
#include "chart/chart_layout.h"
#include "chart/svg_chart.h"
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/program_setup.h"
#include "cli/unit_records.h"

namespace varsk::cli {

namespace {

constexpr int kMaxSide = 4000;
constexpr int kMinWidth = 240;
constexpr int kMinHeight = 180;

enum class PictureFormat { Svg, Png };

// The format: the file name's extension, or --format where the name has
// none to give (standard output, "-": SVG unless --format says png).
PictureFormat FormatOfOutput(const QCommandLineParser& parser, const QCommandLineOption& option,
                             const std::string& path) {
  const QString command = QStringLiteral("plot");
  std::optional<PictureFormat> chosen;
  if (parser.isSet(option)) {
    chosen = ChosenFormat(parser, option, command,
                          {QStringLiteral("svg"), QStringLiteral("png")}) == QLatin1String("svg")
                 ? PictureFormat::Svg
                 : PictureFormat::Png;
  }
  if (IsStandardStream(path)) return chosen.value_or(PictureFormat::Svg);
  const QString name = QString::fromStdString(path).toLower();
  std::optional<PictureFormat> named;
  if (name.endsWith(QLatin1String(".svg"))) named = PictureFormat::Svg;
  if (name.endsWith(QLatin1String(".png"))) named = PictureFormat::Png;
  const std::string shown = ShownPath(path).toStdString();
  if (!named) FailUsage(UsageMessage(command, QString::fromStdString(ChartFileTypeMessage(shown))));
  if (chosen && *chosen != *named) {
    FailUsage(UsageMessage(command, QString::fromStdString(ChartFormatMismatchMessage(
                                        shown, *chosen == PictureFormat::Svg ? "svg" : "png"))));
  }
  return *named;
}

// What the core refuses in the command line's own values (a field, the
// filter) is a usage error.
template <typename Read>
auto ReadOrFailUsage(Read read) {
  try {
    return read();
  } catch (const VarskError& error) {
    FailUsage(UsageMessage(QStringLiteral("plot"), QString::fromUtf8(error.what())));
  }
}

std::string ChartField(const QCommandLineParser& parser, const QString& option) {
  return ReadOrFailUsage([&] {
    std::string field = parser.value(option).toStdString();
    CheckChartField(field);
    return field;
  });
}

// The help's list of the fields an axis takes, wrapped; bash completion reads it.
QString FieldsHelp() {
  QString text = QStringLiteral("\n\nFields for -x and -y (--x, --y):\n ");
  int column = 1;
  for (const std::string_view field : ChartFieldNames()) {
    if (column + 1 + static_cast<int>(field.size()) > 80) {
      text += QStringLiteral("\n ");
      column = 1;
    }
    text +=
        QLatin1Char(' ') + QString::fromLatin1(field.data(), static_cast<qsizetype>(field.size()));
    column += 1 + static_cast<int>(field.size());
  }
  return text;
}

}  // namespace

int RunPlot(const QStringList& args, ChartPngDrawer drawPng) {
  return RunCommand([&] {
    const QString command = QStringLiteral("plot");
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral(
            "Draw a scatter chart of two fields across the catalogue, one point per entry that\n"
            "meets the filter and holds both fields (MS entries blue circles, ships orange\n"
            "triangles), as the catalogue table's chart draws it. The file's name chooses the\n"
            "format: FILE.svg (each point a circle or triangle with the entry's number, name and\n"
            "values as its title) or FILE.png; -o - writes SVG (or, with --format png, PNG) to\n"
            "standard output.") +
        FieldsHelp());
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image (optional)."),
                                 QStringLiteral("[ROM]"));
    const QCommandLineOption xField(QStringList{QStringLiteral("x")},
                                    QStringLiteral("The field along the x axis (default cost)."),
                                    QStringLiteral("FIELD"), QString::fromLatin1(kDefaultChartX));
    const QCommandLineOption yField(QStringList{QStringLiteral("y")},
                                    QStringLiteral("The field along the y axis (default hp)."),
                                    QStringLiteral("FIELD"), QString::fromLatin1(kDefaultChartY));
    const QCommandLineOption filter(
        QStringList{QStringLiteral("filter")},
        QStringLiteral("Only the entries that meet TEXT, the catalogue table's filter: words "
                       "of a name or number and conditions such as 'kind=ms hp>100'."),
        QStringLiteral("TEXT"));
    const QCommandLineOption width(QStringList{QStringLiteral("width")},
                                   QStringLiteral("The picture's width in pixels (240..4000, "
                                                  "default 800)."),
                                   QStringLiteral("N"), QStringLiteral("800"));
    const QCommandLineOption height(QStringList{QStringLiteral("height")},
                                    QStringLiteral("The picture's height in pixels (180..4000, "
                                                   "default 600)."),
                                    QStringLiteral("N"), QStringLiteral("600"));
    const QCommandLineOption output =
        OutputOption(QStringLiteral("The picture to write: a name ending in .svg or .png, or - for "
                                    "standard output."),
                     QStringLiteral("FILE"));
    const QCommandLineOption format(
        QStringList{QStringLiteral("format")},
        QStringLiteral("svg or png, for -o - (default svg); a file's name gives its own."),
        QStringLiteral("svg|png"));
    const QCommandLineOption namesDir =
        NamesOption(QStringLiteral("Names match the filter's words and title the SVG's points."));
    parser.addOptions({xField, yField, filter, namesDir, width, height, output, format});
    if (!ParseCommandLine(parser, command, args, 0, 1)) {
      return kExitSuccess;
    }
    const std::string outPath = RequiredOutputPath(parser, output, command);
    const PictureFormat pictureFormat = FormatOfOutput(parser, format, outPath);
    if (pictureFormat == PictureFormat::Png) CheckBinaryOutput(outPath, PictureText());
    // Qt Gui draws the PNG, in the drawing program, which reads the command line anew.
    if (pictureFormat == PictureFormat::Png && drawPng == nullptr) {
      return RunRenderProgram(command, args);
    }
    ChartRequest request;
    request.xField = ChartField(parser, QStringLiteral("x"));
    request.yField = ChartField(parser, QStringLiteral("y"));
    request.width = ParseIntOption(parser, QStringLiteral("width"), kMinWidth, kMaxSide);
    request.height = ParseIntOption(parser, QStringLiteral("height"), kMinHeight, kMaxSide);
    request.filterText = parser.value(filter).toStdString();
    request.filter = ReadOrFailUsage([&] { return ParseEntryFilter(request.filterText); });
    const std::string rom = PathArgument(parser, 0);
    std::vector<std::string> inputs = NameListInputs(parser, namesDir);
    inputs.push_back(rom);
    CheckOutputIsNoInput(command, outPath, inputs);

    const DataSetPtr dataSet = LoadRecords(rom, DataSetPart::Records);
    const std::optional<NameLists> names = LoadNameLists(parser, namesDir);
    request.names = EntryNames(names ? &*names : nullptr);
    const ChartLayout layout = LayOutChart(*dataSet, request);
    if (!layout.problem.empty()) Fail(QString::fromStdString(layout.problem));
    const QByteArray picture = pictureFormat == PictureFormat::Svg
                                   ? QByteArray::fromStdString(ChartSvg(layout, request.names))
                                   : drawPng(layout);
    if (picture.isEmpty()) Fail(PngEncodingFailedMessage());
    WriteOutput(outPath, picture);
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
