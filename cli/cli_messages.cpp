#include "cli/cli_messages.h"

#include "base/messages.h"
#include "base/shown_text.h"
#include "cli/argument_bytes.h"

namespace varsk::cli {

QString Quoted(const QString& value) {
  return QString::fromStdString(QuotedValue(ArgumentBytes(value)));
}

QString OutOfMemoryMessage() { return QStringLiteral("out of memory"); }

QString UsageMessage(const QString& command, const QString& problem) {
  return QStringLiteral("%1 (see 'varsk-units %2 --help')").arg(problem, command);
}

namespace {

QString DidYouMean(const QString& nearest) {
  return QString::fromStdString(DidYouMeanText(ArgumentBytes(nearest)));
}

}  // namespace

QString MissingArgumentText() { return QStringLiteral("missing argument"); }

QString UnexpectedArgumentText(const QString& argument) {
  return QStringLiteral("unexpected argument '%1'").arg(Quoted(argument));
}

QString UnknownCommandMessage(const QString& command, const QString& nearest) {
  return QStringLiteral("unknown command '%1'%2 (see 'varsk-units --help')")
      .arg(Quoted(command), DidYouMean(nearest));
}

QString UnknownOptionText(const QString& option, const QString& nearest) {
  return QStringLiteral("unknown option '%1'%2").arg(Quoted(option), DidYouMean(nearest));
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

QString NamesLeftOutMessage(const QString& cause, const QStringList& tried) {
  return QStringLiteral(
             "names left out: no name lists in %1 (%2); give --names DIR or set VARSK_NAMES")
      .arg(tried.join(QStringLiteral(", ")), cause);
}

QString StdoutFailedMessage(const QString& cause) {
  return QStringLiteral("cannot write to standard output. %1").arg(cause);
}

QString EmptyOutputNameText() {
  return QStringLiteral(
      "the output file name is empty (give a file name, or leave the option out)");
}

QString BinaryToTerminalMessage(const QString& what) {
  return QStringLiteral(
             "%1 is not written to a terminal: send standard output to a file or a program, or "
             "give -o FILE")
      .arg(what);
}

QString RomImageText() { return QStringLiteral("a ROM image"); }
QString PatchText() { return QStringLiteral("a patch"); }
QString PictureText() { return QStringLiteral("a picture"); }
QString ExportText() { return QStringLiteral("an export"); }

QString BackupSuffixText(const QString& suffix) {
  return QStringLiteral(
             "the backup suffix '%1' names no file beside ROM (give one without '/', or "
             "--backup alone for ~)")
      .arg(suffix);
}

QString BackupNotInPlaceText() {
  return QStringLiteral(
      "--backup keeps ROM before it is replaced in place; here ROM is not written (leave out "
      "-o, or give -o ROM)");
}

QString PngExtensionText(const QString& fileName) {
  return QStringLiteral("the picture is written as PNG: the file name must end in .png: '%1'")
      .arg(fileName);
}

QString OutputIsInputText(const QString& output, const QString& input) {
  return QStringLiteral("the output \"%1\" is the input file \"%2\"; it would be overwritten")
      .arg(output, input);
}

QString RenderTooLargeMessage(int64_t width, int64_t height, int64_t maxPixels) {
  return QStringLiteral(
             "the picture would be %1 x %2 pixels; at most %3 pixels (%4 MiB) can be "
             "drawn: choose a smaller --scale")
      .arg(width)
      .arg(height)
      .arg(maxPixels)
      .arg(maxPixels * 4 >> 20);
}

QString DoesNotFitRomMessage(int entryIndex, const QString& field, int64_t value, int64_t minimum,
                             int64_t maximum) {
  return QStringLiteral(
             "entry %1, field %2: value %3 does not fit the ROM (allowed %4..%5); nothing written")
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
  return QStringLiteral("cannot run the drawing program \"%1\". %2").arg(program, cause);
}

QString PngEncodingFailedMessage() { return QString::fromStdString(PngEncodingFailedText()); }

}  // namespace varsk::cli
