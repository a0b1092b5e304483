// End-to-end runs of the built varsk-units: diff, patch and apply on
// synthetic ROMs made here.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "base/crc32.h"
#include "data/data_set.h"
#include "data/rom_tables.h"
#include "patch/patch_messages.h"
#include "patch/synthetic_rom.h"

namespace varsk {
namespace {

using Bytes = std::vector<uint8_t>;

struct Outcome {
  int status = -1;
  QString out;
  QString err;
};

// A synthetic ROM whose tables are as Save ROM writes them, so that packing
// an edited entry changes only the edited field's bytes.
Bytes RomWithCanonicalTables(uint32_t seed) {
  Bytes rom = testing::SyntheticRom(seed);
  RomBuffers buffers;
  std::copy_n(rom.begin() + kMsTableOffset, kMsTableBytes, buffers.ms.begin());
  std::copy_n(rom.begin() + kShipTableOffset, kShipTableBytes, buffers.ship.begin());
  auto dataSet = std::make_unique<DataSet>();
  UnpackRomTables(buffers, *dataSet);
  PackRomTables(*dataSet, buffers);
  std::copy(buffers.ms.begin(), buffers.ms.end(), rom.begin() + kMsTableOffset);
  std::copy(buffers.ship.begin(), buffers.ship.end(), rom.begin() + kShipTableOffset);
  return rom;
}

class VarskUnitsSharing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(QFile::exists(QStringLiteral(VARSK_UNITS_PATH))) << VARSK_UNITS_PATH;
    original_ = RomWithCanonicalTables(21);
    Write("a.gba", original_);
  }

  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

  void Write(const char* name, const Bytes& bytes) const {
    QFile file(Path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }

  Bytes Read(const char* name) const {
    QFile file(Path(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return Bytes(bytes.begin(), bytes.end());
  }

  // Runs varsk-units in the temporary folder (which holds no name lists).
  Outcome Units(const QStringList& args) const {
    QProcess process;
    process.setWorkingDirectory(dir_.path());
    process.start(QStringLiteral(VARSK_UNITS_PATH), args);
    Outcome run;
    if (!process.waitForFinished(60000)) return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
  }

  // The ROM with entry 12's hp changed as Apply and Save ROM would change it.
  Bytes WithHpEdit(int32_t& oldHp, int32_t& newHp) const {
    Bytes rom = original_;
    const std::span<uint8_t, kRomMsEntrySize> entry(
        rom.data() + kMsTableOffset + 11 * kRomMsEntrySize, kRomMsEntrySize);
    MsRecord record{};
    UnpackMsEntry(entry, record);
    oldHp = record.hp;
    newHp = oldHp == 777 ? 778 : 777;
    record.hp = newHp;
    PackMsEntry(record, entry);
    return rom;
  }

  QTemporaryDir dir_;
  Bytes original_;
};

TEST_F(VarskUnitsSharing, DiffOfARomWithItselfIsEmpty) {
  const Outcome text = Units({"diff", Path("a.gba"), Path("a.gba")});
  EXPECT_EQ(text.status, 0) << text.err.toStdString();
  EXPECT_EQ(text.out.toStdString(), DiffCountLine(0) + "\n" + DiffOutsideLine(0, 0, 0) + "\n");
  EXPECT_TRUE(text.err.isEmpty()) << text.err.toStdString();

  const Outcome json = Units({"diff", "--format", "json", Path("a.gba"), Path("a.gba")});
  EXPECT_EQ(json.status, 0);
  const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
  ASSERT_TRUE(root.value("entries").isArray()) << json.out.toStdString();
  EXPECT_TRUE(root.value("entries").toArray().isEmpty());
}

TEST_F(VarskUnitsSharing, DiffAfterOneEditNamesExactlyThatField) {
  int32_t oldHp = 0;
  int32_t newHp = 0;
  Bytes edited = WithHpEdit(oldHp, newHp);
  edited[100] ^= 1;  // and one byte outside the tables
  Write("b.gba", edited);

  const Outcome text = Units({"diff", Path("a.gba"), Path("b.gba")});
  EXPECT_EQ(text.status, 1) << text.err.toStdString();
  const QStringList lines = text.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3) << text.out.toStdString();
  EXPECT_EQ(lines[0].toStdString(),
            DiffChangeLine(12, "", "hp", std::to_string(oldHp), std::to_string(newHp)));
  EXPECT_EQ(lines[1].toStdString(), DiffCountLine(1));
  EXPECT_EQ(lines[2].toStdString(), DiffOutsideLine(1, 0, 0));

  // The edit forms carry the new value only.
  const Outcome json = Units({"diff", "--format", "json", Path("a.gba"), Path("b.gba")});
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(json.out.toStdString(),
            "{\"entries\": [\n  {\"entryIndex\": 12, \"kind\": \"ms\", "
            "\"hp\": " +
                std::to_string(newHp) + "}\n]}\n");
  const Outcome csv = Units({"diff", "--format", "csv", Path("a.gba"), Path("b.gba")});
  EXPECT_EQ(csv.status, 1);
  EXPECT_EQ(csv.out.toStdString(), "entryIndex,kind,hp\r\n12,ms," + std::to_string(newHp) + "\r\n");
}

TEST_F(VarskUnitsSharing, DiffTroubleIsStatusTwo) {
  for (const QStringList& args :
       {QStringList{"diff", Path("a.gba"), Path("missing.gba")},
        QStringList{"diff", "--format", "xml", Path("a.gba"), Path("a.gba")},
        QStringList{"diff", Path("a.gba")}, QStringList{"diff", Path("a.gba"), dir_.path()}}) {
    const Outcome run = Units(args);
    EXPECT_EQ(run.status, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(run.err.startsWith("varsk-units: ")) << run.err.toStdString();
    EXPECT_EQ(run.err.count('\n'), 1) << run.err.toStdString();
  }
}

class PatchCommands : public VarskUnitsSharing,
                      public ::testing::WithParamInterface<const char*> {};

TEST_P(PatchCommands, PatchThenApplyGivesModifiedAndASecondApplyWritesNothing) {
  const QString patch = Path("hack") + GetParam();
  Bytes modified = original_;
  for (int64_t i = kMsTableOffset; i < kRomTablesEnd; i += 7) modified[i] ^= 0x21;
  modified.resize(modified.size() + 4096, 0);
  Write("b.gba", modified);

  const Outcome made = Units({"patch", Path("a.gba"), Path("b.gba"), "-o", patch});
  ASSERT_EQ(made.status, 0) << made.err.toStdString();
  const Outcome applied = Units({"apply", patch, Path("a.gba"), "-o", Path("out.gba")});
  ASSERT_EQ(applied.status, 0) << applied.err.toStdString();
  EXPECT_TRUE(Read("out.gba") == modified);

  const Outcome again = Units({"apply", patch, Path("out.gba"), "-o", Path("again.gba")});
  EXPECT_EQ(again.status, 0) << again.err.toStdString();
  EXPECT_TRUE(again.out.contains("already patched")) << again.out.toStdString();
  EXPECT_FALSE(QFile::exists(Path("again.gba")));

  // In place: OUT may be the ROM itself.
  Write("c.gba", original_);
  EXPECT_EQ(Units({"apply", patch, Path("c.gba"), "-o", Path("c.gba")}).status, 0);
  EXPECT_TRUE(Read("c.gba") == modified);
}

INSTANTIATE_TEST_SUITE_P(Formats, PatchCommands, ::testing::Values(".ips", ".bps"),
                         [](const auto& param) { return std::string(param.param + 1); });

TEST_F(VarskUnitsSharing, PatchRefusesAnUnknownExtensionAndOversizedIps) {
  const Outcome run = Units({"patch", Path("a.gba"), Path("a.gba"), "-o", Path("hack.txt")});
  EXPECT_EQ(run.status, 2);
  EXPECT_FALSE(QFile::exists(Path("hack.txt")));

  Write("big.gba", Bytes((16 << 20) + 1, 0x11));
  const Outcome big = Units({"patch", Path("a.gba"), Path("big.gba"), "-o", Path("big.ips")});
  EXPECT_EQ(big.status, 1);
  EXPECT_TRUE(big.err.contains(".bps")) << big.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("big.ips")));
}

TEST_F(VarskUnitsSharing, ApplyRejectsWrongRomsAndDamagedPatchesWritingNothing) {
  int32_t oldHp = 0;
  int32_t newHp = 0;
  Write("b.gba", WithHpEdit(oldHp, newHp));
  ASSERT_EQ(Units({"patch", Path("a.gba"), Path("b.gba"), "-o", Path("hack.bps")}).status, 0);
  ASSERT_EQ(Units({"patch", Path("a.gba"), Path("b.gba"), "-o", Path("hack.ips")}).status, 0);
  const Bytes keep = {1, 2, 3};
  Write("out.gba", keep);

  const Bytes other = RomWithCanonicalTables(22);
  Write("other.gba", other);
  const Outcome wrong =
      Units({"apply", Path("hack.bps"), Path("other.gba"), "-o", Path("out.gba")});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_TRUE(wrong.err.contains(QString::fromStdString(Crc32Text(Crc32(original_)))))
      << wrong.err.toStdString();
  EXPECT_TRUE(wrong.err.contains(QString::fromStdString(Crc32Text(Crc32(other)))))
      << wrong.err.toStdString();

  Bytes damaged = Read("hack.bps");
  damaged[damaged.size() / 2] ^= 0x10;
  Write("damaged.bps", damaged);
  const Outcome bad = Units({"apply", Path("damaged.bps"), Path("a.gba"), "-o", Path("out.gba")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_TRUE(bad.err.contains("damaged")) << bad.err.toStdString();

  Bytes truncated = Read("hack.ips");
  truncated.resize(truncated.size() - 4);
  Write("truncated.ips", truncated);
  const Outcome cut = Units({"apply", Path("truncated.ips"), Path("a.gba"), "-o", Path("out.gba")});
  EXPECT_EQ(cut.status, 1);
  EXPECT_TRUE(cut.err.contains("truncated")) << cut.err.toStdString();

  EXPECT_EQ(Read("out.gba"), keep);
}

TEST_F(VarskUnitsSharing, EachCommandHasHelp) {
  for (const char* command : {"diff", "patch", "apply"}) {
    const Outcome run = Units({command, "--help"});
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_TRUE(run.out.contains(QStringLiteral("varsk-units ") + command)) << command;
  }
}

}  // namespace
}  // namespace varsk

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
