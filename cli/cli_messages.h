// The texts varsk-units prints, one function per message format. The core's
// own messages (base/messages.h) are used where they fit. Values from the
// command line or an edit file are quoted through QuotedValue: at most 60
// characters, control bytes escaped.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace varsk::cli {

// A value from the command line or an edit file, as messages quote it (QuotedValue).
QString Quoted(const QString& value);

QString OutOfMemoryMessage();
// "<problem> (see 'varsk-units <command> --help')"; the command's name goes
// in front of every message (PrintError).
QString UsageMessage(const QString& command, const QString& problem);
QString MissingArgumentText();
QString UnexpectedArgumentText(const QString& argument);
// With the nearest command or option, if any (`nearest` empty: none).
QString UnknownCommandMessage(const QString& command, const QString& nearest);
QString UnknownOptionText(const QString& option, const QString& nearest);
QString BadOptionValueMessage(const QString& option, const QString& value, int64_t minimum,
                              int64_t maximum);
QString OptionsExcludeEachOtherMessage(const QString& first, const QString& second);
QString OptionRequiredMessage(const QString& option);
// No name lists found: the first failure's `cause` and the folders tried
// after the working directory ($VARSK_NAMES, the installed lists).
QString NamesLeftOutMessage(const QString& cause, const QStringList& tried);
QString StdoutFailedMessage(const QString& cause);
QString EmptyOutputNameText();
// Binary data, `what` ("a patch"), refused for a terminal.
QString BinaryToTerminalMessage(const QString& what);
// What binary outputs are, for BinaryToTerminalMessage.
QString RomImageText();
QString PatchText();
QString PictureText();
QString ExportText();
// --backup with a suffix that names no file beside ROM, or where nothing is
// replaced in place.
QString BackupSuffixText(const QString& suffix);
QString BackupNotInPlaceText();
// render -o with a file name that does not end in .png.
QString PngExtensionText(const QString& fileName);
QString OutputIsInputText(const QString& output, const QString& input);

// A value that a bulk change left outside its packed field.
QString DoesNotFitRomMessage(int entryIndex, const QString& field, int64_t value, int64_t minimum,
                             int64_t maximum);

QString BadFormatText(const QString& format, const QStringList& formats);
QString ChangeCountText(qsizetype count, bool dryRun);
QString NoAutoModifyChoiceText();
// A difference that an edit file written by diff cannot carry.
QString NotInEditsMessage(const QString& difference);
QString PngEncodingFailedMessage();
QString RenderTooLargeMessage(int64_t width, int64_t height, int64_t maxPixels);
QString RenderProgramMissingMessage(const QString& program, const QString& cause);

}  // namespace varsk::cli
