// varsk-units import: any bytes as an edit file (JSON or CSV) applied to the
// records as the editor holds them after Load ROM. ApplyEdits either throws
// VarskError or leaves records whose every changed value the ROM carries and
// holds: pack then unpack gives them back, spriteIndex is as before, and their
// own dump (JSON and CSV) imports back to the same records.
// Half the inputs are checked against name lists, half without.
//
// With VARSK_FUZZ_WRITE_SEEDS=DIR set, the target writes seed edit files
// (full and partial dumps) into DIR and exits.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "base/messages.h"
#include "cli/unit_records.h"
#include "data/data_set.h"
#include "data/embedded_data_set.h"
#include "data/entry_fields.h"
#include "data/name_list.h"
#include "data/rom_tables.h"
#include "edits/edit_file.h"
#include "fuzz/fuzz_support.h"
#include "patch/record_diff.h"

using varsk::DataSet;

namespace {

DataSet* baseline = nullptr;  // the embedded data set after Pack and Load ROM
varsk::EntryNameOf names;
const varsk::EntryNameOf kNoNames;

varsk::NameList SyntheticNames(const char* prefix) {
  std::string text;
  for (int line = 1; line <= 404; ++line) text += prefix + std::to_string(line) + "\r\n";
  return varsk::SplitNameList({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

void WriteSeed(const QString& dir, const char* name, const QByteArray& bytes) {
  QFile file(QDir(dir).filePath(QString::fromLatin1(name)));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write seed %s\n", name);
    std::exit(1);
  }
}

void WriteSeeds(const QString& dir) {
  QDir().mkpath(dir);
  // Whole dumps are a quarter of a megabyte; entries 1, 2 and the first
  // ship make seeds of every field that mutate quickly.
  for (const varsk::EntryNameOf& withNames : {names, varsk::EntryNameOf()}) {
    const QJsonArray all = QJsonDocument::fromJson(QByteArray::fromStdString(
        varsk::DumpJson(*baseline, withNames)))["entries"]
                               .toArray();
    QJsonArray some;
    for (int at : {0, 1, 191}) {
      if (at < all.size()) some.append(all[at]);
    }
    WriteSeed(dir, withNames ? "three-names.json" : "three.json",
              QJsonDocument(QJsonObject{{QStringLiteral("entries"), some}})
                  .toJson(QJsonDocument::Compact));
  }
  const QList<QByteArray> rows =
      QByteArray::fromStdString(varsk::DumpCsv(*baseline, names)).split('\n');
  if (rows.size() > 193) {
    WriteSeed(dir, "three-names.csv",
              rows[0] + '\n' + rows[1] + '\n' + rows[2] + '\n' + rows[192] + '\n');
  }
  WriteSeed(
      dir, "partial.json",
      R"({"entries": [{"entryIndex": 1, "hp": 300, "weapons": [{"weaponId": 12, )"
      R"("damage": 20, "ammo": 0}]}, {"entryIndex": 200, "speed": 0, "artilleryRange": 3}]})");
  WriteSeed(dir, "bad-range.json", R"({"entries": [{"entryIndex": 5, "move": 32}]})");
  WriteSeed(dir, "hex.csv", "entryIndex,cost,w2.ammo\n7,$FF,-16\n192,0x10,\n");
  WriteSeed(dir, "quoted.csv", "entryIndex,nameE,cost\r\n\"3\",\"Unit 3\",\"1\"\"2\"\r\n");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Qt's JSON and text code needs no application object.
  static auto loaded = std::make_unique<DataSet>();
  varsk::RegisterEmbeddedDataSet();
  varsk::LoadDataSet(*loaded);
  static varsk::RomBuffers buffers;
  varsk::PackRomTables(*loaded, buffers);
  varsk::UnpackRomTables(buffers, *loaded);
  baseline = loaded.get();
  static varsk::cli::NameLists lists{SyntheticNames("Unit C "), SyntheticNames("Unit "),
                                     SyntheticNames("Unit J ")};
  names = varsk::cli::EntryNames(&lists);
  if (const char* dir = std::getenv("VARSK_FUZZ_WRITE_SEEDS"); dir != nullptr && *dir != '\0') {
    WriteSeeds(QString::fromLocal8Bit(dir));
    std::exit(0);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static DataSet* const edited = new DataSet;
  static DataSet* const again = new DataSet;
  const varsk::EntryNameOf& checkNames = size % 2 == 0 ? names : kNoNames;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  varsk::CopyRecords(*baseline, *edited);
  try {
    varsk::ApplyEdits(text, "edits", checkNames, *edited);
  } catch (const varsk::VarskError& error) {
    FUZZ_CHECK(*error.what() != '\0');
    return 0;
  }

  // Nothing that the ROM does not carry has changed.
  for (const varsk::FieldChange& change : varsk::DiffRecords(*baseline, *edited)) {
    FUZZ_CHECK(change.field->StoredInRom());
  }
  for (int k = 1; k <= varsk::kMsSlots; ++k) {
    FUZZ_CHECK(edited->MsSlot(k)->spriteIndex == baseline->MsSlot(k)->spriteIndex);
  }
  for (int n = 1; n <= varsk::kShipSlots; ++n) {
    FUZZ_CHECK(edited->ShipSlot(n)->spriteIndex == baseline->ShipSlot(n)->spriteIndex);
  }
  FUZZ_CHECK(edited->msCount == baseline->msCount && edited->shipCount == baseline->shipCount);

  // Every value fits: Save ROM then Load ROM gives the same records.
  FUZZ_CHECK(!varsk::FindValueNotHeld(*edited));
  varsk::RomBuffers packed;
  varsk::PackRomTables(*edited, packed);
  varsk::CopyRecords(*baseline, *again);
  varsk::UnpackRomTables(packed, *again);
  FUZZ_CHECK(varsk::DiffRecords(*edited, *again).empty());
  FUZZ_CHECK(std::memcmp(edited->msRecords.data(), again->msRecords.data(),
                         sizeof edited->msRecords) == 0);
  FUZZ_CHECK(std::memcmp(edited->shipRecords.data(), again->shipRecords.data(),
                         sizeof edited->shipRecords) == 0);

  // The records' own dumps import back to the same records.
  for (const std::string& dump :
       {varsk::DumpJson(*edited, checkNames), varsk::DumpCsv(*edited, checkNames)}) {
    varsk::CopyRecords(*baseline, *again);
    varsk::ApplyEdits(dump, "dump", checkNames, *again);
    FUZZ_CHECK(varsk::DiffRecords(*edited, *again).empty());
  }
  return 0;
}
