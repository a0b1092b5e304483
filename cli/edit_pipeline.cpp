#include "cli/edit_pipeline.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/file_io.h"
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "data/entry_fields.h"
#include "data/rom_file.h"
#include "patch/record_diff.h"

namespace varsk::cli {

RecordEditOptions AddRecordEditOptions(QCommandLineParser& parser) {
  RecordEditOptions options{
      OutputOption(QStringLiteral("Write a copy of ROM with the new tables to OUT (- for standard\n"
                                  "output); ROM stays as it is."),
                   QStringLiteral("OUT")),
      QCommandLineOption(QStringList{QStringLiteral("dry-run")},
                         QStringLiteral("Print the changes as diff does; write nothing.")),
      BackupOption()};
  parser.addOptions({options.output, options.dryRun, options.backup});
  return options;
}

RecordEdit RecordEditOf(const QCommandLineParser& parser, const RecordEditOptions& options,
                        const QString& command) {
  // OUT may be ROM itself: it is then written in place.
  RecordEdit edit{command, PathArgument(parser, 0), OutputPath(parser, options.output, command),
                  parser.isSet(options.dryRun)};
  if (!edit.dryRun && IsStandardStream(edit.outPath)) {
    CheckBinaryOutput(edit.outPath, RomImageText());
  }
  const std::string rom[] = {edit.romPath};
  const bool inPlace = edit.outPath.empty() || FindSameFile(edit.outPath, rom).has_value();
  edit.backupPath = BackupPath(parser, options.backup, command, edit.romPath, inPlace);
  return edit;
}

void EditRecords(const RecordEdit& edit, const std::function<void(DataSet&)>& change) {
  const DataSetPtr before = LoadRecords(edit.romPath, DataSetPart::Records);
  const DataSetPtr after = CopyOfRecords(*before);
  change(*after);
  const std::vector<FieldChange> changes = DiffRecords(*before, *after);
  const auto count = static_cast<qsizetype>(changes.size());

  if (edit.dryRun) {
    WriteOutput(std::string(), ChangeLines(changes, edit.names) +
                                   (ChangeCountText(count, true) + QLatin1Char('\n')).toUtf8());
    return;
  }
  // Save ROM would store such a value as its low bits: a different number.
  if (const std::optional<ValueNotHeld> value = FindValueNotHeld(*after)) {
    Fail(DoesNotFitRomMessage(value->entryIndex, QLatin1String(value->field->name), value->value,
                              value->field->Minimum(), value->field->Maximum()));
  }
  // The copy on standard output is the ROM whatever changed, and says no more.
  if (IsStandardStream(edit.outPath)) {
    WriteOutput(edit.outPath, RomWithRecordChanges(edit.romPath, *before, *after));
    return;
  }
  // Values the ROM does not carry (a ship's weapons) may change without a
  // byte changing: the ROM itself is then left as it is. A stored value that
  // changes (and fits, as checked above) always changes its bits.
  const bool romChanges = std::any_of(changes.begin(), changes.end(),
                                      [](const FieldChange& c) { return c.field->StoredInRom(); });
  if (romChanges || !edit.outPath.empty()) {
    StoreRecordChanges(edit.romPath, edit.outPath, *before, *after, edit.backupPath);
  }
  PrintStatusLine(ChangeCountText(count, false));
}

}  // namespace varsk::cli
