// varsk-units import ROM EDITS [-o OUT] [--dry-run] [--names DIR]
#include "cli/change_report.h"
#include "cli/cli_common.h"
#include "cli/cli_messages.h"
#include "cli/commands.h"
#include "cli/record_text.h"
#include "cli/rom_output.h"
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
    const QString rom = parser.positionalArguments().at(0);
    const QString editsPath = parser.positionalArguments().at(1);
    const QString outPath = parser.value(output);
    const bool onlyShow = parser.isSet(dryRun);

    // Every check that can fail comes before the first byte is written.
    CheckRomFile(rom, !onlyShow && outPath.isEmpty());
    const QByteArray edits = ReadWholeFile(editsPath);
    std::optional<NameLists> names;
    if (parser.isSet(namesDir)) {
      names = LoadNames(parser.value(namesDir));
    } else {
      try {
        names = LoadNames(QString());
      } catch (const VarskError&) {
        // Without name lists, names in EDITS are not checked (they never reach the ROM).
      }
    }
    const NameLists* namesOrNull = names ? &*names : nullptr;

    const RecordsPtr before = NewRecords();
    RomBuffers buffers;
    LoadRecordTables(rom, *before, &buffers);
    const RecordsPtr after = NewRecords();
    CopyRecordTables(*before, *after);
    ApplyEdits(edits, editsPath, namesOrNull, *after);
    const std::vector<ValueChange> changes = CompareRecords(*before, *after);

    if (onlyShow) {
      PrintChanges(changes, namesOrNull);
      PrintChangeCount(static_cast<qsizetype>(changes.size()), true);
      return kExitSuccess;
    }
    MergeChangedBytes(*before, *after, buffers);
    if (!changes.empty() || !outPath.isEmpty()) {
      StoreRomTables(rom, outPath, buffers);
    }
    PrintChangeCount(static_cast<qsizetype>(changes.size()), false);
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
