// The one road of import and auto-modify: load the records of a ROM, change a
// copy, then print the changes (a dry run) or write them back.
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <functional>
#include <string>

#include "cli/unit_records.h"
#include "data/data_set.h"

namespace varsk::cli {

struct RecordEdit {
  QString command;  // names the command in messages
  std::string romPath;
  std::string outPath;  // empty: in place, like Save ROM; "-": standard output
  bool dryRun = false;
  std::string backupPath;  // in place: where the ROM as it was is kept first ("" for none)
  const NameLists* names = nullptr;  // for the dry run's change lines
};

// -o OUT, --dry-run and --backup[=SUFFIX], added to `parser`.
struct RecordEditOptions {
  QCommandLineOption output;
  QCommandLineOption dryRun;
  QCommandLineOption backup;
};
RecordEditOptions AddRecordEditOptions(QCommandLineParser& parser);
// The edit that the parsed command line asks for: ROM the first positional
// argument, OUT (a usage error when empty), the dry run, the backup (a usage
// error unless ROM is written in place); no names yet.
RecordEdit RecordEditOf(const QCommandLineParser& parser, const RecordEditOptions& options,
                        const QString& command);

// Loads the records of `romPath` as Load ROM does and lets `change` edit a
// copy. A dry run prints the changes (ChangeLines) and their count and writes
// nothing. Otherwise a value that the ROM cannot hold is an error; the changed
// values are written (StoreRecordChanges: in place, or into a copy), and the
// count is printed. Throws VarskError; on any error no file has changed.
void EditRecords(const RecordEdit& edit, const std::function<void(DataSet&)>& change);

}  // namespace varsk::cli
