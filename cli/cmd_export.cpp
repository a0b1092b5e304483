// varsk-units export-clips -o FILE, varsk-units export-dataset -o FILE
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/unit_records.h"
#include "data/embedded_data_set.h"
#include "graphics/clip_export.h"

namespace varsk::cli {

namespace {

// Parses "<command> -o FILE"; returns FILE ("-" for standard output, when that
// is no terminal), or an empty string after --help.
std::string ParseOutputOnly(const QString& command, const QString& description,
                            const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(description);
  const QCommandLineOption output = OutputOption(
      QStringLiteral("The file to write (- for standard output)."), QStringLiteral("FILE"));
  parser.addOption(output);
  if (!ParseCommandLine(parser, command, args, 0, 0, command + QStringLiteral(" -o FILE"))) {
    return {};
  }
  std::string path = RequiredOutputPath(parser, output, command);
  CheckBinaryOutput(path, ExportText());
  return path;
}

}  // namespace

int RunExportClips(const QStringList& args) {
  return RunCommand([&] {
    const std::string path = ParseOutputOnly(
        QStringLiteral("export-clips"),
        QStringLiteral("Write the clip set export of the embedded data set (every clip with\n"
                       "cols != 0, in the file format of info/ms_anmset.dat) to FILE."),
        args);
    if (path.empty()) {
      return kExitSuccess;
    }
    WriteOutput(path, EncodeClipSet(*LoadRecords(std::string(), DataSetPart::Everything)));
    return kExitSuccess;
  });
}

int RunExportDataset(const QStringList& args) {
  return RunCommand([&] {
    const std::string path = ParseOutputOnly(
        QStringLiteral("export-dataset"),
        QStringLiteral(
            "Write the embedded data set (the resource MS_DATA) to FILE, byte for byte."),
        args);
    if (path.empty()) {
      return kExitSuccess;
    }
    WriteOutput(path, EmbeddedDataSetBytes());
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
