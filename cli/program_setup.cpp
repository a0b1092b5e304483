#include "cli/program_setup.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/messages.h"
#include "cli/cli_messages.h"
#include "cli/command_line.h"

namespace varsk::cli {

namespace {

void QtMessages(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    PrintError(message);
  }
  // Qt would abort once this returns: an error is exit status 1.
  if (type == QtFatalMsg) {
    std::_Exit(kExitError);
  }
}

// The running program's file.
std::string ProgramPath() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "./";
  return std::string(path, static_cast<size_t>(length));
}

// The folder of the running program, with a trailing slash.
std::string ProgramFolder() {
  const std::string program = ProgramPath();
  return program.substr(0, program.rfind('/') + 1);
}

}  // namespace

void InstallQtMessageFilter() { qInstallMessageHandler(QtMessages); }

void UseOffscreenPlatform() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

std::string InstalledNameListFolder() {
  const std::string program = ProgramPath();
  const bool drawing = program.substr(program.rfind('/') + 1) == kRenderProgramName;
  const std::filesystem::path folder =
      ProgramFolder() + (drawing ? VARSK_LISTS_FROM_LIBEXECDIR : VARSK_LISTS_FROM_BINDIR);
  return folder.lexically_normal().string();
}

int RunRenderProgram(const QString& command, const QStringList& args) {
  const std::string folder = ProgramFolder();
  std::string program = folder + kRenderProgramName;
  if (::access(program.c_str(), X_OK) != 0) {
    program = folder + "../libexec/varsk/" + kRenderProgramName;
  }
  // The arguments exactly as they were given, file names that are not UTF-8 too.
  std::vector<std::string> arguments{program, command.toStdString()};
  for (const QString& arg : args) {
    arguments.push_back(ArgumentBytes(arg));
  }
  std::vector<char*> argv;
  for (std::string& arg : arguments) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  ::execv(argv[0], argv.data());
  PrintError(RenderProgramMissingMessage(ShownPath(program),
                                         QString::fromStdString(SystemErrorText(errno))));
  return kExitError;
}

}  // namespace varsk::cli
