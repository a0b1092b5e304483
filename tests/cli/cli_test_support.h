// Running the built varsk-units and making its input files, for the end-to-end tests.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>

namespace varsk::cli::test {

struct ProcessResult {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

// Runs varsk-units with `args` in `workDir` (offscreen, no display).
ProcessResult RunUnits(const QStringList& args, const QString& workDir);

// An 8 MiB image of pseudo-random bytes (seeded), so every table byte,
// including those the codec would normalise, is exercised.
QByteArray SyntheticRom(uint32_t seed, qsizetype size = 8 * 1024 * 1024);

// Three name lists of 404 lines; entry 7's names hold a comma, a quote and
// non-ASCII text, so CSV quoting and UTF-8 are exercised.
void WriteNameLists(const QString& dir);
// The entry name that WriteNameLists gives entry `entryIndex` in list E.
QString SyntheticNameE(int entryIndex);

QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);

// A temporary folder with name lists and a synthetic ROM "rom.gba".
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override;
  QString Path(const QString& name) const { return dir_.filePath(name); }
  ProcessResult Run(const QStringList& args) const { return RunUnits(args, dir_.path()); }
  // Fails the test unless the run succeeded with nothing on stderr.
  static void ExpectSuccess(const ProcessResult& result);
  // Fails the test unless the run failed with `exitCode` and one stderr line
  // "varsk-units: ..." containing `fragment`.
  static void ExpectFailure(const ProcessResult& result, int exitCode, const QString& fragment);

  QTemporaryDir dir_;
  QString rom_;
  QByteArray romBytes_;
};

}  // namespace varsk::cli::test
