// varsk-units diff A B [--format text|csv|json] [--names DIR]
#include <string>

#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/unit_records.h"
#include "data/rom_file.h"
#include "edits/edit_file.h"
#include "patch/patch_messages.h"
#include "patch/record_diff.h"
#include "patch/table_diff.h"

namespace varsk::cli {

namespace {

// diff(1)'s exit statuses.
constexpr int kDiffSame = 0;
constexpr int kDiffDifferent = 1;
constexpr int kDiffTrouble = 2;

int Diff(const QStringList& args) {
  const QString command = QStringLiteral("diff");
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Compare the unit tables of two ROMs, each loaded as 'dump ROM' loads it, field by\n"
      "field: one line per changed field, 'entryIndex name field: old -> new', in entry\n"
      "order, then a count, then whether the files differ anywhere else (and in how many\n"
      "bytes). A weapon id shows its weapon's name, a move type its name. With --format\n"
      "csv or json, the new values as an edit file that 'import' applies to another ROM.\n"
      "Exit status 0: the tables are the same, 1: they differ, 2: trouble."));
  parser.addPositionalArgument(QStringLiteral("A"), QStringLiteral("The ROM before."));
  parser.addPositionalArgument(QStringLiteral("B"), QStringLiteral("The ROM after."));
  const QStringList formats{QStringLiteral("text"), QStringLiteral("csv"), QStringLiteral("json")};
  const QCommandLineOption format = FormatOption(formats);
  const QCommandLineOption namesDir = NamesOption();
  parser.addOptions({format, namesDir});
  if (!ParseCommandLine(parser, command, args, 2, 2)) {
    return kDiffSame;
  }
  const QString formatName = ChosenFormat(parser, format, command, formats);
  const std::string pathA = PathArgument(parser, 0);
  const std::string pathB = PathArgument(parser, 1);

  // As dump ROM loads them: DiffUnitTables unpacks each ROM's tables over
  // copies of the data set's records.
  const DataSetPtr records = LoadRecords(std::string(), DataSetPart::Records);
  const RomImage romA = ReadRomImage(pathA);
  const RomImage romB = ReadRomImage(pathB);
  const UnitTableDiff diff = DiffUnitTables(*records, romA.tables, romB.tables);
  const int status =
      diff.changes.empty() && diff.unseenTableBytes == 0 ? kDiffSame : kDiffDifferent;

  if (formatName != QLatin1String("text")) {
    // An edit file carries values: bytes that no value shows cannot be replayed.
    if (diff.unseenTableBytes > 0) {
      PrintWarning(
          NotInEditsMessage(QString::fromStdString(DiffUnseenLine(diff.unseenTableBytes))));
    }
    WriteOutput(std::string(), QByteArray::fromStdString(formatName == QLatin1String("csv")
                                                             ? EditsCsv(diff.changes)
                                                             : EditsJson(diff.changes)));
    return status;
  }
  // Names only matter when there is something to name; --names must load.
  const std::optional<NameLists> names =
      diff.changes.empty() ? std::nullopt : LoadNameLists(parser, namesDir);
  WriteOutput(std::string(), DiffText(diff, romA.bytes, romB.bytes, names ? &*names : nullptr));
  return status;
}

}  // namespace

int RunDiff(const QStringList& args) {
  // Any trouble is status 2 here, as in diff(1); 1 means "the tables differ".
  return RunCommand([&] { return Diff(args); }, kDiffTrouble, kDiffTrouble);
}

}  // namespace varsk::cli
