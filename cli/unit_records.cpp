#include "cli/unit_records.h"

#include <cstdlib>
#include <new>
#include <type_traits>

#include "base/messages.h"
#include "cli/cli_messages.h"
#include "cli/command_line.h"
#include "cli/program_setup.h"
#include "data/embedded_data_set.h"
#include "data/entry_fields.h"
#include "data/move_types.h"
#include "data/rom_file.h"
#include "patch/patch_messages.h"

namespace varsk::cli {

// ---------------------------------------------------------------------------
// Records

void FreeDataSet::operator()(DataSet* dataSet) const { std::free(dataSet); }

namespace {

// A zeroed DataSet.
DataSetPtr NewDataSet() {
  // DataSet is an aggregate of integer arrays, an implicit-lifetime type:
  // calloc creates it, all zero.
  static_assert(std::is_trivially_copyable_v<DataSet> && std::is_aggregate_v<DataSet>);
  void* memory = std::calloc(1, sizeof(DataSet));
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return DataSetPtr(static_cast<DataSet*>(memory));
}

}  // namespace

DataSetPtr LoadRecords(const std::string& romPath, DataSetPart part) {
  DataSetPtr dataSet = NewDataSet();
  RegisterEmbeddedDataSet();
  if (part == DataSetPart::Records) {
    LoadDataSetRecords(*dataSet);
  } else {
    LoadDataSet(*dataSet);
  }
  if (!romPath.empty()) {
    RomBuffers buffers;
    LoadRomFile(romPath, buffers, *dataSet);
  }
  return dataSet;
}

DataSetPtr CopyOfRecords(const DataSet& from) {
  DataSetPtr to = NewDataSet();
  CopyRecords(from, *to);
  return to;
}

// ---------------------------------------------------------------------------
// Name lists

namespace {

// The folder of the name lists when neither --names nor the working directory has them.
constexpr char kNamesVariable[] = "VARSK_NAMES";

std::vector<std::string> NameListPaths(const std::string& dir) {
  const std::string folder = dir.empty() || dir.back() == '/' ? dir : dir + '/';
  return {folder + kNameListFileC, folder + kNameListFileE, folder + kNameListFileJ};
}

NameLists LoadNames(const std::string& dir) {
  const std::vector<std::string> paths = NameListPaths(dir);
  return NameLists{LoadNameList(paths[0]), LoadNameList(paths[1]), LoadNameList(paths[2])};
}

}  // namespace

QCommandLineOption NamesOption(const QString& description) {
  return QCommandLineOption(
      {QStringLiteral("names")},
      description.isEmpty()
          ? QStringLiteral("Folder of namestringC/E/J.txt (default: the working directory, else\n"
                           "$VARSK_NAMES, else the installed lists).")
          : description,
      QStringLiteral("DIR"));
}

// The folders the name lists may be read from without --names, in order.
std::vector<std::string> DefaultNameListFolders() {
  std::vector<std::string> folders{std::string()};
  if (const char* named = std::getenv(kNamesVariable); named != nullptr && *named != '\0') {
    folders.emplace_back(named);
  }
  folders.push_back(InstalledNameListFolder());
  return folders;
}

std::vector<std::string> NameListInputs(const QCommandLineParser& parser,
                                        const QCommandLineOption& option) {
  if (parser.isSet(option)) return NameListPaths(ArgumentBytes(parser.value(option)));
  // Every list that may be read is an input that no output may replace.
  std::vector<std::string> inputs;
  for (const std::string& folder : DefaultNameListFolders()) {
    for (std::string& path : NameListPaths(folder)) inputs.push_back(std::move(path));
  }
  return inputs;
}

std::optional<NameLists> LoadNameLists(const QCommandLineParser& parser,
                                       const QCommandLineOption& option, bool warnWhenMissing) {
  if (parser.isSet(option)) {
    return LoadNames(ArgumentBytes(parser.value(option)));
  }
  // Without --names: the working directory, then $VARSK_NAMES, then the
  // installed default lists; the first folder that holds all three. The
  // later folders are looked up only when the working directory fails.
  QString cause;
  try {
    return LoadNames(std::string());
  } catch (const VarskError& error) {
    cause = QString::fromUtf8(error.what());
  }
  std::vector<std::string> folders = DefaultNameListFolders();
  folders.erase(folders.begin());  // the working directory, tried above
  for (const std::string& folder : folders) {
    try {
      return LoadNames(folder);
    } catch (const VarskError&) {
      // The warning gives the first cause, in the working directory.
    }
  }
  if (warnWhenMissing) {
    QStringList tried{QStringLiteral("the working directory")};
    for (const std::string& folder : folders) tried.append(ShownPath(folder));
    if (folders.size() == 2) tried[1] = QLatin1String(kNamesVariable) + QLatin1Char('=') + tried[1];
    PrintWarning(NamesLeftOutMessage(cause, tried));
  }
  return std::nullopt;
}

QString EntryName(const NameLists& names, NameListLanguage language, int entryIndex) {
  const NameList& list = language == NameListLanguage::C   ? names.c
                         : language == NameListLanguage::E ? names.e
                                                           : names.j;
  if (entryIndex < 1 || static_cast<size_t>(entryIndex) > list.size()) {
    return {};
  }
  return DecodeNameLine(list[static_cast<size_t>(entryIndex - 1)], language);
}

QString WeaponName(const NameLists& names, int64_t weaponId) {
  if (weaponId < 1 || weaponId > kWeaponCount) return {};
  const size_t line = static_cast<size_t>(WeaponNameLine(static_cast<int>(weaponId)));
  if (line >= names.e.size()) return {};
  return DecodeNameLine(names.e[line], NameListLanguage::E);
}

EntryNameOf EntryNames(const NameLists* names) {
  if (names == nullptr) return {};
  return [names](int entryIndex, NameListLanguage language) {
    return EntryName(*names, language, entryIndex).toStdString();
  };
}

// ---------------------------------------------------------------------------
// Changes

QByteArray ChangeLines(std::span<const FieldChange> changes, const NameLists* names) {
  std::string text;
  for (const FieldChange& change : changes) {
    const EntryField& field = *change.field;
    // Ids show the name they stand for; weapon names need the lists.
    const auto shown = [&](int64_t value) {
      const std::string number = FieldValueText(field, value);
      if (IsMoveTypeField(field)) return NamedValueText(number, MoveTypeName(value));
      if (!IsWeaponIdField(field) || names == nullptr) return number;
      if (value == 0) return NoWeaponText(number);
      return NamedValueText(number, WeaponName(*names, value).toStdString());
    };
    const std::string name =
        names != nullptr ? EntryName(*names, NameListLanguage::E, change.entryIndex).toStdString()
                         : std::string();
    text += DiffChangeLine(change.entryIndex, name, field.name, shown(change.oldValue),
                           shown(change.newValue)) +
            '\n';
  }
  return QByteArray::fromStdString(text);
}

QByteArray DiffText(const UnitTableDiff& diff, std::span<const uint8_t> a,
                    std::span<const uint8_t> b, const NameLists* names) {
  std::string summary = DiffCountLine(diff.changes.size()) + "\n";
  if (diff.unseenTableBytes > 0) summary += DiffUnseenLine(diff.unseenTableBytes) + "\n";
  summary += DiffOutsideLine(CountDifferencesOutsideTables(a, b), a.size(), b.size()) + "\n";
  return ChangeLines(diff.changes, names) + QByteArray::fromStdString(summary);
}

}  // namespace varsk::cli
