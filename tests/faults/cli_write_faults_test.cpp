// varsk-units import, auto-modify and apply when the write fails: a full disk
// (a file-size limit on the process), a read-only file, a folder that has
// gone, a directory where the file was; in place and with -o OUT. Each exits 1
// with one "varsk-units: " line naming the file, and every file on disk is as
// it was, or (in place) completely written.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "data/rom_tables.h"
#include "fault_support.h"
#include "patch/ips_patch.h"

namespace varsk::faults {
namespace {

enum class Command { Import, AutoModify, Apply };
enum class Fault { DiskFull, ReadOnly, FolderGone, Directory };
enum class Target { InPlace, Output };

std::string Name(Command c) {
  switch (c) {
    case Command::Import:
      return "Import";
    case Command::AutoModify:
      return "AutoModify";
    case Command::Apply:
      return "Apply";
  }
  return {};
}

std::string Name(Fault f) {
  switch (f) {
    case Fault::DiskFull:
      return "DiskFull";
    case Fault::ReadOnly:
      return "ReadOnly";
    case Fault::FolderGone:
      return "FolderGone";
    case Fault::Directory:
      return "Directory";
  }
  return {};
}

using Case = std::tuple<Command, Target, Fault>;

class CliWriteFault : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    rom_ = Path(QStringLiteral("rom.gba"));
    original_ = SyntheticRom(11);
    WriteFile(rom_, original_);
    // Entry 1's HP and a ship's cost: values the random ROM does not hold.
    WriteFile(Path(QStringLiteral("edits.csv")), "entryIndex,hp,cost\n1,300,\n200,,4242\n");
    QByteArray patched = original_;
    patched[static_cast<qsizetype>(kMsTableOffset + 2)] = 0x2C;
    patched[static_cast<qsizetype>(kMsTableOffset + 3)] = 0x01;
    patched[10] = static_cast<char>(~patched[10]);
    const auto bytes = [](const QByteArray& a) {
      return std::span(reinterpret_cast<const uint8_t*>(a.constData()),
                       static_cast<size_t>(a.size()));
    };
    const std::vector<uint8_t> ips = MakeIpsPatch(bytes(original_), bytes(patched));
    WriteFile(
        Path(QStringLiteral("change.ips")),
        QByteArray(reinterpret_cast<const char*>(ips.data()), static_cast<qsizetype>(ips.size())));
  }

  QString Path(const QString& name) const { return dir_.filePath(name); }

  QStringList Args(Command command, const QString& rom, const QString& out) const {
    QStringList args;
    switch (command) {
      case Command::Import:
        args = {QStringLiteral("import"), rom, Path(QStringLiteral("edits.csv"))};
        break;
      case Command::AutoModify:
        args = {QStringLiteral("auto-modify"), rom, QStringLiteral("--product-turn")};
        break;
      case Command::Apply:
        args = {QStringLiteral("apply"), Path(QStringLiteral("change.ips")), rom};
        break;
    }
    if (!out.isEmpty()) args << QStringLiteral("-o") << out;
    return args;
  }

  QTemporaryDir dir_;
  QString rom_;
  QByteArray original_;
};

TEST_P(CliWriteFault, ExitsWithOneLineAndLeavesNoHalfWrittenFile) {
  const auto [command, target, fault] = GetParam();
  // The file that the command writes, and what it holds after a good run.
  const QString out = target == Target::Output ? Path(QStringLiteral("out/new.gba")) : QString();
  QDir().mkpath(Path(QStringLiteral("out")));
  std::optional<QByteArray> complete;
  {
    QTemporaryDir good;
    const QString goodRom = good.filePath(QStringLiteral("rom.gba"));
    WriteFile(goodRom, original_);
    const QString goodOut = out.isEmpty() ? QString() : good.filePath(QStringLiteral("new.gba"));
    const ProcessResult result = RunUnits(Args(command, goodRom, goodOut), good.path());
    ASSERT_EQ(result.exitCode, 0) << result.err.constData();
    complete = ReadFile(goodOut.isEmpty() ? goodRom : goodOut);
    ASSERT_NE(*complete, original_);
  }

  QString written = out.isEmpty() ? rom_ : out;  // the file under fault
  QString romArg = rom_;
  const QByteArray earlierOut("an earlier output");
  if (!out.isEmpty() && fault != Fault::FolderGone) WriteFile(out, earlierOut);
  uint64_t limit = 0;
  std::unique_ptr<ReadOnlyFile> readOnly;
  switch (fault) {
    case Fault::DiskFull:
      // In place the limit falls inside the MS table; a new file stops at 1 MB.
      limit = out.isEmpty() ? kMsTableOffset + 100 : 1 << 20;
      break;
    case Fault::ReadOnly:
      readOnly = std::make_unique<ReadOnlyFile>(written);
      if (!readOnly->Ok()) GTEST_SKIP() << readOnly->Reason();
      break;
    case Fault::FolderGone:
      written = Path(QStringLiteral("gone/") + QFileInfo(written).fileName());
      if (out.isEmpty()) romArg = written;
      break;
    case Fault::Directory:
      QFile::remove(written);
      QDir().mkpath(written + QStringLiteral("/inside"));
      break;
  }
  const QString outArg = out.isEmpty() ? QString() : written;
  const QStringList entriesBefore = FolderEntries(QFileInfo(written).path());

  const ProcessResult result = RunUnits(Args(command, romArg, outArg), dir_.path(), limit);
  readOnly.reset();

  EXPECT_EQ(result.exitCode, 1) << result.err.constData();
  const QString err = QString::fromUtf8(result.err);
  EXPECT_TRUE(err.startsWith(QStringLiteral("varsk-units: "))) << err.toStdString();
  EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << err.toStdString();
  EXPECT_TRUE(err.contains(QFileInfo(written).fileName())) << err.toStdString();

  // The input ROM is as it was, unless it is the file written in place, which
  // may also be complete.
  if (!out.isEmpty() || fault == Fault::ReadOnly || fault == Fault::DiskFull) {
    const QByteArray rom = ReadFile(rom_);
    EXPECT_TRUE(rom == original_ || (out.isEmpty() && rom == *complete))
        << "the ROM is half written";
  }
  switch (fault) {
    case Fault::DiskFull:
    case Fault::ReadOnly:
      if (!out.isEmpty()) {
        EXPECT_EQ(ReadFile(written), earlierOut);
      }
      break;
    case Fault::FolderGone:
      EXPECT_FALSE(QFileInfo::exists(QFileInfo(written).path()));
      break;
    case Fault::Directory:
      EXPECT_TRUE(QFileInfo(written + QStringLiteral("/inside")).isDir());
      break;
  }
  // No temporary file is left beside the target.
  if (fault != Fault::FolderGone) {
    EXPECT_EQ(FolderEntries(QFileInfo(written).path()), entriesBefore);
  }
}

INSTANTIATE_TEST_SUITE_P(InPlace, CliWriteFault,
                         ::testing::Combine(::testing::Values(Command::Import, Command::AutoModify),
                                            ::testing::Values(Target::InPlace),
                                            ::testing::Values(Fault::DiskFull, Fault::ReadOnly,
                                                              Fault::FolderGone, Fault::Directory)),
                         [](const auto& tpi) {
                           return Name(std::get<0>(tpi.param)) + Name(std::get<2>(tpi.param));
                         });

INSTANTIATE_TEST_SUITE_P(
    Output, CliWriteFault,
    ::testing::Combine(::testing::Values(Command::Import, Command::AutoModify, Command::Apply),
                       ::testing::Values(Target::Output),
                       ::testing::Values(Fault::DiskFull, Fault::ReadOnly, Fault::FolderGone,
                                         Fault::Directory)),
    [](const auto& tpi) { return Name(std::get<0>(tpi.param)) + Name(std::get<2>(tpi.param)); });

}  // namespace
}  // namespace varsk::faults
