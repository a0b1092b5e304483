// varsk-units-render: the drawing half of varsk-units. `varsk-units render`
// runs this program, so that the other commands start without loading Qt Gui.
#include <QGuiApplication>
#include <QStringList>

#include "base/file_io.h"
#include "base/messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/program_setup.h"
#include "qtbridge/qt_start.h"

namespace {

// Drawing one picture holds about 6 descriptors (Qt's platform, fonts, the
// ROM, the new file and its folder).
constexpr int64_t kDescriptorsNeeded = 16;

}  // namespace

int main(int argc, char** argv) {
  varsk::PrepareProcessForFiles();
  varsk::cli::InstallQtMessageFilter();
  varsk::cli::SetCommandName(QStringLiteral("render"));
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
  // The arguments are ours alone: Qt would take "-platform NAME" among them
  // for its own and abort when NAME is no platform.
  int qtArgc = 1;
  varsk::QtStartGuard start("varsk-units", varsk::DrawingCannotStartMessage());
  QGuiApplication application(qtArgc, argv);
  start.End();
  QCoreApplication::setApplicationName(QStringLiteral("varsk-units"));
  return varsk::cli::RunRender(arguments);
}
