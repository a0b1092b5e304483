// Every message text of the programs, one function per format.
#include "base/messages.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "base/shown_text.h"

namespace varsk {
namespace {

std::string Join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text.append(part);
  return text;
}

}  // namespace

std::string InvalidIntegerMessage(std::string_view text) {
  return Join({"'", QuotedValue(text), "' is not a valid integer value"});
}

std::string CannotOpenFileMessage(std::string_view path, std::string_view cause) {
  return Join({"Cannot open file \"", path, "\". ", cause});
}

std::string CannotCreateFileMessage(std::string_view path, std::string_view cause) {
  return Join({"Cannot create file \"", path, "\". ", cause});
}

std::string ResourceNotFoundMessage(std::string_view name) {
  return Join({"Resource ", name, " not found"});
}

std::string ListIndexOutOfBoundsMessage(int64_t index) {
  return Join({"List index out of bounds (", std::to_string(index), ")"});
}

std::string RomTooShortMessage(std::string_view path, int64_t size, int64_t needed) {
  return Join({"File \"", path, "\" is too short to hold the unit tables (", std::to_string(size),
               " bytes, at least ", std::to_string(needed), " needed)"});
}

std::string CannotWriteFileMessage(std::string_view path, std::string_view cause) {
  return Join({"Cannot write file \"", path, "\". ", cause});
}

std::string CannotReadFileMessage(std::string_view path, std::string_view cause) {
  return Join({"Cannot read file \"", path, "\". ", cause});
}

std::string FileTooLargeMessage(std::string_view path, uint64_t limit, std::string_view what) {
  return Join({"Cannot read file \"", path, "\": it is larger than ", std::to_string(limit),
               " bytes, the most ", what, " may have"});
}

std::string NotARegularFileText(std::string_view what) {
  return Join({"It is ", what, ", not a regular file"});
}

std::string FifoWithoutWriterText() { return "It is a FIFO that no program writes to"; }

std::string StandardInputNotHereMessage() {
  return "'-' (standard input) cannot stand for this file: only import's edit file and apply's "
         "patch are read from it (./- names a file called '-')";
}

std::string StandardOutputNotHereMessage() {
  return "'-' (standard output) cannot stand for this file (./- names a file called '-')";
}

std::string CannotReadStandardInputMessage(std::string_view cause) {
  return Join({"Cannot read standard input. ", cause});
}

std::string StandardInputTooLargeMessage(uint64_t limit, std::string_view what) {
  return Join({"Cannot read standard input: it holds more than ", std::to_string(limit),
               " bytes, the most ", what, " may have"});
}

std::string BinaryFromTerminalMessage(std::string_view what) {
  return Join(
      {"standard input is a terminal, and ", what, " is not typed: pipe it in or name its file"});
}

std::string FileLockedText(int waitedSeconds) {
  return Join(
      {"Another program keeps it locked (waited ", std::to_string(waitedSeconds), " seconds)"});
}

std::string FileKeepsBeingReplacedText() {
  return "Other programs keep replacing it while this one waits for it";
}

std::string LinkDoesNotNameFileText() {
  return "Its link does not name the file it opens (a deleted file?)";
}

std::string DescriptorLinkText() {
  return "It names a file that a program holds open, not a file of its own; give '-' for "
         "standard output";
}

std::string NoDisplayMessage() {
  return "no display found; run it on a desktop or under xvfb-run.";
}

std::string DrawingCannotStartMessage() {
  return "render: Qt's offscreen drawing cannot start here";
}

std::string TooFewDescriptorsMessage(int64_t free, int64_t needed) {
  return Join({"Too few file descriptors: ", std::to_string(free), " free, at least ",
               std::to_string(needed), " needed (raise the limit with 'ulimit -n')"});
}

std::string NothingToSaveMessage() {
  return "Nothing to save: neither the data set nor a ROM has been loaded, so the unit records "
         "are empty. Load a ROM first";
}

std::string ControlOutOfRangeMessage(std::string_view control, int64_t value, int64_t minimum,
                                     int64_t maximum) {
  return Join({control, ": ", std::to_string(value), " is out of range (", std::to_string(minimum),
               " to ", std::to_string(maximum), ")."});
}

std::string ControlNamesText(const std::vector<std::string>& names) {
  // A question stays short: three names at most, then how many more.
  constexpr size_t kNamed = 3;
  const size_t named = names.size() > kNamed + 1 ? kNamed : names.size();
  std::string text;
  for (size_t i = 0; i < named; ++i) {
    if (i > 0) text += i + 1 == named && named == names.size() ? " and " : ", ";
    text += names[i];
  }
  if (named < names.size()) text += Join({" and ", std::to_string(names.size() - named), " more"});
  return text;
}

std::string BuiltInTablesQuestion(std::string_view path, bool lastLoadFailed) {
  const std::string_view why =
      lastLoadFailed
          ? "The last Load ROM failed, so the entries in this window were not read from a ROM "
            "just now."
          : "No ROM has been loaded, so the entries in this window are the editor's built-in "
            "tables.";
  return Join({why, "\n\nWriting them replaces all 229 entries of the unit tables in \"", path,
               "\" with these; every value that file's tables hold now is lost. The rest of the "
               "file stays as it is.\n\nTo change that file's own tables, cancel and use Load "
               "ROM first."});
}

std::string UnappliedValuesQuestion(const std::vector<std::string>& controls) {
  return Join({ControlNamesText(controls),
               controls.size() == 1 ? " holds a typed value" : " hold typed values",
               " that Apply has not stored in the entry.\n\nApply and save stores ",
               controls.size() == 1 ? "it" : "them",
               " first; "
               "Save without them writes the entries as they are stored."});
}

std::string UnsavedChangesQuestion(std::string_view path, bool recordsChanged,
                                   const std::vector<std::string>& typed) {
  std::string text = recordsChanged ? "The entries have changes that are not saved" : "";
  if (!typed.empty()) {
    text += recordsChanged ? ", and " : "";
    text += Join({ControlNamesText(typed),
                  typed.size() == 1 ? " holds a typed value" : " hold typed values",
                  " not applied yet"});
  }
  text += ".\n\n";
  if (path.empty()) {
    text += "Save the changes to a ROM file before closing?";
  } else {
    text += Join({"Save the changes to \"", path, "\" before closing?"});
  }
  return text;
}

std::string EditErrorMessage(std::string_view place, int entryIndex, std::string_view field,
                             std::string_view problem) {
  std::string where(place);
  if (entryIndex > 0) where += ": entry " + std::to_string(entryIndex);
  if (!field.empty()) where += Join({entryIndex > 0 ? ", field " : ": field ", QuotedValue(field)});
  return Join({where, ": ", problem});
}

std::string CsvPlace(std::string_view source, int line) {
  return Join({source, " line ", std::to_string(line)});
}

std::string JsonPlace(std::string_view source, int64_t entryPosition) {
  return Join({source, " entries[", std::to_string(entryPosition), "]"});
}

std::string EditFileEmptyMessage(std::string_view source) {
  return Join({source, ": the edit file is empty"});
}

std::string CsvErrorMessage(std::string_view source, int line, std::string_view problem) {
  if (line <= 0) return Join({source, ": ", problem});
  return Join({CsvPlace(source, line), ": ", problem});
}

std::string CsvNotUtf8Text() {
  return "the CSV text is not valid UTF-8: save it as UTF-8 (in a spreadsheet: Save as, CSV, "
         "with character set UTF-8)";
}

std::string CsvUnterminatedQuoteText() { return "a quoted field is never closed"; }

std::string CsvTextAfterQuoteText() { return "text follows the closing quote of a field"; }

std::string CsvStrayQuoteText() {
  return "a quote inside an unquoted field (quote the whole field)";
}

std::string UnknownColumnText(std::string_view column, std::string_view nearest) {
  return Join({"unknown column \"", QuotedValue(column), "\"", DidYouMeanText(nearest)});
}

std::string SemicolonHeaderText() {
  return "the header is separated by ';', but edit files separate columns with commas (or "
         "tabs): save it as CSV with ',' as the field separator";
}

std::string DuplicateColumnText(std::string_view column) {
  return Join({"column \"", QuotedValue(column), "\" appears twice"});
}

std::string MissingEntryColumnText() { return "the header has no entryIndex column"; }

std::string FieldCountText(size_t count, size_t expected) {
  return Join({std::to_string(count), " fields where the header has ", std::to_string(expected)});
}

std::string JsonErrorMessage(std::string_view source, int64_t offset, std::string_view problem) {
  if (offset < 0) return Join({source, ": ", problem});
  return Join({source, ": malformed JSON at byte ", std::to_string(offset), ": ", problem});
}

std::string JsonTooDeepText() { return "too deeply nested document"; }

std::string UnknownTopLevelKeyText(std::string_view key) {
  return Join({"unknown key \"", QuotedValue(key), "\" (expected only \"entries\")"});
}

std::string MissingEntriesText() {
  return "expected an object with an \"entries\" array, or an array";
}

std::string RepeatedKeyText() { return "the key appears twice in one object"; }

std::string ExpectedArrayText() { return "expected an array"; }

std::string ExpectedObjectText() { return "expected an object"; }

std::string ExpectedStringText() { return "expected a string"; }

std::string TooManyWeaponsText(int64_t count) {
  return std::to_string(count) + " weapon slots (allowed 0..8)";
}

std::string MissingEntryIndexText() { return "missing (allowed 1..229)"; }

namespace {

std::string Range(int64_t minimum, int64_t maximum) {
  return Join({"(allowed ", std::to_string(minimum), "..", std::to_string(maximum), ")"});
}

}  // namespace

std::string NotAnIntegerText(std::string_view text, int64_t minimum, int64_t maximum) {
  return Join({"'", QuotedValue(text), "' is not a valid integer value ", Range(minimum, maximum)});
}

std::string OutOfRangeText(std::string_view text, int64_t minimum, int64_t maximum) {
  return Join({"value ", QuotedValue(text), " is out of range ", Range(minimum, maximum)});
}

std::string NoSuchEntryText(std::string_view text, int64_t minimum, int64_t maximum) {
  return Join({"no entry ", QuotedValue(text), " ", Range(minimum, maximum)});
}

std::string DuplicateEntryText(std::string_view firstPlace) {
  return Join({"the entry is edited twice (first at ", firstPlace, ")"});
}

std::string FieldEditedTwiceText() { return "the entry gives this field twice"; }

std::string NotStoredText(std::string_view text, int64_t current) {
  return Join({"value ", QuotedValue(text),
               " cannot be set: the ROM does not store this field (allowed: its current value ",
               std::to_string(current), ")"});
}

std::string RawBytesText(std::string_view text, int count) {
  const std::string bytes = std::to_string(count);
  return Join({"value \"", QuotedValue(text), "\" is not ", bytes, " raw bytes (allowed: ", bytes,
               " bytes of 0..255, as the dump writes them)"});
}

std::string KindMismatchText(std::string_view text, std::string_view current) {
  return Join(
      {"value \"", QuotedValue(text), "\" is not the entry's kind (allowed: \"", current, "\")"});
}

std::string NameMismatchText(std::string_view text, std::string_view current) {
  return Join({"value \"", QuotedValue(text),
               "\" differs from the name list; names are not stored in the ROM (allowed: \"",
               QuotedValue(current), "\")"});
}

std::string FieldOfOtherKindText(std::string_view kind) {
  return Join({"unknown field for an entry of kind \"", kind, "\""});
}

std::string UnknownFieldText() { return "unknown field"; }

std::string FilterUnknownFieldText(std::string_view condition, std::string_view field) {
  return Join({"'", QuotedValue(condition), "': no field '", QuotedValue(field),
               "' (fields are named as the dump's columns: cost, hp, w2.ammo, kind)"});
}

std::string FilterNotANumberText(std::string_view condition, std::string_view value) {
  return Join({"'", QuotedValue(condition), "': '", QuotedValue(value), "' is not a number"});
}

std::string FilterMissingValueText(std::string_view condition) {
  return Join({"'", QuotedValue(condition), "': the value is missing"});
}

std::string FilterKindText(std::string_view condition, std::string_view value) {
  return Join(
      {"'", QuotedValue(condition), "': kind is ms or ship, not '", QuotedValue(value), "'"});
}

std::string FilterKindOperatorText(std::string_view condition) {
  return Join({"'", QuotedValue(condition), "': kind takes = or != only"});
}

std::string FilterNotComparableText(std::string_view condition, std::string_view field) {
  return Join({"'", QuotedValue(condition), "': ", QuotedValue(field),
               " is not compared as a number; type a word to find a name"});
}

std::string FilterUnclosedQuoteText() { return "a quote is not closed"; }

std::string ChartTitleText(std::string_view yField, std::string_view xField) {
  return Join({yField, " against ", xField});
}

std::string ChartCountText(size_t shown, size_t total, std::string_view filter) {
  std::string text = Join({std::to_string(shown), " of ", std::to_string(total), " entries"});
  if (!filter.empty()) text += Join({"; filter: ", QuotedValue(filter)});
  return text;
}

std::string ChartLegendText(std::string_view kindLabel, size_t count) {
  return Join({kindLabel, " ", std::to_string(count)});
}

std::string ChartPointText(std::string_view number, std::string_view name, std::string_view xField,
                           int64_t x, std::string_view yField, int64_t y) {
  return Join({number, name.empty() ? "" : " ", QuotedValue(name), ": ", xField, " ",
               std::to_string(x), ", ", yField, " ", std::to_string(y)});
}

std::string ChartMorePointsText(size_t count) {
  return Join({"and ", std::to_string(count), " more"});
}

std::string ChartNoEntryText(std::string_view filter) {
  if (filter.empty()) return "There is no entry to chart";
  return Join({"No entry meets the filter '", QuotedValue(filter), "'"});
}

std::string ChartFieldNotHeldText(std::string_view field, size_t entries,
                                  std::string_view holders) {
  std::string text = entries == 1
                         ? Join({"The one entry the filter leaves lacks the field '", field, "'"})
                         : Join({"None of the ", std::to_string(entries),
                                 " entries the filter leaves has the field '", field, "'"});
  if (!holders.empty()) text += Join({" (only ", holders, " have it)"});
  return text;
}

std::string ChartNoEntryWithBothText(std::string_view xField, std::string_view yField) {
  return Join({"No entry has both '", xField, "' and '", yField, "'"});
}

std::string ChartFieldUnknownText(std::string_view field) {
  return Join({"'", QuotedValue(field),
               "' is no field of the dump (fields are named as its columns: cost, hp, w2.ammo)"});
}

std::string ChartFieldNotNumberText(std::string_view field) {
  return Join({"'", QuotedValue(field), "' does not hold a number to chart"});
}

std::string ChartFormatMismatchMessage(std::string_view path, std::string_view format) {
  return Join({"--format ", format, " does not match the name \"", path,
               "\": leave --format out, or name the file for the format"});
}

std::string ChartFileTypeMessage(std::string_view path) {
  return Join(
      {"Cannot write the chart to \"", path, "\": give the file a name ending in .svg or .png"});
}

std::string PngEncodingFailedText() { return "the PNG image could not be made"; }

std::string PastedCellPlace(int row, int column) {
  return Join(
      {kPastedCellsSource, " row ", std::to_string(row), " column ", std::to_string(column)});
}

std::string PasteTooLargeMessage(uint64_t size, uint64_t limit) {
  return Join({"The pasted text is ", std::to_string(size), " bytes, more than the ",
               std::to_string(limit), " bytes a paste may have; nothing was changed"});
}

std::string PasteCommaSeparatedMessage() {
  return "The pasted text is separated by commas, not tabs; copy the cells from a spreadsheet or "
         "the table (tab-separated). Nothing was changed";
}

std::string PasteTooWideMessage(size_t width, size_t room, std::string_view firstColumn) {
  return Join({"The pasted block is ", std::to_string(width), " columns wide; from column ",
               firstColumn, " on only ", std::to_string(room), " fit. Nothing was changed"});
}

std::string PasteTooLongMessage(size_t height, size_t room) {
  return Join({"The pasted block is ", std::to_string(height),
               " rows long; from the current row on only ", std::to_string(room),
               " are shown. Nothing was changed"});
}

std::string PasteNothingMessage() { return "There is nothing to paste"; }

std::string NumberIsTheRowText(std::string_view text) {
  return Join({"'", QuotedValue(text), "' is not the entry's own number, which cannot change"});
}

std::string WithFullStop(std::string message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  return message;
}

std::string DidYouMeanText(std::string_view name) {
  if (name.empty()) return {};
  return Join({"; did you mean '", QuotedValue(name), "'?"});
}

std::string SystemErrorText(int errorNumber) { return std::strerror(errorNumber); }

}  // namespace varsk
