#include "cli/change_report.h"

#include "cli/cli_messages.h"

namespace varsk::cli {

QByteArray DryRunReport(const std::vector<ValueChange>& changes, const NameLists* names,
                        qsizetype count) {
  QString text;
  for (const ValueChange& change : changes) {
    const QString name =
        names != nullptr ? EntryName(*names, NameListLanguage::E, change.entryIndex) : QString();
    text += ChangeLineText(change.entryIndex, name, change.field, change.before, change.after) +
            QLatin1Char('\n');
  }
  text += ChangeCountText(count, true) + QLatin1Char('\n');
  return text.toUtf8();
}

}  // namespace varsk::cli
