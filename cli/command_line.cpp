#include "cli/command_line.h"

#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <new>

#include "base/file_io.h"
#include "base/messages.h"
#include "base/nearest_name.h"
#include "cli/argument_bytes.h"
#include "cli/cli_messages.h"

namespace varsk::cli {

// ---------------------------------------------------------------------------
// Errors and exit codes

void Fail(const QString& message) { throw VarskError(message.toStdString()); }

void FailUsage(const QString& message) { throw UsageError(message); }

namespace {

constexpr char kDefaultBackupSuffix[] = "~";

void WriteLine(FILE* stream, const QString& line) {
  const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
}

// One line: a message never spreads over several lines of stderr.
QString OneLine(QString text) {
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text.trimmed();
}

}  // namespace

namespace {

QString& CommandName() {
  static QString name;
  return name;
}

// "varsk-units: " or "varsk-units: <command>: ".
QString MessageStart() {
  return CommandName().isEmpty() ? QStringLiteral("varsk-units: ")
                                 : QStringLiteral("varsk-units: %1: ").arg(CommandName());
}

}  // namespace

void SetCommandName(const QString& command) { CommandName() = command; }

void PrintError(const QString& message) { WriteLine(stderr, MessageStart() + OneLine(message)); }

void PrintWarning(const QString& message) {
  WriteLine(stderr, MessageStart() + QStringLiteral("warning: ") + OneLine(message));
}

int RunCommand(const std::function<int()>& body, int errorStatus, int usageStatus) {
  try {
    return body();
  } catch (const UsageError& error) {
    PrintError(QString::fromUtf8(error.what()));
    return usageStatus;
  } catch (const std::bad_alloc&) {
    PrintError(OutOfMemoryMessage());
  } catch (const std::exception& error) {
    PrintError(QString::fromUtf8(error.what()));
  }
  return errorStatus;
}

// ---------------------------------------------------------------------------
// Parsing

namespace {

// "-o", "--format": an option as it is typed.
QString OptionSpelling(const QString& name) {
  return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

// The known option nearest to the unknown `name`, as it is typed; "" for none.
// The options are read from the help text, which names each one.
QString NearestOption(const QCommandLineParser& parser, const QString& name) {
  static const QRegularExpression optionName(QStringLiteral("(?:^|[ ,])--?([a-z][a-z-]*)"),
                                             QRegularExpression::MultilineOption);
  std::vector<std::string> known;
  for (const QRegularExpressionMatch& match : optionName.globalMatch(parser.helpText())) {
    known.push_back(match.captured(1).toStdString());
  }
  const std::vector<std::string_view> names(known.begin(), known.end());
  const std::optional<std::string_view> nearest = NearestName(name.toStdString(), names);
  return nearest ? OptionSpelling(
                       QString::fromUtf8(nearest->data(), static_cast<qsizetype>(nearest->size())))
                 : QString();
}

}  // namespace

bool ParseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int minPositional, int maxPositional, const QString& synopsis) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                      QStringLiteral("Show this help."));
  parser.addOption(helpOption);
  // An option's value is otherwise required: a bare --backup takes the default.
  QStringList arguments{QStringLiteral("varsk-units")};
  bool optionsEnded = false;
  for (const QString& arg : args) {
    optionsEnded = optionsEnded || arg == QLatin1String("--");
    const bool bareBackup = arg == QLatin1String("--backup") || arg == QLatin1String("-backup");
    arguments.append(!optionsEnded && bareBackup
                         ? QStringLiteral("--backup=") + QLatin1String(kDefaultBackupSuffix)
                         : arg);
  }
  if (!parser.parse(arguments)) {
    if (!parser.unknownOptionNames().isEmpty()) {
      const QString option = parser.unknownOptionNames().front();
      FailUsage(UsageMessage(
          command, UnknownOptionText(OptionSpelling(option), NearestOption(parser, option))));
    }
    // The parser's text quotes the bad option, which may be anything.
    FailUsage(UsageMessage(command, Quoted(parser.errorText())));
  }
  if (parser.isSet(helpOption)) {
    // helpText() names the program only; the usage line also names the command.
    QString help = parser.helpText();
    static const QRegularExpression usageLine(QStringLiteral("^Usage: \\S+"));
    static const QRegularExpression wholeUsageLine(QStringLiteral("^Usage: [^\\n]*"));
    if (synopsis.isEmpty()) {
      help.replace(usageLine, QStringLiteral("Usage: varsk-units ") + command);
    } else {
      help.replace(wholeUsageLine, QStringLiteral("Usage: varsk-units ") + synopsis);
    }
    WriteOutput(std::string(), help.toUtf8());
    return false;
  }
  const qsizetype count = parser.positionalArguments().size();
  if (count < minPositional) {
    FailUsage(UsageMessage(command, MissingArgumentText()));
  }
  if (count > maxPositional) {
    FailUsage(UsageMessage(command, UnexpectedArgumentText(parser.positionalArguments().at(
                                        static_cast<qsizetype>(maxPositional)))));
  }
  return true;
}

int ParseIntOption(const QCommandLineParser& parser, const QString& option, int minimum,
                   int maximum) {
  const QString text = parser.value(option);
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok);
  if (!ok || value < minimum || value > maximum) {
    FailUsage(BadOptionValueMessage(option, text, minimum, maximum));
  }
  return static_cast<int>(value);
}

std::string PathArgument(const QCommandLineParser& parser, qsizetype index) {
  return ArgumentBytes(parser.positionalArguments().value(index));
}

QCommandLineOption OutputOption(const QString& description, const QString& valueName) {
  return QCommandLineOption({QStringLiteral("o"), QStringLiteral("output")}, description,
                            valueName);
}

QCommandLineOption BackupOption() {
  return QCommandLineOption(
      QStringList{QStringLiteral("backup")},
      QStringLiteral("Keep ROM as it was as ROM followed by SUFFIX (default ~) before it is\n"
                     "replaced in place; written whole, as an output file is."),
      QStringLiteral("SUFFIX"));
}

std::string BackupPath(const QCommandLineParser& parser, const QCommandLineOption& option,
                       const QString& command, const std::string& romPath, bool inPlace) {
  if (!parser.isSet(option)) return {};
  const std::string suffix = ArgumentBytes(parser.value(option));
  if (suffix.empty() || suffix.find('/') != std::string::npos) {
    FailUsage(UsageMessage(command, BackupSuffixText(Quoted(parser.value(option)))));
  }
  if (!inPlace) FailUsage(UsageMessage(command, BackupNotInPlaceText()));
  return romPath + suffix;
}

std::string OutputPath(const QCommandLineParser& parser, const QCommandLineOption& option,
                       const QString& command) {
  if (!parser.isSet(option)) {
    return {};
  }
  std::string path = ArgumentBytes(parser.value(option));
  if (path.empty()) {
    FailUsage(UsageMessage(command, EmptyOutputNameText()));
  }
  return path;
}

void CheckOutputIsNoInput(const QString& command, const std::string& output,
                          std::span<const std::string> inputs) {
  if (const std::optional<size_t> input = FindSameFile(output, inputs)) {
    FailUsage(
        UsageMessage(command, OutputIsInputText(ShownPath(output), ShownPath(inputs[*input]))));
  }
}

std::string RequiredOutputPath(const QCommandLineParser& parser, const QCommandLineOption& option,
                               const QString& command) {
  if (!parser.isSet(option)) {
    FailUsage(UsageMessage(command, OptionRequiredMessage(QStringLiteral("output"))));
  }
  return OutputPath(parser, option, command);
}

QCommandLineOption FormatOption(const QStringList& formats) {
  // "json (default) or csv", "text (default), json or csv"
  QString listed = formats.front() + QStringLiteral(" (default)");
  for (qsizetype i = 1; i < formats.size(); ++i) {
    listed +=
        (i + 1 == formats.size() ? QStringLiteral(" or ") : QStringLiteral(", ")) + formats.at(i);
  }
  return QCommandLineOption({QStringLiteral("format")},
                            QStringLiteral("Output format: %1.").arg(listed),
                            formats.join(QLatin1Char('|')), formats.front());
}

QString ChosenFormat(const QCommandLineParser& parser, const QCommandLineOption& option,
                     const QString& command, const QStringList& formats) {
  const QString name = parser.value(option).toLower();
  if (!formats.contains(name)) {
    FailUsage(UsageMessage(command, BadFormatText(parser.value(option), formats)));
  }
  return name;
}

// ---------------------------------------------------------------------------
// Standard output

namespace {

// Writes all of `bytes` to standard output; returns 0 or the errno.
int WriteToStdout(std::span<const uint8_t> bytes) {
  errno = 0;
  const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  if (written != bytes.size() || std::fflush(stdout) != 0) {
    return errno != 0 ? errno : EIO;
  }
  return 0;
}

}  // namespace

bool WritesToStandardOutput(const std::string& path) {
  return path.empty() || IsStandardStream(path);
}

void CheckBinaryOutput(const std::string& path, const QString& what) {
  if (WritesToStandardOutput(path) && StandardOutputIsTerminal()) {
    Fail(BinaryToTerminalMessage(what));
  }
}

void WriteOutput(const std::string& path, std::span<const uint8_t> bytes) {
  if (!WritesToStandardOutput(path)) {
    ReplaceFile(path, bytes);
    return;
  }
  if (const int error = WriteToStdout(bytes)) {
    Fail(StdoutFailedMessage(QString::fromStdString(SystemErrorText(error))));
  }
}

void WriteOutput(const std::string& path, const QByteArray& bytes) {
  WriteOutput(path, std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                              static_cast<size_t>(bytes.size())));
}

void PrintStatusLine(const QString& line) {
  // The work is done: a reader that has gone must not turn it into a failure.
  std::signal(SIGPIPE, SIG_IGN);
  const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
  WriteToStdout(std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                          static_cast<size_t>(bytes.size())));
}

}  // namespace varsk::cli
