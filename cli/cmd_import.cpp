// varsk-units import ROM EDITS [-o OUT] [--dry-run] [--backup[=SUFFIX]] [--names DIR]
#include "base/file_io.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/edit_pipeline.h"
#include "edits/edit_file.h"
#include "patch/patch_apply.h"
#include "patch/patch_messages.h"

namespace varsk::cli {

int RunImport(const QStringList& args) {
  return RunCommand([&] {
    const QString command = QStringLiteral("import");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Apply an edit file (a complete or partial dump, or what 'diff --format csv|json'\n"
        "writes) to the records loaded from ROM and write them back: in place like Save ROM,\n"
        "or into OUT. Entries are matched by entryIndex; only the fields present change (an\n"
        "empty CSV cell changes nothing). Every value must fit the ROM; on any error nothing\n"
        "is written."));
    parser.addPositionalArgument(QStringLiteral("ROM"), QStringLiteral("The ROM image."));
    parser.addPositionalArgument(
        QStringLiteral("EDITS"),
        QStringLiteral("The edit file (JSON or CSV; - for standard input)."));
    const RecordEditOptions editOptions = AddRecordEditOptions(parser);
    const QCommandLineOption namesDir = NamesOption(
        QStringLiteral("Folder of the name lists that names in EDITS are checked against, and "
                       "that the dry run prints (default: the working directory, else "
                       "$VARSK_NAMES, else the installed lists)."));
    parser.addOption(namesDir);
    if (!ParseCommandLine(
            parser, command, args, 2, 2,
            QStringLiteral(
                "import ROM EDITS [-o OUT] [--dry-run] [--backup[=SUFFIX]] [--names DIR]"))) {
      return kExitSuccess;
    }
    const std::string editsPath = PathArgument(parser, 1);
    RecordEdit edit = RecordEditOf(parser, editOptions, command);
    // OUT may be ROM itself (then it is written in place), but no other input.
    std::vector<std::string> inputs = NameListInputs(parser, namesDir);
    inputs.push_back(editsPath);
    CheckOutputIsNoInput(command, edit.outPath, inputs);
    // Nor may the backup (ROM + suffix) be one.
    if (!edit.backupPath.empty()) CheckOutputIsNoInput(command, edit.backupPath, inputs);

    // Every check that can fail comes before the first byte is written.
    const std::vector<uint8_t> editBytes = ReadWholeInput(editsPath, FileKind::EditsFile);
    const std::string_view edits(reinterpret_cast<const char*>(editBytes.data()), editBytes.size());
    if (const std::optional<PatchFormat> patch = DetectPatchFormat(editBytes)) {
      Fail(QString::fromStdString(
          PatchIsNoEditFileMessage(ShownInputName(editsPath), PatchFormatName(*patch))));
    }
    // Without name lists, names in EDITS are not checked (they never reach the ROM).
    const std::optional<NameLists> names = LoadNameLists(parser, namesDir, false);
    edit.names = names ? &*names : nullptr;
    EditRecords(edit, [&](DataSet& records) {
      ApplyEdits(edits, ShownInputName(editsPath), EntryNames(edit.names), records);
    });
    return kExitSuccess;
  });
}

}  // namespace varsk::cli
