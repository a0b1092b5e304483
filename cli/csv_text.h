// CSV text (RFC 4180, UTF-8) of the dump and the edit files.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace varsk::cli {

// A field, quoted when it holds a comma, a quote, CR or LF.
QString CsvField(const QString& text);

struct CsvRow {
  int line = 0;  // where the row starts, from 1
  QStringList fields;
};
// Splits CSV text into rows of fields, skipping empty lines. Accepts CRLF or LF
// line ends and a UTF-8 byte order mark; throws VarskError("<source> line N: ...")
// when malformed.
std::vector<CsvRow> ParseCsv(const QByteArray& text, const QString& source);

}  // namespace varsk::cli
