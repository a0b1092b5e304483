#include "cli/edit_pipeline.h"

#include <optional>
#include <vector>

#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "data/entry_fields.h"
#include "data/rom_file.h"
#include "patch/record_diff.h"

namespace varsk::cli {

void EditRecords(const RecordEdit& edit, const std::function<void(DataSet&)>& change) {
  RomBuffers tables;
  const DataSetPtr before = LoadRecords(edit.romPath, DataSetPart::Records, &tables);
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
    Fail(DoesNotFitRomMessage(edit.command, value->entryIndex, QLatin1String(value->field->name),
                              value->value, value->field->Minimum(), value->field->Maximum()));
  }
  // Values the ROM does not carry (a ship's weapons) may change without a byte changing.
  if (MergeRecordChanges(*before, *after, tables) > 0 || !edit.outPath.empty()) {
    StoreRecordChanges(edit.romPath, edit.outPath, *before, *after);
  }
  PrintStatusLine(ChangeCountText(count, false));
}

}  // namespace varsk::cli
