#include "edits/csv_text.h"

#include "base/messages.h"
#include "base/utf8.h"

namespace varsk {

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + '"';
}

std::vector<CsvRow> ParseCsv(std::string_view text, std::string_view source, char separator) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  for (size_t pos = 0; pos < text.size();) {
    const size_t length = Utf8SequenceLength(text.substr(pos));
    if (length == 0) throw VarskError(CsvErrorMessage(source, 0, CsvNotUtf8Text()));
    pos += length;
  }

  std::vector<CsvRow> rows;
  CsvRow row{1, {}};
  std::string field;
  int line = 1;
  bool rowStarted = false;  // anything seen in the current row
  auto endRow = [&] {
    row.fields.push_back(std::move(field));
    field.clear();
    // A line with nothing on it is not a row.
    if (rowStarted) rows.push_back(std::move(row));
    row = CsvRow{line, {}};
    rowStarted = false;
  };
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const char ch = text[i];
    const bool fieldStart =
        i == 0 || text[i - 1] == separator || text[i - 1] == '\n' || text[i - 1] == '\r';
    if (ch == '"' && field.empty() && fieldStart) {
      // A quoted field runs to the next lone quote.
      rowStarted = true;
      const int startLine = line;
      for (++i;; ++i) {
        if (i >= n)
          throw VarskError(CsvErrorMessage(source, startLine, CsvUnterminatedQuoteText()));
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            field += '"';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        if (text[i] == '\n') ++line;
        field += text[i];
      }
      if (i < n && text[i] != separator && text[i] != '\r' && text[i] != '\n') {
        throw VarskError(CsvErrorMessage(source, line, CsvTextAfterQuoteText()));
      }
      continue;
    }
    if (ch == separator) {
      rowStarted = true;
      row.fields.push_back(std::move(field));
      field.clear();
      ++i;
    } else if (ch == '\r' || ch == '\n') {
      i += ch == '\r' && i + 1 < n && text[i + 1] == '\n' ? 2 : 1;
      ++line;
      endRow();
    } else if (ch == '"') {
      throw VarskError(CsvErrorMessage(source, line, CsvStrayQuoteText()));
    } else {
      rowStarted = true;
      field += ch;
      ++i;
    }
  }
  if (rowStarted || !field.empty()) endRow();
  return rows;
}

char CsvSeparatorOf(std::string_view text) {
  const std::string_view firstLine = text.substr(0, text.find_first_of("\r\n"));
  const bool tabs = firstLine.find('\t') != std::string_view::npos;
  return tabs && firstLine.find(',') == std::string_view::npos ? '\t' : ',';
}

}  // namespace varsk
