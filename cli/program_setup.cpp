#include "cli/program_setup.h"

#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <vector>

#include "cli/cli_common.h"
#include "cli/cli_messages.h"
#include "data/messages.h"

namespace varsk::cli {

namespace {

void QtMessages(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    PrintError(message);
  }
}

// The folder of the running program.
QString ProgramFolder() {
  return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

}  // namespace

void InstallQtMessageFilter() { qInstallMessageHandler(QtMessages); }

void PreferOffscreenWithoutDisplay() {
  if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
    return;
  }
  if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
}

int RunRenderProgram(const QStringList& args) {
  const QDir folder(ProgramFolder());
  const QString name = QString::fromLatin1(kRenderProgramName);
  QString program = folder.filePath(name);
  if (!QFileInfo(program).isExecutable()) {
    program = QDir::cleanPath(folder.filePath(QStringLiteral("../libexec/varsk/")) +
                              QLatin1Char('/') + name);
  }
  std::vector<QByteArray> arguments{QFile::encodeName(program)};
  for (const QString& arg : args) {
    arguments.push_back(arg.toLocal8Bit());
  }
  std::vector<char*> argv;
  for (QByteArray& arg : arguments) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  PrintError(RenderProgramMissingMessage(program, QString::fromStdString(SystemErrorText(errno))));
  return kExitError;
}

}  // namespace varsk::cli
