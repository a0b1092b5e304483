// What every command of varsk-units shares on the command line: errors and
// exit codes, parsing with the shared options, and standard output.
#pragma once

#include <QByteArray>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>

#include "cli/argument_bytes.h"

namespace varsk::cli {

// ---------------------------------------------------------------------------
// Errors and exit codes

constexpr int kExitSuccess = 0;
constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

// A wrong command line (unknown option, missing argument): exit status 2.
// Errors of the work itself are varsk::VarskError (base/messages.h): status 1.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Throws VarskError with `message` (exit status 1).
[[noreturn]] void Fail(const QString& message);
// Throws UsageError with `message` (exit status 2).
[[noreturn]] void FailUsage(const QString& message);

// The command being run, which every message names after the program.
void SetCommandName(const QString& command);
// Writes "varsk-units: <command>: <message>" as one line to stderr (without
// "<command>: " before a command is chosen).
void PrintError(const QString& message);
// Writes "varsk-units: <command>: warning: <message>" as one line to stderr.
void PrintWarning(const QString& message);

// Runs a command body and turns its exceptions into the exit status: the
// body's return value, `errorStatus` after VarskError (or any other failure),
// `usageStatus` after UsageError; the message goes to stderr through PrintError.
int RunCommand(const std::function<int()>& body, int errorStatus = kExitError,
               int usageStatus = kExitUsage);

// ---------------------------------------------------------------------------
// Parsing

// Sets up `parser` for `varsk-units <command>` with the --help option, parses
// `args` (the arguments after the command name) and checks the number of
// positional arguments. Returns false after printing the help text to stdout
// (the command then exits 0); throws UsageError for anything malformed. The
// help's usage line is "varsk-units <synopsis>" when a synopsis is given
// ("patch ORIGINAL MODIFIED [-o PATCH] ..."), so that it shows what is required.
bool ParseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int minPositional, int maxPositional, const QString& synopsis = QString());

// An option's value as a whole number within [minimum, maximum]; throws UsageError.
int ParseIntOption(const QCommandLineParser& parser, const QString& option, int minimum,
                   int maximum);

// Positional argument `index` as a path (ArgumentBytes); "" when not given.
std::string PathArgument(const QCommandLineParser& parser, qsizetype index);

// --backup[=SUFFIX]: keep the ROM as it was, as ROM + SUFFIX ("~" when no
// suffix is given), before a command replaces it in place.
QCommandLineOption BackupOption();
// The backup path that --backup asks for, or "" without it. A usage error
// (exit 2) for an empty suffix or one with a '/', and when the command does
// not replace `romPath` in place (`inPlace` false).
std::string BackupPath(const QCommandLineParser& parser, const QCommandLineOption& option,
                       const QString& command, const std::string& romPath, bool inPlace);

// -o/--output FILE.
QCommandLineOption OutputOption(const QString& description, const QString& valueName);
// The file named by the output option as bytes ("-" for standard output), or
// "" when the option is not given. An empty file name is a usage error (exit
// 2): it would otherwise silently mean "in place" or "standard output".
std::string OutputPath(const QCommandLineParser& parser, const QCommandLineOption& option,
                       const QString& command);
// OutputPath of an option that must be given (usage error otherwise).
std::string RequiredOutputPath(const QCommandLineParser& parser, const QCommandLineOption& option,
                               const QString& command);
// Refuses (usage error, exit 2) an output that is one of the files the command
// reads, through links: writing there would destroy an input. "-" is none.
void CheckOutputIsNoInput(const QString& command, const std::string& output,
                          std::span<const std::string> inputs);

// --format NAME among `formats`, the first being the default.
QCommandLineOption FormatOption(const QStringList& formats);
// The chosen format in lower case; a usage error when it is none of `formats`.
QString ChosenFormat(const QCommandLineParser& parser, const QCommandLineOption& option,
                     const QString& command, const QStringList& formats);

// ---------------------------------------------------------------------------
// Standard output (the files themselves go through base/file_io.h)

// Whether an output path ("" or "-") means standard output.
bool WritesToStandardOutput(const std::string& path);
// Refuses (VarskError, exit status 1) to write binary data, `what` ("a
// patch"), to standard output when that is a terminal, as compressors do.
// Call it before the work when WritesToStandardOutput(path).
void CheckBinaryOutput(const std::string& path, const QString& what);

// The data a command was asked for: into the file `path` (replaced whole), or
// to standard output when WritesToStandardOutput(path). Throws VarskError
// when either cannot be written whole.
void WriteOutput(const std::string& path, const QByteArray& bytes);
void WriteOutput(const std::string& path, std::span<const uint8_t> bytes);
// A line that tells what a command did, once the work is done: written to
// standard output if that can be done. Losing it (standard output closed,
// full, or a pipe whose reader has gone) neither undoes the work nor changes
// the exit status.
void PrintStatusLine(const QString& line);

}  // namespace varsk::cli
