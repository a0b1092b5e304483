// Every message text the programs show, one function per message format, and
// the exception that carries a message to the user.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace varsk {

// An error meant for the user; what() is the message text (UTF-8).
class VarskError : public std::runtime_error {
 public:
  explicit VarskError(const std::string& message) : std::runtime_error(message) {}
};

// '%s' is not a valid integer value
std::string InvalidIntegerMessage(std::string_view text);
// Cannot open file "%s". %s
std::string CannotOpenFileMessage(std::string_view path, std::string_view cause);
// Cannot create file "%s". %s
std::string CannotCreateFileMessage(std::string_view path, std::string_view cause);
// Resource %s not found
std::string ResourceNotFoundMessage(std::string_view name);
// List index out of bounds (%d)
std::string ListIndexOutOfBoundsMessage(int64_t index);

// Messages for faults the program refuses instead of corrupting data.
std::string RomTooShortMessage(std::string_view path, int64_t size, int64_t needed);
std::string CannotWriteFileMessage(std::string_view path, std::string_view cause);
// A read that fails after the file was opened (an I/O error, or a file that shrank).
std::string CannotReadFileMessage(std::string_view path, std::string_view cause);
// Cannot read file "%s": it is larger than %d bytes, the most <what> may have
std::string FileTooLargeMessage(std::string_view path, uint64_t limit, std::string_view what);
// The cause part of "Cannot open file" for a FIFO, device or socket.
std::string NotARegularFileText(std::string_view what);
// The cause part of "Cannot open file" for a named FIFO that no program writes to.
std::string FifoWithoutWriterText();
// "-" where a file is read or written that a standard stream cannot stand for.
std::string StandardInputNotHereMessage();
std::string StandardOutputNotHereMessage();
// Reading standard input ("-").
std::string CannotReadStandardInputMessage(std::string_view cause);
std::string StandardInputTooLargeMessage(uint64_t limit, std::string_view what);
// Binary input (<what>: "a patch") asked for from a terminal.
std::string BinaryFromTerminalMessage(std::string_view what);
// The cause part of "Cannot open file" when another program keeps the file locked.
std::string FileLockedText(int waitedSeconds);
// The cause when other programs replace the file again and again while this one
// waits for its lock.
std::string FileKeepsBeingReplacedText();
// The cause for an output named by a link whose text is not the file it opens
// (/proc/self/fd/N of a deleted file).
std::string LinkDoesNotNameFileText();
// An output named through /proc's links to open descriptors (/dev/stdout).
std::string DescriptorLinkText();
// The window's start without a display that works.
std::string NoDisplayMessage();
// The drawing program's start when Qt's offscreen platform cannot start.
std::string DrawingCannotStartMessage();
// A program that starts with fewer free file descriptors than it needs.
std::string TooFewDescriptorsMessage(int64_t free, int64_t needed);
// Save ROM while the records hold neither the data set nor a loaded ROM.
std::string NothingToSaveMessage();

// Apply: a control's value that its field cannot hold. "HP: 70000 is out of
// range (0 to 65535)."
std::string ControlOutOfRangeMessage(std::string_view control, int64_t value, int64_t minimum,
                                     int64_t maximum);
// Names of controls in a sentence: "HP", "HP and Cost", "HP, Cost, EN and 2 more".
std::string ControlNamesText(const std::vector<std::string>& names);

// The window's questions and the captions of their buttons.
// Save ROM while the records did not come from a ROM: `lastLoadFailed` tells
// whether a Load ROM was tried and failed, or none was made.
std::string BuiltInTablesQuestion(std::string_view path, bool lastLoadFailed);
inline constexpr char kWriteButton[] = "Write";
inline constexpr char kCancelButton[] = "Cancel";
// Save ROM while controls hold typed values that Apply has not stored.
std::string UnappliedValuesQuestion(const std::vector<std::string>& controls);
inline constexpr char kApplyAndSaveButton[] = "Apply and save";
inline constexpr char kSaveWithoutButton[] = "Save without them";
// Closing the window with changes not saved; an empty `path` when the records
// were never loaded from or saved to a file; `typed`: controls whose typed
// values are not applied.
std::string UnsavedChangesQuestion(std::string_view path, bool recordsChanged,
                                   const std::vector<std::string>& typed);
inline constexpr char kSaveButton[] = "Save";
inline constexpr char kDiscardButton[] = "Discard";

// Edit files: "<place>: entry <n>, field <f>: <problem>", each part only when known.
std::string EditErrorMessage(std::string_view place, int entryIndex, std::string_view field,
                             std::string_view problem);
std::string CsvPlace(std::string_view source, int line);                // "<source> line 7"
std::string JsonPlace(std::string_view source, int64_t entryPosition);  // "<source> entries[3]"
std::string EditFileEmptyMessage(std::string_view source);
std::string CsvErrorMessage(std::string_view source, int line, std::string_view problem);
std::string CsvNotUtf8Text();
std::string CsvUnterminatedQuoteText();
std::string CsvTextAfterQuoteText();
std::string CsvStrayQuoteText();
// An unknown column, with the known one it most likely meant (if any).
std::string UnknownColumnText(std::string_view column, std::string_view nearest = {});
// A header whose columns are separated by ';'.
std::string SemicolonHeaderText();
std::string DuplicateColumnText(std::string_view column);
std::string MissingEntryColumnText();
std::string FieldCountText(size_t count, size_t expected);
// A JSON parser's complaint at `offset`, or (offset < 0) a problem of the whole file.
std::string JsonErrorMessage(std::string_view source, int64_t offset, std::string_view problem);
// The problem of a JSON text nested deeper than the reader follows.
std::string JsonTooDeepText();
std::string UnknownTopLevelKeyText(std::string_view key);
std::string MissingEntriesText();
std::string RepeatedKeyText();
std::string ExpectedArrayText();
std::string ExpectedObjectText();
std::string ExpectedStringText();
std::string TooManyWeaponsText(int64_t count);
std::string MissingEntryIndexText();
std::string NotAnIntegerText(std::string_view text, int64_t minimum, int64_t maximum);
std::string OutOfRangeText(std::string_view text, int64_t minimum, int64_t maximum);
std::string NoSuchEntryText(std::string_view text, int64_t minimum, int64_t maximum);
std::string DuplicateEntryText(std::string_view firstPlace);
std::string FieldEditedTwiceText();
std::string NotStoredText(std::string_view text, int64_t current);
std::string RawBytesText(std::string_view text, int count);
std::string KindMismatchText(std::string_view text, std::string_view current);
std::string NameMismatchText(std::string_view text, std::string_view current);
std::string FieldOfOtherKindText(std::string_view kind);
std::string UnknownFieldText();

// Filters of the catalogue: what is wrong with one condition or word.
std::string FilterUnknownFieldText(std::string_view condition, std::string_view field);
std::string FilterNotANumberText(std::string_view condition, std::string_view value);
std::string FilterMissingValueText(std::string_view condition);
std::string FilterKindText(std::string_view condition, std::string_view value);
std::string FilterKindOperatorText(std::string_view condition);
std::string FilterNotComparableText(std::string_view condition, std::string_view field);
std::string FilterUnclosedQuoteText();

// Charts of the catalogue, in the window and from varsk-units plot.
// "hp against cost"
std::string ChartTitleText(std::string_view yField, std::string_view xField);
// "191 of 229 entries", with "; filter: <filter>" when one is given.
std::string ChartCountText(size_t shown, size_t total, std::string_view filter);
// The legend's label of a kind of entry and how many points it has: "MS 191".
inline constexpr char kChartMsLabel[] = "MS";
inline constexpr char kChartShipLabel[] = "Ship";
std::string ChartLegendText(std::string_view kindLabel, size_t count);
// A point: "012 AR-31 Skirmisher: cost 120, hp 205" (no name: "012: ...").
std::string ChartPointText(std::string_view number, std::string_view name, std::string_view xField,
                           int64_t x, std::string_view yField, int64_t y);
// After the points a tooltip lists: "and 4 more".
std::string ChartMorePointsText(size_t count);
// Why a chart has no point.
std::string ChartNoEntryText(std::string_view filter);
// `holders`: the kind that has the field ("ships"), or empty.
std::string ChartFieldNotHeldText(std::string_view field, size_t entries, std::string_view holders);
std::string ChartNoEntryWithBothText(std::string_view xField, std::string_view yField);
inline constexpr char kChartMsHolders[] = "MS entries";
inline constexpr char kChartShipHolders[] = "ships";
// A field name that no axis can take.
std::string ChartFieldUnknownText(std::string_view field);
std::string ChartFieldNotNumberText(std::string_view field);
// A picture file whose name asks for neither format.
// A plot output whose name has the other extension than --format gives.
std::string ChartFormatMismatchMessage(std::string_view path, std::string_view format);
std::string ChartFileTypeMessage(std::string_view path);
// A picture that the PNG encoder refused.
std::string PngEncodingFailedText();

// Cells pasted into the catalogue table.
inline constexpr char kPastedCellsSource[] = "pasted cells";
// A cell of the catalogue table edited in place.
inline constexpr char kEditedCellSource[] = "edited cell";
// "pasted cells row 2 column 5": a cell of the pasted block, counted from 1.
std::string PastedCellPlace(int row, int column);
std::string PasteTooLargeMessage(uint64_t size, uint64_t limit);
std::string PasteCommaSeparatedMessage();
std::string PasteTooWideMessage(size_t width, size_t room, std::string_view firstColumn);
std::string PasteTooLongMessage(size_t height, size_t room);
std::string PasteNothingMessage();
// A pasted entry number that is not the row's own.
std::string NumberIsTheRowText(std::string_view text);

// The message-box text: a full stop is appended when the message's last
// character has a higher code than the full stop ("...value" gets one, "(3)" not).
std::string WithFullStop(std::string message);

// "; did you mean 'dump'?": the hint after an unknown name, for the nearest
// known one (base/nearest_name.h); empty without one.
std::string DidYouMeanText(std::string_view name);

// The system's description of an errno value.
std::string SystemErrorText(int errorNumber);

}  // namespace varsk
