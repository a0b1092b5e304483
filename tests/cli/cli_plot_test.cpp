// plot: the chart as SVG (written by varsk-units itself) and as PNG (by the
// drawing program), and every way a plot can be refused. The SVG's points
// are checked by an independent reader in plot_svg_test.py.
#include <QDir>
#include <QFile>
#include <QImage>

#include "cli/cli_test_support.h"

namespace varsk::cli::test {
namespace {

using PlotTest = CliTest;

TEST_F(PlotTest, WritesSvgAndPngOfTheChosenSize) {
  const QString svg = Path(QStringLiteral("chart.svg"));
  const QString png = Path(QStringLiteral("chart.PNG"));
  ExpectSuccess(Run({QStringLiteral("plot"), rom_, QStringLiteral("--x"), QStringLiteral("move"),
                     QStringLiteral("--y"), QStringLiteral("w2.ammo"), QStringLiteral("-o"), svg}));
  const QByteArray text = ReadFile(svg);
  EXPECT_TRUE(text.startsWith("<?xml")) << text.left(80).toStdString();
  EXPECT_TRUE(text.contains(">w2.ammo against move</text>"));
  ExpectSuccess(Run({QStringLiteral("plot"), rom_, QStringLiteral("--width"), QStringLiteral("640"),
                     QStringLiteral("--height"), QStringLiteral("400"), QStringLiteral("--filter"),
                     QStringLiteral("kind=ship"), QStringLiteral("-o"), png}));
  const QImage image(png, "PNG");
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), QSize(640, 400));
  // Ships only: orange triangles, no blue circle.
  int orange = 0, blue = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      orange += c.red() > 180 && c.green() < 140 && c.blue() < 90;
      blue += c.blue() > 140 && c.red() < 90;
    }
  }
  EXPECT_GT(orange, 38 * 10);
  EXPECT_LT(blue, 30);  // the legend has no MS marker either
}

TEST_F(PlotTest, RefusesBadInputWritingNothing) {
  QDir(dir_.path()).mkdir(QStringLiteral("folder"));
  const QString out = Path(QStringLiteral("out.svg"));
  struct Case {
    QStringList args;  // after "plot ROM"
    int exitCode;
    const char* fragment;
  };
  const Case cases[] = {
      {{"--x", "hpp", "-o", out}, 2, "plot: 'hpp' is no field of the dump"},
      {{"--y", "nameE", "-o", out}, 2, "'nameE' does not hold a number"},
      {{"--filter", "hp>abc", "-o", out}, 2, "plot: 'hp>abc': 'abc' is not a number"},
      {{"-o", Path(QStringLiteral("chart.jpg"))}, 2, "give the file a name ending in .svg or .png"},
      {{}, 2, "--output is required"},
      {{"--width", "100", "-o", out}, 2, "240 to 4000"},
      {{"-o", Path(QStringLiteral("namestringE.svg")), "--names",
        Path(QStringLiteral("names.svg"))},
       1,
       "Cannot open file"},
      {{"--filter", "hp>99999", "-o", out}, 1, "No entry meets the filter 'hp>99999'"},
      {{"--x", "defense", "--filter", "kind=ms", "-o", out}, 1, "only ships have it"},
      {{"--x", "ace", "--y", "defense", "-o", out}, 1, "No entry has both 'ace' and 'defense'"},
      {{"-o", Path(QStringLiteral("folder"))}, 2, "give the file a name ending"},
      {{"-o", Path(QStringLiteral("folder.svg"))}, 1, "Cannot create file"},
      {{"-o", Path(QStringLiteral("folder.png"))}, 1, "Cannot create file"},
  };
  QDir(dir_.path()).mkdir(QStringLiteral("folder.svg"));
  QDir(dir_.path()).mkdir(QStringLiteral("folder.png"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
    ExpectFailure(Run(QStringList{QStringLiteral("plot"), rom_} + c.args), c.exitCode,
                  QString::fromLatin1(c.fragment));
    EXPECT_FALSE(QFile::exists(out));
  }
  // A picture never replaces an input, whatever its name.
  const QString svgRom = Path(QStringLiteral("rom.svg"));
  WriteFile(svgRom, romBytes_);
  ExpectFailure(Run({QStringLiteral("plot"), svgRom, QStringLiteral("-o"), svgRom}), 2,
                QStringLiteral("is the input file"));
  EXPECT_TRUE(ReadFile(svgRom) == romBytes_);
  EXPECT_TRUE(ReadFile(rom_) == romBytes_);
  // The ROM, its copy and the name lists.
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 5);
}

}  // namespace
}  // namespace varsk::cli::test
