// The texts varsk-units prints, one function per message format. The core's
// own messages (data/messages.h) are used where they fit.
#pragma once

#include <QString>
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
QString NotARegularFileMessage(const QString& fullPath);
QString NamesLeftOutMessage(const QString& cause);
QString NoSuchFieldMessage(int entryIndex, const QString& field);
QString ReadFailedMessage(const QString& fullPath, const QString& cause);
QString StdoutFailedMessage(const QString& cause);

// CSV text
QString CsvErrorMessage(const QString& source, int line, const QString& problem);
QString CsvNotUtf8Text();
QString CsvUnterminatedQuoteText();
QString CsvTextAfterQuoteText();
QString CsvStrayQuoteText();

}  // namespace varsk::cli
