#include "cli/cli_common.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#include "cli/cli_messages.h"
#include "data/embedded_data_set.h"
#include "data/file_io.h"
#include "data/messages.h"
#include "data/rom_file.h"

namespace varsk::cli {

// ---------------------------------------------------------------------------
// Errors and exit codes

void Fail(const QString& message) { throw VarskError(message.toStdString()); }

void FailUsage(const QString& message) { throw UsageError(message); }

namespace {

void WriteLine(FILE* stream, const QString& line) {
  const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
  std::fflush(stream);
}

// One line: a message never spreads over several lines of stderr.
QString OneLine(QString text) {
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text.trimmed();
}

}  // namespace

void PrintError(const QString& message) {
  WriteLine(stderr, QStringLiteral("varsk-units: ") + OneLine(message));
}

void PrintWarning(const QString& message) {
  WriteLine(stderr, QStringLiteral("varsk-units: warning: ") + OneLine(message));
}

int RunCommand(const std::function<int()>& body) {
  try {
    return body();
  } catch (const UsageError& error) {
    PrintError(QString::fromUtf8(error.what()));
    return kExitUsage;
  } catch (const VarskError& error) {
    PrintError(QString::fromUtf8(error.what()));
    return kExitError;
  } catch (const std::bad_alloc&) {
    PrintError(OutOfMemoryMessage());
    return kExitError;
  } catch (const std::exception& error) {
    PrintError(QString::fromUtf8(error.what()));
    return kExitError;
  }
}

// ---------------------------------------------------------------------------
// Command line

bool ParseCommandLine(QCommandLineParser& parser, const QString& command, const QStringList& args,
                      int minPositional, int maxPositional) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                      QStringLiteral("Show this help."));
  parser.addOption(helpOption);
  if (!parser.parse(QStringList{QStringLiteral("varsk-units")} + args)) {
    // The parser's text quotes the bad option, which may be anything.
    FailUsage(UsageMessage(command,
                           QString::fromStdString(QuotedValue(ArgumentBytes(parser.errorText())))));
  }
  if (parser.isSet(helpOption)) {
    // helpText() names the program only; the usage line also names the command.
    QString help = parser.helpText();
    static const QRegularExpression usageLine(QStringLiteral("^Usage: \\S+"));
    help.replace(usageLine, QStringLiteral("Usage: varsk-units ") + command);
    WriteOutput(std::string(), help.toUtf8());
    return false;
  }
  const qsizetype count = parser.positionalArguments().size();
  if (count < minPositional) {
    FailUsage(UsageMessage(command, MissingArgumentText()));
  }
  if (count > maxPositional) {
    FailUsage(UsageMessage(command, UnexpectedArgumentText(parser.positionalArguments().at(
                                        static_cast<qsizetype>(maxPositional)))));
  }
  return true;
}

int ParseIntOption(const QCommandLineParser& parser, const QString& option, int minimum,
                   int maximum) {
  const QString text = parser.value(option);
  bool ok = false;
  const qlonglong value = text.trimmed().toLongLong(&ok);
  if (!ok || value < minimum || value > maximum) {
    FailUsage(BadOptionValueMessage(option, text, minimum, maximum));
  }
  return static_cast<int>(value);
}

// ---------------------------------------------------------------------------
// Records

std::unique_ptr<DataSet> NewDataSet() { return std::make_unique<DataSet>(); }

void FreeDataSet::operator()(DataSet* dataSet) const { std::free(dataSet); }

RecordsPtr NewRecords() {
  // DataSet is an aggregate of integer arrays, an implicit-lifetime type:
  // calloc creates it, all zero.
  static_assert(std::is_trivially_copyable_v<DataSet> && std::is_aggregate_v<DataSet>);
  void* memory = std::calloc(1, sizeof(DataSet));
  if (memory == nullptr) {
    throw std::bad_alloc();
  }
  return RecordsPtr(static_cast<DataSet*>(memory));
}

void CopyRecordTables(const DataSet& from, DataSet& to) {
  to.msCount = from.msCount;
  to.shipCount = from.shipCount;
  to.msRecords = from.msRecords;
  to.shipRecords = from.shipRecords;
}

namespace {

// The length of the data set's first part: the header value and the MS and
// ship record tables. Anything malformed gives the whole stream, which the
// loader then handles as always.
size_t RecordTablesLength(std::span<const uint8_t> bytes) {
  auto readInt = [&](size_t pos) {
    int32_t value = 0;
    std::memcpy(&value, bytes.data() + pos, sizeof value);
    return value;
  };
  size_t pos = 4;
  for (int table = 0; table < 2; ++table) {
    if (pos > bytes.size() || bytes.size() - pos < 8) {
      return bytes.size();
    }
    const int64_t count = readInt(pos);
    const int64_t elementSize = readInt(pos + 4);
    pos += 8;
    if (count < 0 || elementSize < 0) {
      return bytes.size();
    }
    const auto length = static_cast<uint64_t>(count) * static_cast<uint64_t>(elementSize);
    if (length > bytes.size() - pos) {
      return bytes.size();
    }
    pos += static_cast<size_t>(length);
  }
  return pos;
}

void LoadRom(const std::string& romPath, DataSet& dataSet, RomBuffers* romBuffers) {
  if (romPath.empty()) {
    return;
  }
  RomBuffers buffers;
  ReadRomTables(romPath, buffers);
  UnpackRomTables(buffers, dataSet);
  if (romBuffers != nullptr) {
    *romBuffers = buffers;
  }
}

}  // namespace

void LoadRecords(const std::string& romPath, DataSet& dataSet, RomBuffers* romBuffers) {
  RegisterEmbeddedDataSet();
  LoadDataSet(dataSet);
  LoadRom(romPath, dataSet, romBuffers);
}

void LoadRecordTables(const std::string& romPath, DataSet& dataSet, RomBuffers* romBuffers) {
  const std::span<const uint8_t> bytes = EmbeddedDataSetBytes();
  if (bytes.size() < 4) {
    // Let the loader report what it reports for an unusable resource.
    LoadRecords(romPath, dataSet, romBuffers);
    return;
  }
  LoadDataSetFromBytes(dataSet, bytes.first(RecordTablesLength(bytes)));
  LoadRom(romPath, dataSet, romBuffers);
}

// ---------------------------------------------------------------------------
// Name lists

std::vector<std::string> NameListPaths(const std::string& dir) {
  const std::string folder = dir.empty() || dir.back() == '/' ? dir : dir + '/';
  return {folder + kNameListFileC, folder + kNameListFileE, folder + kNameListFileJ};
}

NameLists LoadNames(const std::string& dir) {
  const std::vector<std::string> paths = NameListPaths(dir);
  NameLists names;
  names.c = LoadNameList(paths[0]);
  names.e = LoadNameList(paths[1]);
  names.j = LoadNameList(paths[2]);
  return names;
}

std::optional<NameLists> TryLoadNames(const std::string& dir) {
  try {
    return LoadNames(dir);
  } catch (const VarskError& error) {
    PrintWarning(NamesLeftOutMessage(QString::fromUtf8(error.what())));
    return std::nullopt;
  }
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

QString DisplayName(const NameLists* names, int entryIndex) {
  QString text = QString::fromStdString(ThreeDigitNumber(entryIndex));
  if (names != nullptr) {
    // Lines fetched in the order E, C, J, as the entry list shows them.
    for (NameListLanguage language :
         {NameListLanguage::E, NameListLanguage::C, NameListLanguage::J}) {
      text += QLatin1Char(' ') + EntryName(*names, language, entryIndex);
    }
  }
  return text;
}

// ---------------------------------------------------------------------------
// Fields of an entry

namespace {

constexpr int32_t k16 = 65535;
constexpr int32_t k8 = 255;

constexpr EntryField Ms(const char* name, int32_t maximum, int32_t MsRecord::*member) {
  return EntryField{name, 0, maximum, true, member, nullptr};
}
constexpr EntryField Ship(const char* name, int32_t maximum, int32_t ShipRecord::*member,
                          bool storedInRom = true) {
  return EntryField{name, 0, maximum, storedInRom, nullptr, member};
}

// The packed widths of the ROM entries: 16-bit, 8-bit and bit fields.
constexpr EntryField kMsFields[] = {
    Ms("cost", k16, &MsRecord::cost),
    Ms("hp", k16, &MsRecord::hp),
    Ms("en", k8, &MsRecord::en),
    Ms("terrainFlags", 7, &MsRecord::terrainFlags),
    Ms("moveType", k8, &MsRecord::moveType),
    Ms("move", 31, &MsRecord::move),
    Ms("factionFlags", 8191, &MsRecord::factionFlags),
    Ms("factoryFlags", 7, &MsRecord::factoryFlags),
    Ms("ace", k8, &MsRecord::ace),
    Ms("baseDamage", k16, &MsRecord::baseDamage),
    Ms("tech", k8, &MsRecord::tech),
    Ms("productTurn", 31, &MsRecord::productTurn),
    Ms("supportTurn", 7, &MsRecord::supportTurn),
    Ms("sPoint", k8, &MsRecord::sPoint),
    Ms("armor", k16, &MsRecord::armor),
    Ms("shipDamage", k16, &MsRecord::shipDamage),
    Ms("artillery", k16, &MsRecord::artillery),
    Ms("artilleryRange", 127, &MsRecord::artilleryRange),
    Ms("areaDamage", k16, &MsRecord::areaDamage),
    Ms("areaRange", k8, &MsRecord::areaRange),
    Ms("speed", k8, &MsRecord::speed),
};

constexpr EntryField kShipFields[] = {
    Ship("cost", k16, &ShipRecord::cost),
    Ship("hp", k16, &ShipRecord::hp),
    Ship("en", k8, &ShipRecord::en),
    Ship("terrainFlags", 7, &ShipRecord::terrainFlags),
    Ship("moveType", k8, &ShipRecord::moveType),
    Ship("move", 31, &ShipRecord::move),
    Ship("factionFlags", 8191, &ShipRecord::factionFlags),
    Ship("factoryFlags", 7, &ShipRecord::factoryFlags),
    Ship("space", k8, &ShipRecord::space),
    Ship("tech", k8, &ShipRecord::tech),
    Ship("productTurn", 31, &ShipRecord::productTurn),
    Ship("supportTurn", 7, &ShipRecord::supportTurn),
    Ship("sPoint", k8, &ShipRecord::sPoint),
    Ship("sPointShip", k8, &ShipRecord::sPointShip),
    Ship("armor", k8, &ShipRecord::armor),
    Ship("defense", k8, &ShipRecord::defense),
    Ship("artillery", k8, &ShipRecord::artillery),
    Ship("artilleryRange", 127, &ShipRecord::artilleryRange),
    Ship("areaDamage", k16, &ShipRecord::areaDamage),
    Ship("areaRange", k8, &ShipRecord::areaRange),
    // A ship entry of the ROM has no speed byte.
    Ship("speed", k8, &ShipRecord::speed, false),
};

// Both lists merged, each keeping its order.
constexpr const char* kCsvStatColumns[] = {
    "cost",           "hp",           "en",           "terrainFlags", "moveType",
    "move",           "factionFlags", "factoryFlags", "ace",          "baseDamage",
    "space",          "tech",         "productTurn",  "supportTurn",  "sPoint",
    "sPointShip",     "armor",        "shipDamage",   "defense",      "artillery",
    "artilleryRange", "areaDamage",   "areaRange",    "speed",
};

}  // namespace

std::span<const EntryField> FieldsOf(EntryKind kind) {
  switch (kind) {
    case EntryKind::Ms:
      return kMsFields;
    case EntryKind::Ship:
      return kShipFields;
    case EntryKind::None:
      break;
  }
  return {};
}

std::span<const char* const> CsvStatColumns() { return kCsvStatColumns; }

const EntryField* FindField(EntryKind kind, std::string_view name) {
  for (const EntryField& field : FieldsOf(kind)) {
    if (name == field.name) {
      return &field;
    }
  }
  return nullptr;
}

int32_t GetField(const DataSet& dataSet, int entryIndex, const EntryField& field) {
  if (field.ms != nullptr) {
    if (const MsRecord* record = MsOfEntry(dataSet, entryIndex)) {
      return record->*field.ms;
    }
  } else if (field.ship != nullptr) {
    if (const ShipRecord* record = ShipOfEntry(dataSet, entryIndex)) {
      return record->*field.ship;
    }
  }
  Fail(NoSuchFieldMessage(entryIndex, QString::fromLatin1(field.name)));
}

void SetField(DataSet& dataSet, int entryIndex, const EntryField& field, int32_t value) {
  if (field.ms != nullptr) {
    if (MsRecord* record = MsOfEntry(dataSet, entryIndex)) {
      record->*field.ms = value;
      return;
    }
  } else if (field.ship != nullptr) {
    if (ShipRecord* record = ShipOfEntry(dataSet, entryIndex)) {
      record->*field.ship = value;
      return;
    }
  }
  Fail(NoSuchFieldMessage(entryIndex, QString::fromLatin1(field.name)));
}

const char* WeaponValueName(WeaponValue value) {
  switch (value) {
    case WeaponValue::WeaponId:
      return "weaponId";
    case WeaponValue::Damage:
      return "damage";
    case WeaponValue::Ammo:
      return "ammo";
  }
  return "";
}

WeaponSlot& WeaponOf(DataSet& dataSet, int entryIndex, int slot) {
  if (slot >= 0 && slot < kShownWeaponSlots) {
    if (MsRecord* ms = MsOfEntry(dataSet, entryIndex)) {
      return ms->weapons[slot];
    }
    if (ShipRecord* ship = ShipOfEntry(dataSet, entryIndex)) {
      return ship->weapons[slot];
    }
  }
  Fail(NoSuchFieldMessage(entryIndex, QStringLiteral("weapons")));
}

const WeaponSlot& WeaponOf(const DataSet& dataSet, int entryIndex, int slot) {
  return WeaponOf(const_cast<DataSet&>(dataSet), entryIndex, slot);
}

int32_t GetWeaponValue(const WeaponSlot& weapon, WeaponValue value) {
  switch (value) {
    case WeaponValue::WeaponId:
      return weapon.weaponId;
    case WeaponValue::Damage:
      return weapon.damage;
    case WeaponValue::Ammo:
      return weapon.ammo;
  }
  return 0;
}

void SetWeaponValue(WeaponSlot& weapon, WeaponValue value, int32_t number) {
  switch (value) {
    case WeaponValue::WeaponId:
      weapon.weaponId = number;
      break;
    case WeaponValue::Damage:
      weapon.damage = number;
      break;
    case WeaponValue::Ammo:
      weapon.ammo = number;
      break;
  }
}

ValueRange WeaponValueRange(EntryKind kind, int slot, WeaponValue value) {
  // Ship entries of the ROM carry no weapons; MS entries carry an ammunition
  // byte for slots 2, 3, 6 and 7 only.
  if (kind != EntryKind::Ms) {
    return {false, 0, 0};
  }
  if (value == WeaponValue::Ammo) {
    const bool hasAmmo = slot == 2 || slot == 3 || slot == 6 || slot == 7;
    return hasAmmo ? ValueRange{true, -127, 127} : ValueRange{false, 0, 0};
  }
  return {true, 0, 255};
}

std::span<const uint8_t> RawBytesOf(const DataSet& dataSet, int entryIndex) {
  if (const MsRecord* ms = MsOfEntry(dataSet, entryIndex)) {
    return ms->rawBytes;
  }
  if (const ShipRecord* ship = ShipOfEntry(dataSet, entryIndex)) {
    return ship->rawBytes;
  }
  return {};
}

QString FormatRawBytes(std::span<const uint8_t> bytes) {
  QString text;
  for (uint8_t byte : bytes) {
    if (!text.isEmpty()) {
      text += QLatin1Char(' ');
    }
    text += QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
  }
  return text;
}

const char* KindName(EntryKind kind) {
  switch (kind) {
    case EntryKind::Ms:
      return "ms";
    case EntryKind::Ship:
      return "ship";
    case EntryKind::None:
      break;
  }
  return "none";
}

// ---------------------------------------------------------------------------
// CSV

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

// ---------------------------------------------------------------------------
// Files and standard output

namespace {

// Lone surrogates U+DC80..U+DCFF stand for the bytes 0x80..0xFF of an
// argument that are not UTF-8.
constexpr char16_t kEscapedByteBase = 0xDC00;

// Writes all of `bytes` to standard output; returns 0 or the errno.
int WriteToStdout(const QByteArray& bytes) {
  errno = 0;
  const size_t written =
      std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
  if (written != static_cast<size_t>(bytes.size()) || std::fflush(stdout) != 0) {
    return errno != 0 ? errno : EIO;
  }
  return 0;
}

}  // namespace

QString DecodeArgument(const char* bytes) {
  const std::string_view text(bytes);
  QString decoded;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t length = Utf8SequenceLength(text.substr(pos));
    if (length == 0) {
      decoded += QChar(static_cast<char16_t>(kEscapedByteBase + static_cast<uint8_t>(text[pos])));
      ++pos;
    } else {
      decoded += QString::fromUtf8(text.data() + pos, static_cast<qsizetype>(length));
      pos += length;
    }
  }
  return decoded;
}

std::string ArgumentBytes(const QString& argument) {
  std::string bytes;
  const qsizetype n = argument.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t unit = argument.at(i).unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < n && argument.at(i + 1).isLowSurrogate()) {
      AppendUtf8(bytes, QChar::surrogateToUcs4(unit, argument.at(i + 1).unicode()));
      ++i;
    } else if (unit >= kEscapedByteBase + 0x80 && unit <= kEscapedByteBase + 0xFF) {
      bytes += static_cast<char>(unit - kEscapedByteBase);
    } else {
      AppendUtf8(bytes, unit);
    }
  }
  return bytes;
}

QString ShownPath(const std::string& path) { return QString::fromStdString(FullPath(path)); }

std::string OutputPath(const QCommandLineParser& parser, const QCommandLineOption& option,
                       const QString& command) {
  if (!parser.isSet(option)) {
    return {};
  }
  std::string path = ArgumentBytes(parser.value(option));
  if (path.empty()) {
    FailUsage(UsageMessage(command, EmptyOutputNameText()));
  }
  return path;
}

void CheckOutputIsNoInput(const QString& command, const std::string& output,
                          std::span<const std::string> inputs) {
  if (const std::optional<size_t> input = FindSameFile(output, inputs)) {
    FailUsage(
        UsageMessage(command, OutputIsInputText(ShownPath(output), ShownPath(inputs[*input]))));
  }
}

void WriteOutput(const std::string& path, const QByteArray& bytes) {
  if (!path.empty()) {
    ReplaceFile(path, std::span(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                static_cast<size_t>(bytes.size())));
    return;
  }
  if (const int error = WriteToStdout(bytes)) {
    Fail(StdoutFailedMessage(QString::fromStdString(SystemErrorText(error))));
  }
}

void PrintStatusLine(const QString& line) {
  // The work is done: a reader that has gone must not turn it into a failure.
  std::signal(SIGPIPE, SIG_IGN);
  WriteToStdout((line + QLatin1Char('\n')).toUtf8());
}

}  // namespace varsk::cli
