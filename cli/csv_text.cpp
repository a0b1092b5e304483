#include "cli/csv_text.h"

#include <QStringDecoder>

#include "cli/cli_messages.h"
#include "cli/command_line.h"

namespace varsk::cli {

QString CsvField(const QString& text) {
  const bool needsQuotes = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                           text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
  if (!needsQuotes) {
    return text;
  }
  QString quoted = text;
  quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

std::vector<CsvRow> ParseCsv(const QByteArray& bytes, const QString& source) {
  QByteArray body = bytes;
  if (body.startsWith("\xEF\xBB\xBF")) {
    body.remove(0, 3);
  }
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder.decode(body);
  if (decoder.hasError()) {
    Fail(CsvErrorMessage(source, 0, CsvNotUtf8Text()));
  }

  std::vector<CsvRow> rows;
  QStringList row;
  QString field;
  int line = 1;
  int rowLine = 1;
  qsizetype i = 0;
  const qsizetype n = text.size();
  bool fieldStarted = false;  // anything seen in the current row
  auto endField = [&] {
    row.append(field);
    field.clear();
  };
  auto endRow = [&] {
    endField();
    // A line with nothing on it is not a row.
    if (!(row.size() == 1 && row.front().isEmpty() && !fieldStarted)) {
      rows.push_back(CsvRow{rowLine, row});
    }
    row.clear();
    fieldStarted = false;
  };
  while (i < n) {
    const QChar ch = text.at(i);
    if (ch == QLatin1Char('"') && field.isEmpty() &&
        (i == 0 || text.at(i - 1) == QLatin1Char(',') || text.at(i - 1) == QLatin1Char('\n') ||
         text.at(i - 1) == QLatin1Char('\r'))) {
      // A quoted field runs to the next lone quote.
      fieldStarted = true;
      const int startLine = line;
      ++i;
      for (;;) {
        if (i >= n) {
          Fail(CsvErrorMessage(source, startLine, CsvUnterminatedQuoteText()));
        }
        const QChar q = text.at(i);
        if (q == QLatin1Char('"')) {
          if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
            field += QLatin1Char('"');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (q == QLatin1Char('\n')) {
          ++line;
        }
        field += q;
        ++i;
      }
      if (i < n && text.at(i) != QLatin1Char(',') && text.at(i) != QLatin1Char('\r') &&
          text.at(i) != QLatin1Char('\n')) {
        Fail(CsvErrorMessage(source, line, CsvTextAfterQuoteText()));
      }
      continue;
    }
    if (ch == QLatin1Char(',')) {
      fieldStarted = true;
      endField();
      ++i;
    } else if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) {
      endRow();
      if (ch == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) {
        ++i;
      }
      ++i;
      ++line;
      rowLine = line;
    } else if (ch == QLatin1Char('"')) {
      Fail(CsvErrorMessage(source, line, CsvStrayQuoteText()));
    } else {
      fieldStarted = true;
      field += ch;
      ++i;
    }
  }
  if (fieldStarted || !field.isEmpty()) {
    endRow();
  }
  return rows;
}

}  // namespace varsk::cli
