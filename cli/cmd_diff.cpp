// varsk-units diff A B [--format text|json] [--names DIR]
#include <QCommandLineParser>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "cli/cli_common.h"
#include "cli/cli_messages.h"
#include "cli/commands.h"
#include "data/file_io.h"
#include "data/messages.h"
#include "data/rom_file.h"
#include "patch/patch_messages.h"
#include "patch/table_diff.h"

namespace varsk::cli {

namespace {

// diff(1)'s exit statuses.
constexpr int kDiffSame = 0;
constexpr int kDiffDifferent = 1;
constexpr int kDiffTrouble = 2;

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string NameOf(const NameLists* names, int entryIndex) {
  if (names == nullptr) return {};
  return EntryName(*names, NameListLanguage::E, entryIndex).toStdString();
}

QByteArray DiffText(const UnitTableDiff& diff, const NameLists* names, int64_t outside,
                    uint64_t sizeA, uint64_t sizeB) {
  std::string text;
  for (const FieldChange& change : diff.changes) {
    text += DiffChangeLine(change.entryIndex, NameOf(names, change.entryIndex), change.field->name,
                           FieldValueText(*change.field, change.oldValue),
                           FieldValueText(*change.field, change.newValue)) +
            "\n";
  }
  text += DiffCountLine(diff.changes.size()) + "\n";
  if (diff.unseenTableBytes > 0) text += DiffUnseenLine(diff.unseenTableBytes) + "\n";
  text += DiffOutsideLine(outside, sizeA, sizeB) + "\n";
  return QByteArray::fromStdString(text);
}

QByteArray DiffJson(const UnitTableDiff& diff, const NameLists* names, int64_t outside) {
  std::string text = "{\"changes\": [";
  bool first = true;
  for (const FieldChange& change : diff.changes) {
    text += first ? "\n" : ",\n";
    first = false;
    text += "  {\"entryIndex\": " + std::to_string(change.entryIndex) +
            ", \"kind\": " + JsonString(KindName(change.kind));
    if (names != nullptr) text += ", \"name\": " + JsonString(NameOf(names, change.entryIndex));
    text += ", \"field\": " + JsonString(change.field->name) +
            ", \"old\": " + FieldValueJson(*change.field, change.oldValue) +
            ", \"new\": " + FieldValueJson(*change.field, change.newValue) + "}";
  }
  text += diff.changes.empty() ? "]" : "\n]";
  text += ", \"unseenTableBytes\": " + std::to_string(diff.unseenTableBytes) +
          ", \"bytesDifferingOutsideTables\": " + std::to_string(outside) + "}\n";
  return QByteArray::fromStdString(text);
}

int Diff(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Compare the unit tables of two ROMs, each loaded as 'dump ROM' loads it, field by\n"
      "field: one line per changed field, 'entryIndex name field: old -> new', in entry\n"
      "order, then a count, then whether the files differ anywhere else (and in how many\n"
      "bytes). Exit status 0: the tables are the same, 1: they differ, 2: trouble."));
  parser.addPositionalArgument(QStringLiteral("A"), QStringLiteral("The ROM before."));
  parser.addPositionalArgument(QStringLiteral("B"), QStringLiteral("The ROM after."));
  const QCommandLineOption format(QStringList{QStringLiteral("format")},
                                  QStringLiteral("Output format: text (default) or json."),
                                  QStringLiteral("text|json"), QStringLiteral("text"));
  const QCommandLineOption namesDir(
      QStringList{QStringLiteral("names")},
      QStringLiteral("Folder of namestringC/E/J.txt (default: the working directory)."),
      QStringLiteral("DIR"));
  parser.addOptions({format, namesDir});
  if (!ParseCommandLine(parser, QStringLiteral("diff"), args, 2, 2)) {
    return kExitSuccess;
  }
  const QString formatName = parser.value(format).toLower();
  if (formatName != QLatin1String("text") && formatName != QLatin1String("json")) {
    FailUsage(UsageMessage(
        QStringLiteral("diff"),
        QStringLiteral("unknown format '%1' (allowed: text, json)")
            .arg(QString::fromStdString(QuotedValue(ArgumentBytes(parser.value(format)))))));
  }
  const std::string pathA = ArgumentBytes(parser.positionalArguments().at(0));
  const std::string pathB = ArgumentBytes(parser.positionalArguments().at(1));

  // As dump ROM loads them: the embedded data set, then Load ROM's table
  // reads; DiffUnitTables unpacks each ROM's tables over copies of the records.
  auto dataSet = NewDataSet();
  LoadRecords(std::string(), *dataSet);
  RomBuffers tablesA;
  RomBuffers tablesB;
  for (const auto& [path, tables] : {std::pair{&pathA, &tablesA}, std::pair{&pathB, &tablesB}}) {
    ReadRomTables(*path, *tables);
  }
  const std::vector<uint8_t> bytesA = ReadWholeFile(pathA, FileKind::RomImage);
  const std::vector<uint8_t> bytesB = ReadWholeFile(pathB, FileKind::RomImage);

  const UnitTableDiff diff = DiffUnitTables(*dataSet, tablesA, tablesB);
  const int64_t outside = CountDifferencesOutsideTables(bytesA, bytesB);

  // Names only matter when there is something to name; --names must load.
  std::optional<NameLists> names;
  if (!diff.changes.empty()) {
    names = parser.isSet(namesDir)
                ? std::optional<NameLists>(LoadNames(ArgumentBytes(parser.value(namesDir))))
                : TryLoadNames(std::string());
  }
  const NameLists* namesOrNull = names ? &*names : nullptr;
  WriteOutput(std::string(),
              formatName == QLatin1String("json")
                  ? DiffJson(diff, namesOrNull, outside)
                  : DiffText(diff, namesOrNull, outside, bytesA.size(), bytesB.size()));
  return diff.changes.empty() && diff.unseenTableBytes == 0 ? kDiffSame : kDiffDifferent;
}

}  // namespace

int RunDiff(const QStringList& args) {
  // Any trouble is status 2 here, as in diff(1); 1 means "the tables differ".
  try {
    return Diff(args);
  } catch (const std::bad_alloc&) {
    PrintError(OutOfMemoryMessage());
  } catch (const std::exception& error) {
    PrintError(QString::fromUtf8(error.what()));
  }
  return kDiffTrouble;
}

}  // namespace varsk::cli
