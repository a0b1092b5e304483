// What the commands of varsk-units share: error reporting and exit codes,
// command-line parsing, loading the records as the editor holds them, the
// name lists, the editable fields of an entry, CSV text, argument bytes, the
// output checks and standard output.
#pragma once

#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/data_set.h"
#include "data/name_list.h"
#include "data/rom_tables.h"
#include "qtbridge/name_text.h"

namespace varsk::cli {

// ---------------------------------------------------------------------------
// Errors and exit codes

constexpr int kExitSuccess = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// A wrong command line (unknown option, missing argument): exit status 2.
// Errors of the work itself are varsk::VarskError (data/messages.h): status 1.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Throws VarskError with `message` (exit status 1).
[[noreturn]] void Fail(const QString& message);
// Throws UsageError with `message` (exit status 2).
[[noreturn]] void FailUsage(const QString& message);

// Writes "varsk-units: <message>" as one line to stderr.
void PrintError(const QString& message);
// Writes "varsk-units: warning: <message>" as one line to stderr.
void PrintWarning(const QString& message);

// Runs a command body and turns its exceptions into the exit status: the
// body's return value, 1 after VarskError (or any other failure), 2 after
// UsageError; the message goes to stderr through PrintError.
int RunCommand(const std::function<int()>& body);

// ---------------------------------------------------------------------------
// Command line

// Sets up `parser` for `varsk-units <command>` with the --help option, parses
// `args` (the arguments after the command name) and checks the number of
// positional arguments. Returns false after printing the help text to stdout
// (the command then exits 0); throws UsageError for anything malformed.
bool ParseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int minPositional, int maxPositional);

// An option's value as a whole number within [minimum, maximum]; throws UsageError.
int ParseIntOption(const QCommandLineParser& parser, const QString& option, int minimum,
                   int maximum);

// ---------------------------------------------------------------------------
// Records

// Fills `dataSet` with the records as the editor holds them: the embedded data
// set, and, when `romPath` is not empty, after Load ROM (ReadRomTables then
// UnpackRomTables). The ROM's table bytes are kept in `romBuffers` when given.
// Throws VarskError for a missing, unreadable, too short or directory ROM.
void LoadRecords(const std::string& romPath, DataSet& dataSet, RomBuffers* romBuffers = nullptr);

// A zeroed DataSet on the heap (it is several megabytes).
std::unique_ptr<DataSet> NewDataSet();

// A zeroed DataSet whose memory is touched only where it is written (calloc
// hands out fresh zero pages), for commands that use the records alone.
struct FreeDataSet {
  void operator()(DataSet* dataSet) const;
};
using RecordsPtr = std::unique_ptr<DataSet, FreeDataSet>;
RecordsPtr NewRecords();

// LoadRecords for commands that need only the MS and ship records: the data
// set's graphics tables are not read and stay zero, which saves most of the
// start-up work of a short command.
void LoadRecordTables(const std::string& romPath, DataSet& dataSet,
                      RomBuffers* romBuffers = nullptr);
// Copies msCount, shipCount and the two record tables.
void CopyRecordTables(const DataSet& from, DataSet& to);

// ---------------------------------------------------------------------------
// Name lists

struct NameLists {
  NameList c;
  NameList e;
  NameList j;
};

// The paths of namestringC/E/J.txt in `dir` (empty = the working directory).
std::vector<std::string> NameListPaths(const std::string& dir);
// Loads namestringC/E/J.txt from `dir` (empty = the working directory).
// Throws VarskError when a file is missing or unreadable.
NameLists LoadNames(const std::string& dir);
// LoadNames, or nothing after printing one warning line to stderr.
std::optional<NameLists> TryLoadNames(const std::string& dir);

// The name of entry `entryIndex` (1..229) in one language, decoded as the
// window decodes it; empty when the list has no such line.
QString EntryName(const NameLists& names, NameListLanguage language, int entryIndex);
// The entry list's text: "012 <E> <C> <J>"; only "012" without name lists.
QString DisplayName(const NameLists* names, int entryIndex);

// ---------------------------------------------------------------------------
// Fields of an entry

// A whole-number field of an entry as the dump shows it, with the range of
// values the ROM can hold. Fields not `storedInRom` may not be changed by import.
struct EntryField {
  const char* name;  // JSON key and CSV column
  int32_t minimum;
  int32_t maximum;
  bool storedInRom;
  int32_t MsRecord::*ms;      // set for MS fields
  int32_t ShipRecord::*ship;  // set for ship fields
};

// The stat fields of a kind in dump order (21 each); empty for EntryKind::None.
std::span<const EntryField> FieldsOf(EntryKind kind);
// The union of both lists in dump order: the CSV's stat columns.
std::span<const char* const> CsvStatColumns();
// The field of `kind` with that name, or nullptr.
const EntryField* FindField(EntryKind kind, std::string_view name);

int32_t GetField(const DataSet& dataSet, int entryIndex, const EntryField& field);
void SetField(DataSet& dataSet, int entryIndex, const EntryField& field, int32_t value);

// The three values of a shown weapon slot (0..7).
enum class WeaponValue { WeaponId, Damage, Ammo };
const char* WeaponValueName(WeaponValue value);  // "weaponId", "damage", "ammo"
WeaponSlot& WeaponOf(DataSet& dataSet, int entryIndex, int slot);
const WeaponSlot& WeaponOf(const DataSet& dataSet, int entryIndex, int slot);
int32_t GetWeaponValue(const WeaponSlot& weapon, WeaponValue value);
void SetWeaponValue(WeaponSlot& weapon, WeaponValue value, int32_t number);
// Whether the ROM stores that value for the kind and slot, and its range.
struct ValueRange {
  bool storedInRom;
  int32_t minimum;
  int32_t maximum;
};
ValueRange WeaponValueRange(EntryKind kind, int slot, WeaponValue value);

// The raw ROM bytes of an entry (4 for MS, 3 for ships).
std::span<const uint8_t> RawBytesOf(const DataSet& dataSet, int entryIndex);
// As the editor shows them: "03 14 01 01".
QString FormatRawBytes(std::span<const uint8_t> bytes);

// "ms" or "ship".
const char* KindName(EntryKind kind);

// ---------------------------------------------------------------------------
// CSV (RFC 4180, UTF-8)

// A field, quoted when it holds a comma, a quote, CR or LF.
QString CsvField(const QString& text);
struct CsvRow {
  int line = 0;  // where the row starts, from 1
  QStringList fields;
};
// Splits CSV text into rows of fields, skipping empty lines. Accepts CRLF or LF
// line ends and a UTF-8 byte order mark; throws VarskError("<source> line N: ...")
// when malformed.
std::vector<CsvRow> ParseCsv(const QByteArray& text, const QString& source);

// ---------------------------------------------------------------------------
// Files and standard output (the files themselves go through data/file_io.h)

// A program argument as the parser takes it: UTF-8 text, with each byte that
// is not UTF-8 kept as the lone surrogate U+DC80 + byte, so that
// ArgumentBytes gives back exactly the bytes given (a file name need not be UTF-8).
QString DecodeArgument(const char* bytes);
// The bytes of an argument decoded by DecodeArgument: a path as the system takes it.
std::string ArgumentBytes(const QString& argument);
// A path as messages show it: full, with control and non-UTF-8 bytes escaped.
QString ShownPath(const std::string& path);

// The file named by the output option as bytes, or "" when the option is not
// given. An empty file name is a usage error (exit 2): it would otherwise
// silently mean "in place" or "standard output".
std::string OutputPath(const QCommandLineParser& parser, const QCommandLineOption& option,
                       const QString& command);
// Refuses (usage error, exit 2) an output that is one of the files the command
// reads, through links: writing there would destroy an input.
void CheckOutputIsNoInput(const QString& command, const std::string& output,
                          std::span<const std::string> inputs);

// The data a command was asked for: into the file `path` (replaced whole), or
// to standard output when `path` is empty. Throws VarskError when either
// cannot be written whole.
void WriteOutput(const std::string& path, const QByteArray& bytes);
// A line that tells what a command did, once the work is done: written to
// standard output if that can be done. Losing it (standard output closed,
// full, or a pipe whose reader has gone) neither undoes the work nor changes
// the exit status.
void PrintStatusLine(const QString& line);

}  // namespace varsk::cli
