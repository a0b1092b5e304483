// varsk-units dump [ROM] [--format json|csv] [-o FILE] [--names DIR]
#include "cli/cli_common.h"
#include "cli/cli_messages.h"
#include "cli/commands.h"
#include "cli/record_text.h"

namespace varsk::cli {

int RunDump(const QStringList& args) {
  return RunCommand([&] {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Print the 229 records as the editor holds them: the embedded data set, and, when ROM\n"
        "is given, after Load ROM. JSON by default; CSV with one row per entry."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image (optional)."),
                                 QStringLiteral("[ROM]"));
    const QCommandLineOption format(QStringList{QStringLiteral("format")},
                                    QStringLiteral("Output format: json (default) or csv."),
                                    QStringLiteral("json|csv"), QStringLiteral("json"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write to FILE instead of standard output."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption namesDir(
        QStringList{QStringLiteral("names")},
        QStringLiteral("Folder of namestringC/E/J.txt (default: the working directory)."),
        QStringLiteral("DIR"));
    parser.addOptions({format, output, namesDir});
    if (!ParseCommandLine(parser, QStringLiteral("dump"), args, 0, 1)) {
      return kExitSuccess;
    }
    const QString formatName = parser.value(format).toLower();
    if (formatName != QLatin1String("json") && formatName != QLatin1String("csv")) {
      FailUsage(UsageMessage(QStringLiteral("dump"), BadFormatText(parser.value(format))));
    }
    const QString command = QStringLiteral("dump");
    const std::string rom = ArgumentBytes(parser.positionalArguments().value(0));
    const std::string outPath = OutputPath(parser, output, command);
    const std::string namesFolder = ArgumentBytes(parser.value(namesDir));
    std::vector<std::string> inputs = NameListPaths(namesFolder);
    inputs.push_back(rom);
    CheckOutputIsNoInput(command, outPath, inputs);

    const RecordsPtr dataSet = NewRecords();
    LoadRecordTables(rom, *dataSet);
    // Names given by --names must load; the default folder may lack them.
    std::optional<NameLists> names = parser.isSet(namesDir)
                                         ? std::optional<NameLists>(LoadNames(namesFolder))
                                         : TryLoadNames(std::string());
    const NameLists* namesOrNull = names ? &*names : nullptr;
    const QByteArray text = formatName == QLatin1String("csv") ? DumpCsv(*dataSet, namesOrNull)
                                                               : DumpJson(*dataSet, namesOrNull);
    WriteOutput(outPath, text);
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
