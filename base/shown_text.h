// Text and file names from outside as messages and reports show them: one
// line, never cut short by a control byte, whatever bytes they hold.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varsk {

// Text from outside as a message or a report shows it: UTF-8 text as it is;
// control characters (C0 with NUL, DEL, C1), the line and paragraph
// separators and the direction controls as the \xNN of their bytes, and so
// every byte that is not UTF-8; so the text stays one line, is never cut
// short and cannot act on a terminal.
std::string ShownText(std::string_view text);
// A bad value quoted in a message: ShownText cut to kQuotedValueLength
// characters, with "..." after a value that was longer.
inline constexpr size_t kQuotedValueLength = 60;
std::string QuotedValue(std::string_view value);

// The full path of a file name, as messages show it: relative names are taken
// from the working directory, and control bytes and bytes that are not UTF-8
// are shown escaped (ShownText).
std::string FullPath(std::string_view fileName);

// Bytes meant as ASCII (a cartridge header's title and codes) in double
// quotes: printable ASCII as it is; every other byte, the quote and the
// backslash as \xNN, so that the bytes can be read back from the text.
std::string QuotedAsciiText(std::string_view bytes);

}  // namespace varsk
