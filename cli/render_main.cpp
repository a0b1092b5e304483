// varsk-units-render: the drawing half of varsk-units. `varsk-units render`
// and `varsk-units plot -o FILE.png` run this program, so that the other
// commands start without loading Qt Gui. Its first argument names the
// command; the rest are that command's.
#include <QGuiApplication>
#include <QStringList>

#include "base/file_io.h"
#include "base/messages.h"
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/program_setup.h"
#include "qtbridge/chart_painter.h"
#include "qtbridge/qt_start.h"

namespace {

// Drawing one picture holds about 6 descriptors (Qt's platform, fonts, the
// ROM, the new file and its folder).
constexpr int64_t kDescriptorsNeeded = 16;

}  // namespace

int main(int argc, char** argv) {
  varsk::PrepareProcessForFiles();
  varsk::cli::InstallQtMessageFilter();
  // Messages name the command this program was run for (render or plot).
  varsk::cli::SetCommandName(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("render"));
  if (const int64_t free = varsk::FreeDescriptorCount(); free < kDescriptorsNeeded) {
    varsk::cli::PrintError(
        QString::fromStdString(varsk::TooFewDescriptorsMessage(free, kDescriptorsNeeded)));
    return varsk::cli::kExitError;
  }
  varsk::cli::UseOffscreenPlatform();
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.append(varsk::cli::DecodeArgument(argv[i]));
  }
  const QString command = arguments.isEmpty() ? QString() : arguments.takeFirst();
  // The arguments are ours alone: Qt would take "-platform NAME" among them
  // for its own and abort when NAME is no platform.
  int qtArgc = 1;
  varsk::QtStartGuard start("varsk-units", varsk::DrawingCannotStartMessage());
  QGuiApplication application(qtArgc, argv);
  start.End();
  QCoreApplication::setApplicationName(QStringLiteral("varsk-units"));
  if (command == QLatin1String("plot")) return varsk::cli::RunPlot(arguments, varsk::ChartPng);
  if (command == QLatin1String("render")) return varsk::cli::RunRender(arguments);
  varsk::cli::PrintError(varsk::cli::UnknownCommandMessage(command, QString()));
  return varsk::cli::kExitUsage;
}
