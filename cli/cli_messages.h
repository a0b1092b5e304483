// The texts varsk-units prints, one function per message format. The core's
// own messages (data/messages.h) are used where they fit. Values from the
// command line or an edit file are quoted through QuotedValue: at most 60
// characters, control bytes escaped.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace varsk::cli {

QString OutOfMemoryMessage();
// "<command>: <problem> (see 'varsk-units <command> --help')"
QString UsageMessage(const QString& command, const QString& problem);
QString MissingArgumentText();
QString UnexpectedArgumentText(const QString& argument);
QString UnknownCommandMessage(const QString& command);
QString BadOptionValueMessage(const QString& option, const QString& value, int64_t minimum,
                              int64_t maximum);
QString OptionsExcludeEachOtherMessage(const QString& first, const QString& second);
QString OptionRequiredMessage(const QString& option);
QString NamesLeftOutMessage(const QString& cause);
QString StdoutFailedMessage(const QString& cause);
QString EmptyOutputNameText();
QString OutputIsInputText(const QString& output, const QString& input);

// CSV text
QString CsvErrorMessage(const QString& source, int line, const QString& problem);
QString CsvNotUtf8Text();
QString CsvUnterminatedQuoteText();
QString CsvTextAfterQuoteText();
QString CsvStrayQuoteText();

// Edit files: "<place>: entry <n>, field <f>: <problem>"
QString EditErrorMessage(const QString& place, int entryIndex, const QString& field,
                         const QString& problem);
QString CsvPlace(const QString& source, int line);
QString JsonPlace(const QString& source, qsizetype entryPosition);
QString EditFileEmptyMessage(const QString& source);
QString JsonErrorMessage(const QString& source, qsizetype offset, const QString& problem);
QString NotAnIntegerText(const QString& text, int64_t minimum, int64_t maximum);
QString OutOfRangeText(const QString& text, int64_t minimum, int64_t maximum);
QString NoSuchEntryText(const QString& text, int64_t minimum, int64_t maximum);
QString DuplicateEntryText(const QString& firstPlace);
QString NotStoredText(const QString& text, int64_t current);
QString KindMismatchText(const QString& text, const QString& current);
QString NameMismatchText(const QString& text, const QString& current);
QString RawBytesText(const QString& text, int count);
QString FieldOfOtherKindText(const QString& kind);
QString UnknownFieldText();
QString UnknownColumnText(const QString& column);
QString DuplicateColumnText(const QString& column);
QString MissingEntryColumnText();
QString FieldCountText(qsizetype count, int expected);
QString ExpectedArrayText();
QString ExpectedObjectText();
QString ExpectedStringText();
QString TooManyWeaponsText(qsizetype count);
QString MissingEntryIndexText();
QString UnknownTopLevelKeyText(const QString& key);
QString MissingEntriesText();
QString RepeatedKeyText();
// A value that a bulk change left outside its packed field.
QString DoesNotFitRomMessage(const QString& what, int entryIndex, const QString& field,
                             int64_t value, int64_t minimum, int64_t maximum);

QString BadFormatText(const QString& format, const QStringList& formats);
QString ChangeCountText(qsizetype count, bool dryRun);
QString NoAutoModifyChoiceText();
// A difference that an edit file written by diff cannot carry.
QString NotInEditsMessage(const QString& difference);
QString PngEncodingFailedMessage();
QString RenderTooLargeMessage(int64_t width, int64_t height, int64_t maxPixels);
QString RenderProgramMissingMessage(const QString& program, const QString& cause);

}  // namespace varsk::cli
