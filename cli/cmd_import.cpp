// varsk-units import ROM EDITS [-o OUT] [--dry-run] [--names DIR]
#include "cli/change_report.h"
#include "cli/cli_common.h"
#include "cli/cli_messages.h"
#include "cli/commands.h"
#include "cli/record_text.h"
#include "cli/rom_output.h"
#include "data/file_io.h"
#include "data/messages.h"

namespace varsk::cli {

int RunImport(const QStringList& args) {
  return RunCommand([&] {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Apply an edit file (a complete or partial dump, JSON or CSV) to the records loaded\n"
        "from ROM and write them back: in place like Save ROM, or into OUT. Entries are\n"
        "matched by entryIndex; only the fields present change (an empty CSV cell changes\n"
        "nothing). Every value must fit the ROM; on any error nothing is written."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image."));
    parser.addPositionalArgument(QStringLiteral("EDITS"),
                                 QStringLiteral("The edit file (JSON or CSV)."));
    const QCommandLineOption output(
        QStringList{QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write a copy of ROM with the new tables to OUT; ROM stays as it is."),
        QStringLiteral("OUT"));
    const QCommandLineOption dryRun(
        QStringList{QStringLiteral("dry-run")},
        QStringLiteral("Print the changes (entry, name, field, old -> new); write nothing."));
    const QCommandLineOption namesDir(
        QStringList{QStringLiteral("names")},
        QStringLiteral("Folder of the name lists that names in EDITS are checked against, and\n"
                       "that the dry run prints (default: the working directory)."),
        QStringLiteral("DIR"));
    parser.addOptions({output, dryRun, namesDir});
    if (!ParseCommandLine(parser, QStringLiteral("import"), args, 2, 2)) {
      return kExitSuccess;
    }
    const QString command = QStringLiteral("import");
    const std::string rom = ArgumentBytes(parser.positionalArguments().at(0));
    const std::string editsPath = ArgumentBytes(parser.positionalArguments().at(1));
    const std::string outPath = OutputPath(parser, output, command);
    const std::string namesFolder = ArgumentBytes(parser.value(namesDir));
    const bool onlyShow = parser.isSet(dryRun);
    // OUT may be ROM itself (replaced whole by its edited copy), but no other input.
    std::vector<std::string> inputs = NameListPaths(namesFolder);
    inputs.push_back(editsPath);
    CheckOutputIsNoInput(command, outPath, inputs);

    // Every check that can fail comes before the first byte is written.
    const std::vector<uint8_t> editBytes = ReadWholeFile(editsPath, FileKind::EditsFile);
    const QByteArray edits(reinterpret_cast<const char*>(editBytes.data()),
                           static_cast<qsizetype>(editBytes.size()));
    std::optional<NameLists> names;
    if (parser.isSet(namesDir)) {
      names = LoadNames(namesFolder);
    } else {
      try {
        names = LoadNames(std::string());
      } catch (const VarskError&) {
        // Without name lists, names in EDITS are not checked (they never reach the ROM).
      }
    }
    const NameLists* namesOrNull = names ? &*names : nullptr;

    const RecordsPtr before = NewRecords();
    LoadRecordTables(rom, *before);
    const RecordsPtr after = NewRecords();
    CopyRecordTables(*before, *after);
    ApplyEdits(edits, QString::fromStdString(ShownText(editsPath)), namesOrNull, *after);
    const std::vector<ValueChange> changes = CompareRecords(*before, *after);
    const auto count = static_cast<qsizetype>(changes.size());

    if (onlyShow) {
      WriteOutput(std::string(), DryRunReport(changes, namesOrNull, count));
      return kExitSuccess;
    }
    if (!changes.empty() || !outPath.empty()) {
      StoreRomTables(rom, outPath, *before, *after);
    }
    PrintStatusLine(ChangeCountText(count, false));
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
