// CSV text (RFC 4180, UTF-8) of the dump and the edit files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varsk {

// A field, quoted when it holds a comma, a quote, CR or LF.
std::string CsvField(std::string_view text);

struct CsvRow {
  int line = 0;  // where the row starts, from 1
  std::vector<std::string> fields;
};
// Splits CSV text into rows of fields, skipping empty lines. Accepts CRLF or LF
// line ends and a UTF-8 byte order mark; throws VarskError("<source> line N:
// ...") when malformed or not UTF-8. `separator` is ',' or, for the
// tab-separated text that spreadsheets copy, '\t' (quoted fields alike).
std::vector<CsvRow> ParseCsv(std::string_view text, std::string_view source, char separator = ',');

// The separator of an edit file: a tab when its first line has tabs and no
// comma (cells copied from a spreadsheet or the catalogue table), else a comma.
char CsvSeparatorOf(std::string_view text);

}  // namespace varsk
