// varsk-units dump [ROM] [--format json|csv] [-o FILE] [--names DIR]
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/unit_records.h"
#include "edits/edit_file.h"

namespace varsk::cli {

int RunDump(const QStringList& args) {
  return RunCommand([&] {
    const QString command = QStringLiteral("dump");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Print the 229 records as the editor holds them: the embedded data set, and, when ROM\n"
        "is given, after Load ROM. JSON by default; CSV with one row per entry."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image (optional)."),
                                 QStringLiteral("[ROM]"));
    const QStringList formats{QStringLiteral("json"), QStringLiteral("csv")};
    const QCommandLineOption format = FormatOption(formats);
    const QCommandLineOption output = OutputOption(
        QStringLiteral("Write to FILE instead of standard output (- is standard output)."),
        QStringLiteral("FILE"));
    const QCommandLineOption namesDir = NamesOption();
    parser.addOptions({format, output, namesDir});
    if (!ParseCommandLine(parser, command, args, 0, 1)) {
      return kExitSuccess;
    }
    const QString formatName = ChosenFormat(parser, format, command, formats);
    const std::string rom = PathArgument(parser, 0);
    const std::string outPath = OutputPath(parser, output, command);
    std::vector<std::string> inputs = NameListInputs(parser, namesDir);
    inputs.push_back(rom);
    CheckOutputIsNoInput(command, outPath, inputs);

    const DataSetPtr dataSet = LoadRecords(rom, DataSetPart::Records);
    const std::optional<NameLists> names = LoadNameLists(parser, namesDir);
    const EntryNameOf nameOf = EntryNames(names ? &*names : nullptr);
    WriteOutput(outPath, QByteArray::fromStdString(formatName == QLatin1String("csv")
                                                       ? DumpCsv(*dataSet, nameOf)
                                                       : DumpJson(*dataSet, nameOf)));
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
