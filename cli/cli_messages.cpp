#include "cli/cli_messages.h"

namespace varsk::cli {

QString OutOfMemoryMessage() { return QStringLiteral("out of memory"); }

QString UsageMessage(const QString& command, const QString& problem) {
  return QStringLiteral("%1: %2 (see 'varsk-units %1 --help')").arg(command, problem);
}

QString MissingArgumentText() { return QStringLiteral("missing argument"); }

QString UnexpectedArgumentText(const QString& argument) {
  return QStringLiteral("unexpected argument '%1'").arg(argument);
}

QString UnknownCommandMessage(const QString& command) {
  return QStringLiteral("unknown command '%1' (see 'varsk-units --help')").arg(command);
}

QString BadOptionValueMessage(const QString& option, const QString& value, int64_t minimum,
                              int64_t maximum) {
  return QStringLiteral("--%1: '%2' is not a whole number from %3 to %4")
      .arg(option, value)
      .arg(minimum)
      .arg(maximum);
}

QString OptionsExcludeEachOtherMessage(const QString& first, const QString& second) {
  return QStringLiteral("give either --%1 or --%2").arg(first, second);
}

QString OptionRequiredMessage(const QString& option) {
  return QStringLiteral("option --%1 is required").arg(option);
}

QString NotARegularFileMessage(const QString& fullPath) {
  return QStringLiteral("\"%1\" is not a regular file").arg(fullPath);
}

QString NamesLeftOutMessage(const QString& cause) {
  return QStringLiteral("names left out: %1").arg(cause);
}

QString NoSuchFieldMessage(int entryIndex, const QString& field) {
  return QStringLiteral("entry %1 has no field %2").arg(entryIndex).arg(field);
}

QString ReadFailedMessage(const QString& fullPath, const QString& cause) {
  return QStringLiteral("Cannot read file \"%1\". %2").arg(fullPath, cause);
}

QString StdoutFailedMessage(const QString& cause) {
  return QStringLiteral("cannot write to standard output. %1").arg(cause);
}

QString CsvErrorMessage(const QString& source, int line, const QString& problem) {
  if (line <= 0) {
    return QStringLiteral("%1: %2").arg(source, problem);
  }
  return QStringLiteral("%1 line %2: %3").arg(source).arg(line).arg(problem);
}

QString CsvNotUtf8Text() { return QStringLiteral("the CSV text is not valid UTF-8"); }

QString CsvUnterminatedQuoteText() { return QStringLiteral("a quoted field is never closed"); }

QString CsvTextAfterQuoteText() {
  return QStringLiteral("text follows the closing quote of a field");
}

QString CsvStrayQuoteText() {
  return QStringLiteral("a quote inside an unquoted field (quote the whole field)");
}

}  // namespace varsk::cli
