#include "cli/change_report.h"

#include <cstdio>

#include "cli/cli_messages.h"

namespace varsk::cli {

namespace {

void PrintLine(const QString& line) {
  const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

}  // namespace

void PrintChanges(const std::vector<ValueChange>& changes, const NameLists* names) {
  for (const ValueChange& change : changes) {
    const QString name =
        names != nullptr ? EntryName(*names, NameListLanguage::E, change.entryIndex) : QString();
    PrintLine(ChangeLineText(change.entryIndex, name, change.field, change.before, change.after));
  }
  std::fflush(stdout);
}

void PrintChangeCount(qsizetype count, bool dryRun) {
  PrintLine(ChangeCountText(count, dryRun));
  std::fflush(stdout);
}

}  // namespace varsk::cli
