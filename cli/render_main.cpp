// varsk-units-render: the drawing half of varsk-units. `varsk-units render`
// runs this program, so that the other commands start without loading Qt Gui.
#include <QGuiApplication>
#include <QStringList>

#include "base/file_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/program_setup.h"

int main(int argc, char** argv) {
  varsk::PrepareProcessForFiles();
  varsk::cli::InstallQtMessageFilter();
  varsk::cli::PreferOffscreenWithoutDisplay();
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.append(varsk::cli::DecodeArgument(argv[i]));
  }
  // The arguments are ours alone: Qt would take "-platform NAME" among them
  // for its own and abort when NAME is no platform.
  int qtArgc = 1;
  QGuiApplication application(qtArgc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("varsk-units"));
  return varsk::cli::RunRender(arguments);
}
