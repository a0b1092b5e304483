// varsk-units with hostile files and conditions, end to end: the programs
// really use the file layer. FIFOs and devices are refused without hanging, a
// file name that is not UTF-8 is kept byte for byte, standard output that
// cannot be written never turns finished work into a failure, two in-place
// imports at once both land, and a full file system leaves the old files.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "data/rom_tables.h"
#include "fault_support.h"

namespace varsk::faults {
namespace {

class HostileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    original_ = SyntheticRom(31);
    WriteFile(Path("rom.gba"), original_);
    WriteFile(Path("edits.csv"), "entryIndex,hp\n1,300\n");
    ASSERT_EQ(::mkfifo(Native("fifo").c_str(), 0600), 0);
  }
  QString Path(const QString& name) const { return dir_.filePath(name); }
  std::string Native(const QString& name) const {
    return QFile::encodeName(Path(name)).toStdString();
  }
  ProcessResult Run(const QStringList& args, const QString& out = QString()) const {
    return RunUnits(args, dir_.path(), 0, out);
  }
  QTemporaryDir dir_;
  QByteArray original_;
};

TEST_F(HostileFiles, FifosAndDevicesAreRefusedWithoutHanging) {
  QDir(dir_.path()).mkdir(QStringLiteral("zero"));
  for (const char* name : {"namestringC.txt", "namestringE.txt", "namestringJ.txt"}) {
    ASSERT_EQ(::symlink("/dev/zero", Native(QStringLiteral("zero/") + QLatin1String(name)).c_str()),
              0);
  }
  const QStringList runs[] = {
      {QStringLiteral("info"), QStringLiteral("fifo")},
      {QStringLiteral("import"), QStringLiteral("rom.gba"), QStringLiteral("fifo")},
      {QStringLiteral("import"), QStringLiteral("fifo"), QStringLiteral("edits.csv")},
      {QStringLiteral("patch"), QStringLiteral("rom.gba"), QStringLiteral("fifo"),
       QStringLiteral("-o"), QStringLiteral("p.ips")},
      {QStringLiteral("apply"), QStringLiteral("fifo"), QStringLiteral("rom.gba"),
       QStringLiteral("-o"), QStringLiteral("out.gba")},
      {QStringLiteral("dump"), QStringLiteral("/dev/zero")},
      {QStringLiteral("import"), QStringLiteral("rom.gba"), QStringLiteral("/dev/zero")},
      {QStringLiteral("dump"), QStringLiteral("--names"), QStringLiteral("zero")},
  };
  for (const QStringList& args : runs) {
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 1) << args.join(u' ').toStdString() << ": " << result.err.data();
    // A FIFO may carry an edit file or a patch, but this one has no writer.
    const bool streamInput =
        (args[0] == QStringLiteral("import") && args[2] == QStringLiteral("fifo")) ||
        (args[0] == QStringLiteral("apply") && args[1] == QStringLiteral("fifo"));
    EXPECT_TRUE(
        result.err.contains(streamInput ? "FIFO that no program writes to" : "not a regular file"))
        << result.err.data();
  }
  EXPECT_TRUE(ReadFile(Path("rom.gba")) == original_);
  EXPECT_FALSE(QFile::exists(Path("p.ips")) || QFile::exists(Path("out.gba")));
}

TEST_F(HostileFiles, ANameThatIsNotUtf8IsKeptByteForByte) {
  const std::string rom = "\xff-rom.gba";
  const std::string out = "\xfe-out.gba";
  ASSERT_EQ(::rename(Native("rom.gba").c_str(), (dir_.path().toStdString() + "/" + rom).c_str()),
            0);
  // QString cannot carry these names; QProcess passes the arguments through QFile::encodeName.
  QProcess process;
  process.setWorkingDirectory(dir_.path());
  process.setProgram(QStringLiteral("/bin/sh"));
  process.setArguments({QStringLiteral("-c"),
                        QStringLiteral("'%1' info \"$(printf '\\377-rom.gba')\" && "
                                       "'%1' import \"$(printf '\\377-rom.gba')\" edits.csv -o "
                                       "\"$(printf '\\376-out.gba')\"")
                            .arg(QStringLiteral(VARSK_UNITS_PATH))});
  process.start();
  ASSERT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().data();
  EXPECT_TRUE(process.readAllStandardOutput().contains("\\xFF-rom.gba"));
  struct stat info {};
  EXPECT_EQ(::stat((dir_.path().toStdString() + "/" + out).c_str(), &info), 0);
  EXPECT_EQ(info.st_size, original_.size());
}

TEST_F(HostileFiles, StandardOutputThatCannotBeWrittenFailsOnlyWhatItCarries) {
  if (!QFile::exists(QStringLiteral("/dev/full"))) GTEST_SKIP() << "no /dev/full";
  // The work is done and the lost status line changes nothing.
  ProcessResult result = Run(
      {QStringLiteral("auto-modify"), QStringLiteral("rom.gba"), QStringLiteral("--product-turn")},
      QStringLiteral("/dev/full"));
  EXPECT_EQ(result.exitCode, 0) << result.err.data();
  EXPECT_FALSE(ReadFile(Path("rom.gba")) == original_);
  // Data asked for on standard output that cannot be written is an error.
  result = Run({QStringLiteral("dump"), QStringLiteral("rom.gba")}, QStringLiteral("/dev/full"));
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(result.err.contains("varsk-units: dump: cannot write to standard output"))
      << result.err.data();
  EXPECT_EQ(Run({QStringLiteral("--version")}, QStringLiteral("/dev/full")).exitCode, 1);
}

TEST_F(HostileFiles, TwoInPlaceImportsAtOnceBothLand) {
  WriteFile(Path("a.csv"), "entryIndex,hp\n1,301\n");
  WriteFile(Path("b.csv"), "entryIndex,cost\n2,1234\n");
  QProcess a;
  QProcess b;
  for (auto [process, edits] : {std::pair{&a, "a.csv"}, std::pair{&b, "b.csv"}}) {
    process->setWorkingDirectory(dir_.path());
    process->start(QStringLiteral(VARSK_UNITS_PATH),
                   {QStringLiteral("import"), QStringLiteral("rom.gba"), QLatin1String(edits)});
  }
  ASSERT_TRUE(a.waitForFinished(60000) && b.waitForFinished(60000));
  EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().data();
  EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().data();
  const QByteArray rom = ReadFile(Path("rom.gba"));
  const auto little16 = [&](qint64 at) {
    return static_cast<uint8_t>(rom[at]) | static_cast<uint8_t>(rom[at + 1]) << 8;
  };
  EXPECT_EQ(little16(kMsTableOffset + 2), 301);                 // entry 1's hp
  EXPECT_EQ(little16(kMsTableOffset + kRomMsEntrySize), 1234);  // entry 2's cost
}

// apply in place replaces the ROM whole while in-place imports change it:
// every change reported as written is in the file at the end, whichever
// order the programs took.
TEST_F(HostileFiles, InPlaceImportsRacingApplyInPlaceAllLand) {
  constexpr int kImports = 8;
  constexpr int kApplies = 4;
  // Import i sets entry i's hp; patch k flips one byte after the tables.
  const auto patchedByte = [](int k) { return qint64{kRomTablesEnd} + 16 * k; };
  std::vector<QStringList> runs;
  for (int i = 1; i <= kImports; ++i) {
    const QString edits = QStringLiteral("e%1.csv").arg(i);
    WriteFile(Path(edits), QStringLiteral("entryIndex,hp\n%1,%2\n").arg(i).arg(300 + i).toUtf8());
    runs.push_back({QStringLiteral("import"), QStringLiteral("rom.gba"), edits});
    if (i % 2 == 0) {
      const int k = i / 2 - 1;
      const qint64 at = patchedByte(k);
      const char record[] = {
          static_cast<char>(at >> 16),      static_cast<char>(at >> 8), static_cast<char>(at), 0, 1,
          static_cast<char>(~original_[at])};
      const QString patch = QStringLiteral("p%1.ips").arg(k);
      WriteFile(Path(patch), "PATCH" + QByteArray(record, sizeof record) + "EOF");
      runs.push_back({QStringLiteral("apply"), patch, QStringLiteral("rom.gba"),
                      QStringLiteral("-o"), QStringLiteral("rom.gba")});
    }
  }
  std::vector<std::unique_ptr<QProcess>> processes;
  for (const QStringList& args : runs) {
    processes.push_back(std::make_unique<QProcess>());
    processes.back()->setWorkingDirectory(dir_.path());
    processes.back()->start(QStringLiteral(VARSK_UNITS_PATH), args);
  }
  for (const auto& process : processes) {
    ASSERT_TRUE(process->waitForFinished(60000));
    EXPECT_EQ(process->exitCode(), 0) << process->readAllStandardError().data();
  }
  const QByteArray rom = ReadFile(Path("rom.gba"));
  for (int i = 1; i <= kImports; ++i) {
    const qint64 hp = kMsTableOffset + (i - 1) * kRomMsEntrySize + 2;
    EXPECT_EQ(static_cast<uint8_t>(rom[hp]) | static_cast<uint8_t>(rom[hp + 1]) << 8, 300 + i)
        << "entry " << i;
  }
  for (int k = 0; k < kApplies; ++k) {
    EXPECT_EQ(rom[patchedByte(k)], static_cast<char>(~original_[patchedByte(k)])) << "patch " << k;
  }
}

// A file system that is really full: a small tmpfs (root only), filled up.
class FullFileSystem : public HostileFiles {
 protected:
  void SetUp() override {
    HostileFiles::SetUp();
    mount_ = Path(QStringLiteral("full"));
    QDir().mkdir(mount_);
    if (::mount("tmpfs", QFile::encodeName(mount_).constData(), "tmpfs", 0, "size=256k") != 0) {
      GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    }
    mounted_ = true;
    WriteFile(mount_ + QStringLiteral("/good.ips"), "an earlier patch");
    QFile filler(mount_ + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
  }
  void TearDown() override {
    if (mounted_) ::umount2(QFile::encodeName(mount_).constData(), MNT_DETACH);
  }
  QString mount_;
  bool mounted_ = false;
};

TEST_F(FullFileSystem, WritersFailAndLeaveTheOldFiles) {
  QByteArray changed = original_;
  changed[100] = static_cast<char>(~changed[100]);
  WriteFile(Path("changed.gba"), changed);
  const QByteArray goodPatch = ReadFile(mount_ + QStringLiteral("/good.ips"));
  const QStringList entries = FolderEntries(mount_);
  const QStringList runs[] = {
      {QStringLiteral("patch"), QStringLiteral("rom.gba"), QStringLiteral("changed.gba"),
       QStringLiteral("-o"), mount_ + QStringLiteral("/good.ips")},
      {QStringLiteral("render"), QStringLiteral("--entry"), QStringLiteral("12"),
       QStringLiteral("-o"), mount_ + QStringLiteral("/e.png")},
      {QStringLiteral("dump"), QStringLiteral("-o"), mount_ + QStringLiteral("/dump.json")},
  };
  for (const QStringList& args : runs) {
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 1) << args.join(u' ').toStdString();
    EXPECT_TRUE(result.err.contains("No space left on device")) << result.err.data();
  }
  EXPECT_TRUE(ReadFile(mount_ + QStringLiteral("/good.ips")) == goodPatch);
  EXPECT_EQ(FolderEntries(mount_), entries);
}

}  // namespace
}  // namespace varsk::faults
