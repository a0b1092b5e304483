// varsk-units: batch work on the unit records from the shell.
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "base/file_io.h"
#include "base/nearest_name.h"
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/program_setup.h"

namespace {

using varsk::cli::kExitSuccess;
using varsk::cli::kExitUsage;

struct Command {
  const char* name;
  int (*run)(const QStringList& args);  // nullptr: run by varsk-units-render
  const char* summary;
};

constexpr Command kCommands[] = {
    {"dump", varsk::cli::RunDump, "print the 229 records as JSON or CSV"},
    {"import", varsk::cli::RunImport, "apply a JSON or CSV edit file to a ROM"},
    {"auto-modify", varsk::cli::RunAutoModify, "run the editor's Auto modify on a ROM"},
    {"render", nullptr, "draw an entry's sprite preview or the preview sheet"},
    {"plot", [](const QStringList& args) { return varsk::cli::RunPlot(args); },
     "draw a chart of two fields across the catalogue as SVG or PNG"},
    {"export-clips", varsk::cli::RunExportClips, "write the clip set export"},
    {"export-dataset", varsk::cli::RunExportDataset, "write the embedded MS_DATA resource"},
    {"info", varsk::cli::RunInfo, "describe a ROM file or a patch"},
    {"diff", varsk::cli::RunDiff, "compare the records of two ROMs"},
    {"patch", varsk::cli::RunPatch, "make a patch of every byte that differs between two ROMs"},
    {"apply", varsk::cli::RunApply, "apply a patch to a ROM"},
};

QByteArray HelpText() {
  QString text = QStringLiteral(
      "Usage: varsk-units <command> [options] [arguments]\n"
      "\n"
      "Batch work on the unit records of a ROM image, with the editor's codec.\n"
      "\n"
      "Commands:\n");
  for (const Command& command : kCommands) {
    text += QStringLiteral("  %1%2\n")
                .arg(QString::fromLatin1(command.name), -16)
                .arg(QString::fromLatin1(command.summary));
  }
  text += QStringLiteral(
      "\n"
      "Options:\n"
      "  -h, --help      show this help\n"
      "  --version       show the version\n"
      "\n"
      "'varsk-units <command> --help' shows the options of a command.\n"
      "\n"
      "Exit status: 0 success, 1 error, 2 wrong command line.\n");
  return text.toUtf8();
}

// The text asked for on standard output, which like any command's data must
// be written whole (exit status 1 otherwise).
int PrintToStdout(const QByteArray& text) {
  return varsk::cli::RunCommand([&] {
    varsk::cli::WriteOutput(std::string(), text);
    return kExitSuccess;
  });
}

}  // namespace

int main(int argc, char** argv) {
  varsk::PrepareProcessForFiles();
  varsk::cli::InstallQtMessageFilter();
  QStringList arguments;
  for (int i = 1; i < argc; ++i) {
    arguments.append(varsk::cli::DecodeArgument(argv[i]));
  }
  if (arguments.isEmpty()) {
    const QByteArray help = HelpText();
    std::fwrite(help.constData(), 1, static_cast<size_t>(help.size()), stderr);
    return kExitUsage;
  }
  QString name = arguments.takeFirst();
  if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
    return PrintToStdout(HelpText());
  }
  if (name == QLatin1String("--version")) {
    return PrintToStdout(QByteArrayLiteral("varsk-units " VARSK_VERSION "\n"));
  }
  // "help <command>" is "<command> --help".
  if (name == QLatin1String("help")) {
    if (arguments.isEmpty()) {
      return PrintToStdout(HelpText());
    }
    name = arguments.takeFirst();
    arguments = QStringList{QStringLiteral("--help")};
  }
  for (const Command& command : kCommands) {
    if (name != QLatin1String(command.name)) {
      continue;
    }
    varsk::cli::SetCommandName(name);
    // Drawing needs Qt Gui, which the other commands do without: it would
    // more than double their start-up time.
    if (command.run == nullptr) {
      return varsk::cli::RunRenderProgram(name, arguments);
    }
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varsk-units"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARSK_VERSION));
    return command.run(arguments);
  }
  std::vector<std::string_view> names;
  for (const Command& command : kCommands) names.emplace_back(command.name);
  const std::optional<std::string_view> nearest =
      varsk::NearestName(varsk::cli::ArgumentBytes(name), names);
  varsk::cli::PrintError(varsk::cli::UnknownCommandMessage(
      name, nearest ? QString::fromLatin1(nearest->data(), static_cast<qsizetype>(nearest->size()))
                    : QString()));
  return kExitUsage;
}
