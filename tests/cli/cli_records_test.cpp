// dump, import and auto-modify, run as a user runs them.
#include <gmock/gmock.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <map>

#include "base/messages.h"
#include "cli/cli_test_support.h"
#include "cli/unit_records.h"
#include "data/rom_tables.h"
#include "edits/csv_text.h"
#include "edits/edit_file.h"

namespace varsk::cli::test {
namespace {

constexpr qsizetype MsByte(int entryIndex, int byte) {
  return kMsTableOffset + (entryIndex - 1) * kRomMsEntrySize + byte;
}
constexpr qsizetype ShipByte(int entryIndex, int byte) {
  return kShipTableOffset + (entryIndex - 192) * kRomShipEntrySize + byte;
}
uint8_t At(const QByteArray& bytes, qsizetype offset) {
  return static_cast<uint8_t>(bytes.at(offset));
}

class RecordsTest : public CliTest {};

// The whole dump, imported unchanged, changes nothing, even where packing the
// loaded records would normalise bytes of a random image.
class DumpRoundTripTest : public RecordsTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DumpRoundTripTest, ImportOfUnchangedDumpLeavesRomByteIdentical) {
  const QString format = QLatin1String(GetParam());
  const QString dump = Path(QStringLiteral("dump.") + format);
  ExpectSuccess(Run({QStringLiteral("dump"), rom_, QStringLiteral("--format"), format,
                     QStringLiteral("-o"), dump}));

  const QString copy = Path(QStringLiteral("copy.gba"));
  ExpectSuccess(Run({QStringLiteral("import"), rom_, dump, QStringLiteral("-o"), copy}));
  EXPECT_TRUE(ReadFile(copy) == romBytes_);

  const ProcessResult inPlace = Run({QStringLiteral("import"), rom_, dump});
  ExpectSuccess(inPlace);
  EXPECT_TRUE(inPlace.out.contains("0 values changed")) << inPlace.out.toStdString();
  EXPECT_TRUE(ReadFile(rom_) == romBytes_);
}

INSTANTIATE_TEST_SUITE_P(Formats, DumpRoundTripTest, ::testing::Values("json", "csv"));

TEST_F(RecordsTest, PartialCsvEditChangesExactlyTheNamedBytes) {
  // Empty cells change nothing; "$5" follows the editor's text-to-number rule.
  WriteFile(Path(QStringLiteral("edits.csv")),
            "entryIndex,hp,armor,w2.ammo,move,artilleryRange\r\n"
            "5,1234,,,,\r\n"
            "200,,77,,,\r\n"
            "3,,,-16,,\r\n"
            "10,,,,31,\r\n"
            "11,,,,,$5\r\n");
  const ProcessResult result =
      Run({QStringLiteral("import"), rom_, Path(QStringLiteral("edits.csv"))});
  ExpectSuccess(result);

  QByteArray expected = romBytes_;
  expected[MsByte(5, 2)] = static_cast<char>(0xD2);  // 1234 little-endian
  expected[MsByte(5, 3)] = static_cast<char>(0x04);
  expected[ShipByte(200, 21)] = static_cast<char>(77);  // a ship's armour is one byte
  expected[MsByte(3, 27)] = static_cast<char>(239);     // ammo -16
  expected[MsByte(10, 4)] = static_cast<char>((At(romBytes_, MsByte(10, 4)) & 0xE0) | 31);
  expected[MsByte(11, 11)] = static_cast<char>(0x80 | 5);  // presence bit + range
  const QByteArray actual = ReadFile(rom_);
  ASSERT_EQ(actual.size(), expected.size());
  for (qsizetype i = 0; i < actual.size(); ++i) {
    ASSERT_EQ(At(actual, i), At(expected, i)) << "byte " << i;
  }
}

TEST_F(RecordsTest, JsonPartialEditAddressesWeaponSlotsByPositionOrSlotKey) {
  WriteFile(Path(QStringLiteral("edits.json")),
            R"({"entries": [
                 {"entryIndex": 4, "weapons": [null, {"damage": 99}, {"slot": 7, "ammo": 12}]},
                 {"entryIndex": 229, "hp": 4000}
               ]})");
  const QString out = Path(QStringLiteral("out.gba"));
  ExpectSuccess(Run({QStringLiteral("import"), rom_, Path(QStringLiteral("edits.json")),
                     QStringLiteral("-o"), out}));
  QByteArray expected = romBytes_;
  expected[MsByte(4, 24)] = static_cast<char>(99);  // slot 1 damage
  expected[MsByte(4, 40)] = static_cast<char>(12);  // slot 7 ammo
  expected[ShipByte(229, 2)] = static_cast<char>(4000 & 0xFF);
  expected[ShipByte(229, 3)] = static_cast<char>(4000 >> 8);
  EXPECT_TRUE(ReadFile(out) == expected);
  EXPECT_TRUE(ReadFile(rom_) == romBytes_) << "-o must leave the input untouched";
}

TEST_F(RecordsTest, DryRunPrintsTheChangesAndWritesNothing) {
  WriteFile(Path(QStringLiteral("edits.csv")), "entryIndex,hp\n5,1234\n");
  const int oldHp = At(romBytes_, MsByte(5, 2)) | (At(romBytes_, MsByte(5, 3)) << 8);
  const ProcessResult result =
      Run({QStringLiteral("import"), rom_, Path(QStringLiteral("edits.csv")),
           QStringLiteral("--dry-run")});
  ExpectSuccess(result);
  // Each change as diff prints it.
  EXPECT_TRUE(QString::fromUtf8(result.out)
                  .startsWith(QStringLiteral("5 Unit 5 hp: %1 -> 1234\n").arg(oldHp)))
      << result.out.toStdString();
  EXPECT_TRUE(result.out.contains("1 value would change")) << result.out.toStdString();
  EXPECT_TRUE(ReadFile(rom_) == romBytes_);
}

// Name lists come from anyone: in the text reports, what would act on a
// terminal instead of showing (ESC, VT, FF, NEL, the line and paragraph
// separators) is shown escaped, as in messages.
TEST_F(RecordsTest, TextReportsShowNamesEscaped) {
  const QString namesE = Path(QStringLiteral("namestringE.txt"));
  QByteArray names = ReadFile(namesE);
  names.replace("\r\nUnit 5\r\n", "\r\nU\x1b[2J\v\f\xc2\x85\xe2\x80\xa8\xe2\x80\xa9nit 5\r\n");
  WriteFile(namesE, names);
  WriteFile(Path(QStringLiteral("edits.csv")), "entryIndex,hp\n5,1234\n");
  const QString changed = Path(QStringLiteral("changed.gba"));
  ExpectSuccess(Run({QStringLiteral("import"), rom_, Path(QStringLiteral("edits.csv")),
                     QStringLiteral("-o"), changed}));
  const ProcessResult reports[] = {
      Run({QStringLiteral("import"), rom_, Path(QStringLiteral("edits.csv")),
           QStringLiteral("--dry-run")}),
      Run({QStringLiteral("diff"), rom_, changed})};
  for (const ProcessResult& report : reports) {
    EXPECT_TRUE(report.out.contains(
        "5 U\\x1B[2J\\x0B\\x0C\\xC2\\x85\\xE2\\x80\\xA8\\xE2\\x80\\xA9nit 5 hp: "))
        << report.out.toStdString();
    EXPECT_TRUE(std::all_of(report.out.begin(), report.out.end(), [](char c) {
      return c == '\n' || (c >= 0x20 && c < 0x7F);
    })) << report.out.toStdString();
  }
}

// A reviewed diff replays on another copy: diff --format csv of a modified ROM
// against the clean one, imported into a clean copy, gives the modified ROM
// byte for byte. Every byte changed here is one that a field shows.
TEST_F(RecordsTest, DiffAsCsvReplaysOnACleanCopy) {
  QByteArray modified = romBytes_;
  auto set = [&](qsizetype offset, int value) { modified[offset] = static_cast<char>(value); };
  set(MsByte(5, 2), 0x34);  // hp
  set(MsByte(5, 3), 0x12);
  for (int i = 0; i < 4; ++i) set(MsByte(6, 15 + i), 0xDE + i);  // raw bytes
  set(MsByte(7, 25), 42);                                        // w2.weaponId
  set(MsByte(7, 27), 239);                                       // w2.ammo -16
  set(MsByte(8, 4), 0xFF);                                       // terrainFlags and move
  set(ShipByte(200, 21), 77);                                    // armor
  for (int i = 0; i < 3; ++i) set(ShipByte(229, 15 + i), 1 + i);
  const QString modifiedRom = Path(QStringLiteral("modified.gba"));
  WriteFile(modifiedRom, modified);

  const ProcessResult diff = Run({QStringLiteral("diff"), QStringLiteral("--format"),
                                  QStringLiteral("csv"), rom_, modifiedRom});
  EXPECT_EQ(diff.exitCode, 1) << diff.err.toStdString();
  EXPECT_TRUE(diff.err.isEmpty()) << diff.err.toStdString();
  const QString edits = Path(QStringLiteral("edits.csv"));
  WriteFile(edits, diff.out);
  const QString replayed = Path(QStringLiteral("replayed.gba"));
  ExpectSuccess(Run({QStringLiteral("import"), rom_, edits, QStringLiteral("-o"), replayed}));
  EXPECT_TRUE(ReadFile(replayed) == modified) << diff.out.toStdString();

  // A byte that no field shows (an ammunition byte 0 against 255) cannot
  // travel in an edit file: diff says so.
  set(MsByte(9, 30), 255);
  WriteFile(Path(QStringLiteral("a.gba")), modified);
  set(MsByte(9, 30), 0);
  WriteFile(Path(QStringLiteral("b.gba")), modified);
  const ProcessResult unseen =
      Run({QStringLiteral("diff"), QStringLiteral("--format"), QStringLiteral("json"),
           Path(QStringLiteral("a.gba")), Path(QStringLiteral("b.gba"))});
  EXPECT_EQ(unseen.exitCode, 1);
  EXPECT_EQ(unseen.out, "{\"entries\": []}\n");
  EXPECT_TRUE(
      unseen.err.contains("1 table byte differs without changing any field; the edit file "
                          "cannot carry them"))
      << unseen.err.toStdString();
}

// Whatever the fault, import writes nothing, neither in place nor with -o.
TEST_F(RecordsTest, RejectedEditsWriteNothing) {
  for (const auto& [name, text] :
       {std::pair{"late.csv", "entryIndex,hp\n1,7\n2,65536\n"},
        std::pair{"late.json",
                  R"({"entries":[{"entryIndex":1,"hp":7},{"entryIndex":2,"move":40}]})"}}) {
    const QString edits = Path(QLatin1String(name));
    WriteFile(edits, QByteArray(text));
    ExpectFailure(Run({QStringLiteral("import"), rom_, edits}), 1, QStringLiteral("entry 2"));
    EXPECT_TRUE(ReadFile(rom_) == romBytes_);
    const QString out = Path(QStringLiteral("out.gba"));
    ExpectFailure(Run({QStringLiteral("import"), rom_, edits, QStringLiteral("-o"), out}), 1,
                  QStringLiteral("entry 2"));
    EXPECT_FALSE(QFile::exists(out));
  }
}

// Each bad edit is refused with a message naming it.
struct BadEdit {
  const char* name;
  const char* fileName;
  const char* text;
  const char* fragment;
};

class BadEditTest : public RecordsTest, public ::testing::WithParamInterface<BadEdit> {};

TEST_P(BadEditTest, IsRejectedNamingIt) {
  const BadEdit& edit = GetParam();
  const DataSetPtr records = LoadRecords(rom_.toStdString(), DataSetPart::Records);
  auto list = [&](const char* file) {
    return LoadNameList(Path(QLatin1String(file)).toStdString());
  };
  const NameLists names{list("namestringC.txt"), list("namestringE.txt"), list("namestringJ.txt")};
  try {
    ApplyEdits(edit.text, edit.fileName, EntryNames(&names), *records);
    ADD_FAILURE() << "accepted";
  } catch (const VarskError& error) {
    EXPECT_THAT(error.what(), ::testing::HasSubstr(edit.fragment));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, BadEditTest,
    ::testing::Values(
        BadEdit{"Hp16Bit", "e.csv", "entryIndex,hp\n1,65536\n",
                "e.csv line 2: entry 1, field hp: value 65536 is out of range (allowed 0..65535)"},
        BadEdit{"NegativeCost", "e.csv", "entryIndex,cost\n1,-1\n", "allowed 0..65535"},
        BadEdit{"En8Bit", "e.csv", "entryIndex,en\n1,256\n", "allowed 0..255"},
        BadEdit{"Move", "e.csv", "entryIndex,move\n1,32\n", "allowed 0..31"},
        BadEdit{"TerrainFlags", "e.csv", "entryIndex,terrainFlags\n1,8\n", "allowed 0..7"},
        BadEdit{"FactoryFlags", "e.csv", "entryIndex,factoryFlags\n1,8\n", "allowed 0..7"},
        BadEdit{"FactionFlags", "e.csv", "entryIndex,factionFlags\n1,8192\n", "allowed 0..8191"},
        BadEdit{"ProductTurn", "e.csv", "entryIndex,productTurn\n1,32\n", "allowed 0..31"},
        BadEdit{"SupportTurn", "e.csv", "entryIndex,supportTurn\n1,8\n", "allowed 0..7"},
        BadEdit{"ArtilleryRange", "e.csv", "entryIndex,artilleryRange\n1,128\n", "allowed 0..127"},
        BadEdit{"HexAllOnes", "e.csv", "entryIndex,hp\n1,$FFFFFFFF\n", "value $FFFFFFFF"},
        BadEdit{"ShipArmorIsOneByte", "e.csv", "entryIndex,armor\n192,256\n", "allowed 0..255"},
        BadEdit{"WeaponId", "e.csv", "entryIndex,w0.weaponId\n1,256\n", "allowed 0..255"},
        BadEdit{"Damage", "e.csv", "entryIndex,w1.damage\n1,256\n", "allowed 0..255"},
        BadEdit{"AmmoHigh", "e.csv", "entryIndex,w2.ammo\n1,128\n", "allowed -127..127"},
        BadEdit{"AmmoLow", "e.csv", "entryIndex,w7.ammo\n1,-128\n", "allowed -127..127"},
        BadEdit{"AmmoWithoutByte", "e.csv", "entryIndex,w0.ammo\n1,100\n",
                "field w0.ammo: value 100 cannot be set"},
        BadEdit{"ShipSpeed", "e.csv", "entryIndex,speed\n192,999\n", "does not store"},
        BadEdit{"ShipWeapon", "e.csv", "entryIndex,w0.weaponId\n192,250\n", "does not store"},
        BadEdit{"SpriteIndex", "e.csv", "entryIndex,spriteIndex\n1,9999\n", "does not store"},
        BadEdit{"RawBytesCount", "e.csv", "entryIndex,rawBytes\n1,01 02 03\n",
                "value \"01 02 03\" is not 4 raw bytes"},
        BadEdit{"RawBytesHex", "e.csv", "entryIndex,rawBytes\n192,01 02 1G\n", "not 3 raw bytes"},
        BadEdit{"RawBytesLongHex", "e.csv",
                "entryIndex,rawBytes\n192,01 02 00000000000000000000000000000003\n",
                "not 3 raw bytes"},
        BadEdit{"JsonRawByteRange", "e.json",
                R"({"entries":[{"entryIndex":1,"rawBytes":[1,2,3,256]}]})",
                "value \"[1, 2, 3, 256]\" is not 4 raw bytes"},
        BadEdit{"Kind", "e.csv", "entryIndex,kind\n1,ship\n", "field kind"},
        BadEdit{"ShipFieldOnMs", "e.csv", "entryIndex,space\n1,3\n", "kind \"ms\""},
        BadEdit{"MsFieldOnShip", "e.csv", "entryIndex,ace\n192,1\n", "kind \"ship\""},
        BadEdit{"Name", "e.csv", "entryIndex,nameE\n1,Other\n", "differs from the name list"},
        BadEdit{"UnknownColumn", "e.csv", "entryIndex,hq\n1,3\n", "unknown column \"hq\""},
        // Common mistakes get what was meant and how to mend the file.
        BadEdit{"MisspeltColumn", "e.csv", "entryIndex,Cost\n1,3\n",
                "unknown column \"Cost\"; did you mean 'cost'?"},
        BadEdit{"MisspeltWeaponColumn", "e.csv", "entryIndex,w2.amo\n1,3\n",
                "did you mean 'w2.ammo'?"},
        BadEdit{"SemicolonHeader", "e.csv", "entryIndex;hp\n1;3\n",
                "e.csv line 1: the header is separated by ';'"},
        BadEdit{"Latin1Text", "e.csv", "entryIndex,nameE\n1,Caf\xe9\n",
                "not valid UTF-8: save it as UTF-8 (in a spreadsheet: Save as, CSV, with character "
                "set UTF-8)"},
        BadEdit{"EntryTooHigh", "e.csv", "entryIndex,hp\n230,1\n", "no entry 230"},
        BadEdit{"EntryZero", "e.csv", "entryIndex,hp\n0,1\n", "no entry 0"},
        BadEdit{"BadNumber", "e.csv", "entryIndex,hp\n1,12a\n",
                "'12a' is not a valid integer value (allowed 0..65535)"},
        BadEdit{"TwiceTheSameEntry", "e.csv", "entryIndex,hp\n1,5\n1,6\n", "edited twice"},
        BadEdit{"UnclosedQuote", "e.csv", "entryIndex,nameE\n1,\"abc\n", "never closed"},
        BadEdit{"FieldCount", "e.csv", "entryIndex,hp\n1,2,3\n", "3 fields where"},
        BadEdit{"NoEntryColumn", "e.csv", "hp\n5\n", "no entryIndex column"},
        BadEdit{"Empty", "e.csv", "", "empty"},
        BadEdit{"JsonFraction", "e.json", R"({"entries":[{"entryIndex":1,"hp":1.5}]})",
                "'1.5' is not a valid integer value"},
        BadEdit{"JsonString", "e.json", R"({"entries":[{"entryIndex":1,"hp":"12"}]})",
                "not a valid integer value"},
        BadEdit{"JsonMalformed", "e.json", R"({"entries":[{"entryIndex":1,})", "malformed JSON"},
        BadEdit{"JsonNoEntryIndex", "e.json", R"({"entries":[{"hp":1}]})", "field entryIndex"},
        BadEdit{"JsonTopLevelKey", "e.json", R"({"entrys":[]})", "unknown key \"entrys\""},
        BadEdit{"JsonNineSlots", "e.json",
                R"({"entries":[{"entryIndex":1,"weapons":[{},{},{},{},{},{},{},{},{}]}]})",
                "9 weapon slots"},
        BadEdit{"JsonWeaponKey", "e.json",
                R"({"entries":[{"entryIndex":1,"weapons":[{"dmg":3}]}]})", "unknown field"},
        BadEdit{"JsonRepeatedEntryIndex", "e.json",
                R"({"entries":[{"entryIndex":12,"hp":250,"entryIndex":200}]})",
                "e.json entries[0]: field entryIndex: the key appears twice in one object"},
        BadEdit{"JsonRepeatedEscapedKey", "e.json",
                R"({"entries":[{"entryIndex":12,"hp":1,"hp":2}]})",
                "entries[0]: entry 12, field hp: the key appears twice"},
        BadEdit{"JsonRepeatedWeaponKey", "e.json",
                R"([{"entryIndex":1},{"entryIndex":3,"weapons":[{},{"ammo":1,"ammo":2}]}])",
                "entries[1]: entry 3, field weapons[1].ammo: the key appears twice"},
        BadEdit{"JsonSlotTwice", "e.json",
                R"({"entries":[{"entryIndex":3,"weapons":[{"damage":1},{"slot":0,"damage":2}]}]})",
                "entries[0]: entry 3, field w0.damage: the entry gives this field twice"},
        BadEdit{"JsonLateError", "e.json",
                R"({"entries":[{"entryIndex":1,"hp":7},{"entryIndex":2,"move":40}]})",
                "entries[1]: entry 2, field move: value 40 is out of range"}),
    [](const ::testing::TestParamInfo<BadEdit>& param) { return std::string(param.param.name); });

// A JSON number is read exactly: a whole value in any notation is taken; any
// other is refused, quoted as written.
struct JsonNumber {
  const char* name;
  const char* text;     // the "hp" of entry 1
  int32_t hp;           // what it sets, when `problem` is empty
  const char* problem;  // else a fragment of the message
};

class JsonNumberTest : public RecordsTest, public ::testing::WithParamInterface<JsonNumber> {};

TEST_P(JsonNumberTest, IsTakenExactly) {
  const JsonNumber& number = GetParam();
  const DataSetPtr records = LoadRecords(rom_.toStdString(), DataSetPart::Records);
  const std::string edits =
      std::string(R"({"entries":[{"entryIndex":1,"hp":)") + number.text + "}]}";
  std::string outcome;
  try {
    ApplyEdits(edits, "e.json", {}, *records);
  } catch (const VarskError& error) {
    outcome = error.what();
  }
  EXPECT_THAT(outcome, ::testing::HasSubstr(number.problem));
  if (*number.problem == '\0') {
    EXPECT_EQ(MsOfEntry(*records, 1)->hp, number.hp);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Values, JsonNumberTest,
    ::testing::Values(
        JsonNumber{"Decimal", "250", 250, ""}, JsonNumber{"PointZero", "250.0", 250, ""},
        JsonNumber{"Exponent", "2.5e2", 250, ""}, JsonNumber{"FractionOut", "25000E-2", 250, ""},
        JsonNumber{"MinusZero", "-0", 0, ""},
        JsonNumber{"NearlyWhole", "250.0000000000000001", 0,
                   "hp: '250.0000000000000001' is not a valid integer value (allowed 0..65535)"},
        JsonNumber{"BeyondDouble", "9007199254740993", 0,
                   "hp: value 9007199254740993 is out of range (allowed 0..65535)"},
        JsonNumber{"BeyondInt64", "-9223372036854775809", 0,
                   "hp: '-9223372036854775809' is not a valid integer value"},
        JsonNumber{"Tiny", "1e-400", 0, "hp: '1e-400' is not a valid integer value"},
        JsonNumber{"Huge", "1e400", 0, "e.json: malformed JSON at byte 33: Number too big"},
        JsonNumber{"NoFractionDigits", "5.", 0, "e.json: malformed JSON at byte 35: "},
        JsonNumber{"NoIntegerDigits", ".5", 0, "e.json: malformed JSON at byte 33: "}),
    [](const ::testing::TestParamInfo<JsonNumber>& param) {
      return std::string(param.param.name);
    });

// Both dumps describe the same values.
TEST_F(RecordsTest, JsonAndCsvDumpsAgree) {
  const ProcessResult json = Run({QStringLiteral("dump"), rom_});
  const ProcessResult csv =
      Run({QStringLiteral("dump"), rom_, QStringLiteral("--format"), QStringLiteral("csv")});
  ExpectSuccess(json);
  ExpectSuccess(csv);
  const QJsonArray entries = QJsonDocument::fromJson(json.out).object().value("entries").toArray();
  const std::vector<CsvRow> rows = ParseCsv(csv.out.toStdString(), "dump.csv");
  ASSERT_EQ(entries.size(), 229);
  ASSERT_EQ(rows.size(), 230u);
  const std::vector<std::string>& header = rows[0].fields;
  ASSERT_EQ(header.size(), 6u + 24 + 1 + 24);

  for (qsizetype i = 0; i < entries.size(); ++i) {
    const QJsonObject entry = entries.at(i).toObject();
    std::map<QString, QString> row;
    for (size_t c = 0; c < header.size(); ++c) {
      row[QString::fromStdString(header[c])] =
          QString::fromStdString(rows[static_cast<size_t>(i) + 1].fields[c]);
    }
    EXPECT_EQ(entry.value("entryIndex").toInt(), i + 1);
    const bool isMs = i < 191;
    EXPECT_EQ(entry.value("kind").toString(), isMs ? "ms" : "ship");
    EXPECT_EQ(entry.size(), 6 + 21 + 2) << "entry " << i + 1;
    for (auto it = entry.begin(); it != entry.end(); ++it) {
      const QString key = it.key();
      if (key == QLatin1String("weapons")) {
        const QJsonArray weapons = it.value().toArray();
        ASSERT_EQ(weapons.size(), 8);
        for (int slot = 0; slot < 8; ++slot) {
          for (const char* value : {"weaponId", "damage", "ammo"}) {
            EXPECT_EQ(QString::number(weapons.at(slot).toObject().value(value).toInt()),
                      row[QStringLiteral("w%1.%2").arg(slot).arg(QLatin1String(value))]);
          }
        }
      } else if (key == QLatin1String("rawBytes")) {
        QStringList bytes;
        for (const QJsonValue byte : it.value().toArray()) {
          bytes.append(QStringLiteral("%1").arg(byte.toInt(), 2, 16, QLatin1Char('0')).toUpper());
        }
        EXPECT_EQ(bytes.size(), isMs ? 4 : 3);
        EXPECT_EQ(bytes.join(' '), row[key]);
      } else if (it.value().isString()) {
        EXPECT_EQ(it.value().toString(), row[key]) << key.toStdString();
      } else {
        EXPECT_EQ(QString::number(it.value().toInteger()), row[key]) << key.toStdString();
      }
    }
    // A field that the kind lacks is an empty cell.
    EXPECT_TRUE(row[isMs ? QStringLiteral("space") : QStringLiteral("ace")].isEmpty());
  }
  // Entry 7's names need quoting in CSV and arrive intact in both.
  EXPECT_EQ(entries.at(6).toObject().value("nameE").toString(), SyntheticNameE(7));
  EXPECT_TRUE(
      QString::fromUtf8(csv.out).contains(QStringLiteral("\"Gun, \"\"Heavy\"\" \u00c6ther\"")));
}

TEST_F(RecordsTest, DumpWithoutNameListsWarnsOnceAndLeavesNamesOut) {
  QTemporaryDir empty;
  const ProcessResult result = RunUnits({QStringLiteral("dump"), rom_}, empty.path());
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_TRUE(result.err.startsWith("varsk-units: dump: warning: ")) << result.err.toStdString();
  EXPECT_EQ(result.err.count('\n'), 1);
  EXPECT_FALSE(result.out.contains("nameE"));
  EXPECT_EQ(QJsonDocument::fromJson(result.out).object().value("entries").toArray().size(), 229);

  ExpectFailure(
      RunUnits({QStringLiteral("dump"), QStringLiteral("--names"), empty.path()}, empty.path()), 1,
      QStringLiteral("Cannot open file"));
}

TEST_F(RecordsTest, DumpOfDataSetAloneNeedsNoRom) {
  const ProcessResult fromDataSet = Run({QStringLiteral("dump")});
  const ProcessResult fromRom = Run({QStringLiteral("dump"), rom_});
  ExpectSuccess(fromDataSet);
  EXPECT_EQ(QJsonDocument::fromJson(fromDataSet.out).object().value("entries").toArray().size(),
            229);
  EXPECT_NE(fromDataSet.out, fromRom.out);
}

TEST_F(RecordsTest, AutoModifyProductTurnRewritesOnlyTurnBits) {
  const QString out = Path(QStringLiteral("out.gba"));
  const ProcessResult result = Run({QStringLiteral("auto-modify"), rom_,
                                    QStringLiteral("--product-turn"), QStringLiteral("-o"), out});
  ExpectSuccess(result);
  QByteArray expected = romBytes_;
  int changed = 0;
  auto lower = [&](qsizetype offset) {
    const uint8_t byte = At(romBytes_, offset);
    if (((byte >> 3) & 31) > 1) {
      expected[offset] = static_cast<char>((1 << 3) | (byte & 7));
      ++changed;
    }
  };
  for (int entry = 1; entry <= 191; ++entry) lower(MsByte(entry, 10));
  for (int entry = 192; entry <= 229; ++entry) lower(ShipByte(entry, 10));
  EXPECT_TRUE(ReadFile(out) == expected);
  EXPECT_TRUE(ReadFile(rom_) == romBytes_);
  EXPECT_TRUE(result.out.contains(QByteArray::number(changed) + " values changed"))
      << result.out.toStdString();
}

TEST_F(RecordsTest, AutoModifyAmmoFromHp) {
  // All ammunition bytes 255 (ammo 0) except entry 1 slot 2: hp 171, ammo -16.
  QByteArray image = romBytes_;
  for (int entry = 1; entry <= 191; ++entry) {
    for (int byte : {27, 30, 37, 40}) image[MsByte(entry, byte)] = static_cast<char>(255);
  }
  image[MsByte(1, 2)] = static_cast<char>(171);
  image[MsByte(1, 3)] = 0;
  image[MsByte(1, 25)] = 9;
  image[MsByte(1, 27)] = static_cast<char>(239);
  WriteFile(rom_, image);
  ExpectSuccess(Run({QStringLiteral("auto-modify"), rom_, QStringLiteral("--ammo-from-hp")}));
  QByteArray expected = image;
  expected[MsByte(1, 27)] = 10;
  EXPECT_TRUE(ReadFile(rom_) == expected);

  // hp 300 with ammo -1 gives 300 shots, more than the byte holds.
  image[MsByte(1, 2)] = static_cast<char>(300 & 0xFF);
  image[MsByte(1, 3)] = static_cast<char>(300 >> 8);
  image[MsByte(1, 27)] = static_cast<char>(254);
  WriteFile(rom_, image);
  ExpectFailure(Run({QStringLiteral("auto-modify"), rom_, QStringLiteral("--ammo-from-hp")}), 1,
                QStringLiteral("entry 1, field w2.ammo: value 300 does not fit the ROM"));
  EXPECT_TRUE(ReadFile(rom_) == image);
}

}  // namespace
}  // namespace varsk::cli::test
