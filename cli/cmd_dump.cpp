// varsk-units dump [ROM] [--format json|csv] [--filter CONDITIONS] [--fields LIST] [-o FILE]
//                  [--names DIR]
#include "base/messages.h"
#include "cli/argument_bytes.h"
#include "cli/cli_messages.h"
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
        "is given, after Load ROM. JSON by default; CSV with one row per entry.\n"
        "--filter keeps the entries that meet every word and condition, as the catalogue\n"
        "table's filter does: words match the number or a name ('ramp', '012'), conditions\n"
        "compare a column (hp>300 cost<=200 kind=ship w2.ammo<0; = != < <= > >=).\n"
        "--fields keeps entryIndex and the columns named, in the dump's order."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image (optional)."),
                                 QStringLiteral("[ROM]"));
    const QStringList formats{QStringLiteral("json"), QStringLiteral("csv")};
    const QCommandLineOption format = FormatOption(formats);
    const QCommandLineOption output = OutputOption(
        QStringLiteral("Write to FILE instead of standard output (- is standard output)."),
        QStringLiteral("FILE"));
    const QCommandLineOption namesDir = NamesOption();
    const QCommandLineOption filter(QStringList{QStringLiteral("filter")},
                                    QStringLiteral("Only the entries that meet CONDITIONS."),
                                    QStringLiteral("CONDITIONS"));
    const QCommandLineOption fields(
        QStringList{QStringLiteral("fields")},
        QStringLiteral("Only entryIndex and these columns, separated by commas."),
        QStringLiteral("a,b,c"));
    parser.addOptions({format, filter, fields, output, namesDir});
    if (!ParseCommandLine(parser, command, args, 0, 1,
                          QStringLiteral("dump [ROM] [--format json|csv] [--filter CONDITIONS] "
                                         "[--fields a,b,c] [-o FILE] [--names DIR]"))) {
      return kExitSuccess;
    }
    const QString formatName = ChosenFormat(parser, format, command, formats);
    const std::string rom = PathArgument(parser, 0);
    const std::string outPath = OutputPath(parser, output, command);
    DumpChoice choice;
    try {
      if (parser.isSet(filter))
        choice.filter = ParseEntryFilter(ArgumentBytes(parser.value(filter)));
      if (parser.isSet(fields))
        choice.columns = ParseDumpColumns(ArgumentBytes(parser.value(fields)));
    } catch (const VarskError& error) {
      FailUsage(UsageMessage(command, QString::fromUtf8(error.what())));
    }
    std::vector<std::string> inputs = NameListInputs(parser, namesDir);
    inputs.push_back(rom);
    CheckOutputIsNoInput(command, outPath, inputs);

    const DataSetPtr dataSet = LoadRecords(rom, DataSetPart::Records);
    const std::optional<NameLists> names = LoadNameLists(parser, namesDir);
    const EntryNameOf nameOf = EntryNames(names ? &*names : nullptr);
    WriteOutput(outPath, QByteArray::fromStdString(formatName == QLatin1String("csv")
                                                       ? DumpCsv(*dataSet, nameOf, choice)
                                                       : DumpJson(*dataSet, nameOf, choice)));
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
