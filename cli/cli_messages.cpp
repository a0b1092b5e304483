#include "cli/cli_messages.h"

#include "cli/command_line.h"
#include "data/messages.h"

namespace varsk::cli {

namespace {

// A value from the command line or an edit file, as messages quote it.
QString Quoted(const QString& value) {
  return QString::fromStdString(QuotedValue(ArgumentBytes(value)));
}

}  // namespace

QString OutOfMemoryMessage() { return QStringLiteral("out of memory"); }

QString UsageMessage(const QString& command, const QString& problem) {
  return QStringLiteral("%1: %2 (see 'varsk-units %1 --help')").arg(command, problem);
}

QString MissingArgumentText() { return QStringLiteral("missing argument"); }

QString UnexpectedArgumentText(const QString& argument) {
  return QStringLiteral("unexpected argument '%1'").arg(Quoted(argument));
}

QString UnknownCommandMessage(const QString& command) {
  return QStringLiteral("unknown command '%1' (see 'varsk-units --help')").arg(Quoted(command));
}

QString BadOptionValueMessage(const QString& option, const QString& value, int64_t minimum,
                              int64_t maximum) {
  return QStringLiteral("--%1: '%2' is not a whole number from %3 to %4")
      .arg(option, Quoted(value))
      .arg(minimum)
      .arg(maximum);
}

QString OptionsExcludeEachOtherMessage(const QString& first, const QString& second) {
  return QStringLiteral("give either --%1 or --%2").arg(first, second);
}

QString OptionRequiredMessage(const QString& option) {
  return QStringLiteral("option --%1 is required").arg(option);
}

QString NamesLeftOutMessage(const QString& cause) {
  return QStringLiteral("names left out: %1").arg(cause);
}

QString StdoutFailedMessage(const QString& cause) {
  return QStringLiteral("cannot write to standard output. %1").arg(cause);
}

QString EmptyOutputNameText() {
  return QStringLiteral(
      "the output file name is empty (give a file name, or leave the option out)");
}

QString OutputIsInputText(const QString& output, const QString& input) {
  return QStringLiteral("the output \"%1\" is the input file \"%2\"; it would be overwritten")
      .arg(output, input);
}

QString RepeatedKeyText() { return QStringLiteral("the key appears twice in one object"); }

QString RenderTooLargeMessage(int64_t width, int64_t height, int64_t maxPixels) {
  return QStringLiteral(
             "render: the picture would be %1 x %2 pixels; at most %3 pixels (%4 MiB) can be "
             "drawn: choose a smaller --scale")
      .arg(width)
      .arg(height)
      .arg(maxPixels)
      .arg(maxPixels * 4 >> 20);
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

QString EditErrorMessage(const QString& place, int entryIndex, const QString& field,
                         const QString& problem) {
  QString where = place;
  if (entryIndex > 0) {
    where += QStringLiteral(": entry %1").arg(entryIndex);
  }
  if (!field.isEmpty()) {
    where +=
        (entryIndex > 0 ? QStringLiteral(", field ") : QStringLiteral(": field ")) + Quoted(field);
  }
  return where + QStringLiteral(": ") + problem;
}

QString CsvPlace(const QString& source, int line) {
  return QStringLiteral("%1 line %2").arg(source).arg(line);
}

QString JsonPlace(const QString& source, qsizetype entryPosition) {
  return QStringLiteral("%1 entries[%2]").arg(source).arg(entryPosition);
}

QString EditFileEmptyMessage(const QString& source) {
  return QStringLiteral("%1: the edit file is empty").arg(source);
}

QString JsonErrorMessage(const QString& source, qsizetype offset, const QString& problem) {
  if (offset < 0) {
    return QStringLiteral("%1: %2").arg(source, problem);
  }
  return QStringLiteral("%1: malformed JSON at byte %2: %3").arg(source).arg(offset).arg(problem);
}

QString NotAnIntegerText(const QString& text, int64_t minimum, int64_t maximum) {
  return QStringLiteral("'%1' is not a valid integer value (allowed %2..%3)")
      .arg(Quoted(text))
      .arg(minimum)
      .arg(maximum);
}

QString OutOfRangeText(const QString& text, int64_t minimum, int64_t maximum) {
  return QStringLiteral("value %1 is out of range (allowed %2..%3)")
      .arg(Quoted(text))
      .arg(minimum)
      .arg(maximum);
}

QString NoSuchEntryText(const QString& text, int64_t minimum, int64_t maximum) {
  return QStringLiteral("no entry %1 (allowed %2..%3)").arg(Quoted(text)).arg(minimum).arg(maximum);
}

QString DuplicateEntryText(const QString& firstPlace) {
  return QStringLiteral("the entry is edited twice (first at %1)").arg(firstPlace);
}

QString NotStoredText(const QString& text, int64_t current) {
  return QStringLiteral(
             "value %1 cannot be set: the ROM does not store this field (allowed: its current "
             "value %2)")
      .arg(Quoted(text))
      .arg(current);
}

QString KindMismatchText(const QString& text, const QString& current) {
  return QStringLiteral("value \"%1\" is not the entry's kind (allowed: \"%2\")")
      .arg(Quoted(text), current);
}

QString NameMismatchText(const QString& text, const QString& current) {
  return QStringLiteral(
             "value \"%1\" differs from the name list; names are not stored in the ROM "
             "(allowed: \"%2\")")
      .arg(Quoted(text), Quoted(current));
}

QString RawBytesText(const QString& text, int count) {
  return QStringLiteral(
             "value \"%1\" is not %2 raw bytes (allowed: %2 bytes of 0..255, as the "
             "dump writes them)")
      .arg(Quoted(text))
      .arg(count);
}

QString FieldOfOtherKindText(const QString& kind) {
  return QStringLiteral("unknown field for an entry of kind \"%1\"").arg(kind);
}

QString UnknownFieldText() { return QStringLiteral("unknown field"); }

QString UnknownColumnText(const QString& column) {
  return QStringLiteral("unknown column \"%1\"").arg(Quoted(column));
}

QString DuplicateColumnText(const QString& column) {
  return QStringLiteral("column \"%1\" appears twice").arg(Quoted(column));
}

QString MissingEntryColumnText() { return QStringLiteral("the header has no entryIndex column"); }

QString FieldCountText(qsizetype count, int expected) {
  return QStringLiteral("%1 fields where the header has %2").arg(count).arg(expected);
}

QString ExpectedArrayText() { return QStringLiteral("expected an array"); }

QString ExpectedObjectText() { return QStringLiteral("expected an object"); }

QString ExpectedStringText() { return QStringLiteral("expected a string"); }

QString TooManyWeaponsText(qsizetype count) {
  return QStringLiteral("%1 weapon slots (allowed 0..8)").arg(count);
}

QString MissingEntryIndexText() { return QStringLiteral("missing (allowed 1..229)"); }

QString UnknownTopLevelKeyText(const QString& key) {
  return QStringLiteral("unknown key \"%1\" (expected only \"entries\")").arg(Quoted(key));
}

QString MissingEntriesText() {
  return QStringLiteral("expected an object with an \"entries\" array, or an array");
}

QString DoesNotFitRomMessage(const QString& what, int entryIndex, const QString& field,
                             int64_t value, int64_t minimum, int64_t maximum) {
  return QStringLiteral(
             "%1: entry %2, field %3: value %4 does not fit the ROM (allowed %5..%6); nothing "
             "written")
      .arg(what)
      .arg(entryIndex)
      .arg(field)
      .arg(value)
      .arg(minimum)
      .arg(maximum);
}

QString BadFormatText(const QString& format, const QStringList& formats) {
  return QStringLiteral("unknown format '%1' (allowed: %2)")
      .arg(Quoted(format), formats.join(QLatin1String(", ")));
}

QString ChangeCountText(qsizetype count, bool dryRun) {
  const QString values =
      count == 1 ? QStringLiteral("1 value") : QStringLiteral("%1 values").arg(count);
  return dryRun ? values + QStringLiteral(" would change; nothing written")
                : values + QStringLiteral(" changed");
}

QString NoAutoModifyChoiceText() {
  return QStringLiteral("choose at least one of --ammo-from-hp, --product-turn, --support-turn");
}

QString NotInEditsMessage(const QString& difference) {
  return QStringLiteral("%1; the edit file cannot carry them").arg(difference);
}

QString RenderProgramMissingMessage(const QString& program, const QString& cause) {
  return QStringLiteral("render: cannot run the drawing program \"%1\". %2").arg(program, cause);
}

QString PngEncodingFailedMessage() { return QStringLiteral("the PNG image could not be made"); }

}  // namespace varsk::cli
