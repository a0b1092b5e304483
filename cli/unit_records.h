// The records and names the commands of varsk-units work on: the records as
// the editor holds them, the name lists of --names, and changes as diff and
// the dry runs print them.
#pragma once

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/data_set.h"
#include "data/name_list.h"
#include "data/rom_tables.h"
#include "edits/edit_file.h"
#include "patch/record_diff.h"
#include "patch/table_diff.h"
#include "qtbridge/name_text.h"

namespace varsk::cli {

// ---------------------------------------------------------------------------
// Records

// A DataSet on the heap whose memory is touched only where it is written
// (calloc hands out fresh zero pages): a short command that uses the records
// alone pays for none of the graphics tables.
struct FreeDataSet {
  void operator()(DataSet* dataSet) const;
};
using DataSetPtr = std::unique_ptr<DataSet, FreeDataSet>;

// What of the embedded data set a command needs.
enum class DataSetPart { Records, Everything };

// The records as the editor holds them: the embedded data set (only its
// record tables for DataSetPart::Records), and, when `romPath` is not empty,
// after Load ROM. Throws VarskError for a missing, unreadable, too short or
// directory ROM.
DataSetPtr LoadRecords(const std::string& romPath, DataSetPart part);
// A copy of msCount, shipCount and the two record tables of `from`.
DataSetPtr CopyOfRecords(const DataSet& from);

// ---------------------------------------------------------------------------
// Name lists

struct NameLists {
  NameList c;
  NameList e;
  NameList j;
};

// --names DIR, with `description` after the default one.
QCommandLineOption NamesOption(const QString& description = QString());
// The paths of namestringC/E/J.txt that the option names (the working
// directory without it): inputs a command's output must not replace.
std::vector<std::string> NameListInputs(const QCommandLineParser& parser,
                                        const QCommandLineOption& option);
// The lists of --names DIR, which must load (VarskError otherwise). Without the
// option, those of the working directory when they load; else none, after one
// warning on stderr when `warnWhenMissing`.
std::optional<NameLists> LoadNameLists(const QCommandLineParser& parser,
                                       const QCommandLineOption& option,
                                       bool warnWhenMissing = true);

// The name of entry `entryIndex` (1..229) in one language, decoded as the
// window decodes it; empty when the list has no such line.
QString EntryName(const NameLists& names, NameListLanguage language, int entryIndex);
// The English name of weapon id `weaponId` (1..175); empty when the list has none.
QString WeaponName(const NameLists& names, int64_t weaponId);
// EntryName as the core's dump and edit checks take names (none for nullptr).
EntryNameOf EntryNames(const NameLists* names);

// ---------------------------------------------------------------------------
// Changes

// One line per change, "12 <name> hp: 200 -> 250" (values as the dump's CSV
// writes them), the English name when `names` is given. A move type shows its
// name, "moveType: 5 (一般) -> 7 (陸上)", and with `names` a weapon id its
// weapon's, "w0.weaponId: 31 (Machine gun) -> 0 (no weapon)".
QByteArray ChangeLines(std::span<const FieldChange> changes, const NameLists* names);

// diff's text report of two ROM images whose tables `diff` compares: the
// change lines, the count, the table bytes no field shows, and how many bytes
// differ outside the tables.
QByteArray DiffText(const UnitTableDiff& diff, std::span<const uint8_t> a,
                    std::span<const uint8_t> b, const NameLists* names);

}  // namespace varsk::cli
