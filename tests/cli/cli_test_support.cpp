#include "cli/cli_test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <random>

namespace varsk::cli::test {

ProcessResult RunUnits(const QStringList& args, const QString& workDir) {
  QProcess process;
  process.setProgram(QStringLiteral(VARSK_UNITS_PATH));
  process.setArguments(args);
  process.setWorkingDirectory(workDir);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  process.setProcessEnvironment(environment);
  process.start();
  ProcessResult result;
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
    ADD_FAILURE() << "varsk-units did not finish normally: " << args.join(' ').toStdString();
    return result;
  }
  result.exitCode = process.exitCode();
  result.out = process.readAllStandardOutput();
  result.err = process.readAllStandardError();
  return result;
}

QByteArray SyntheticRom(uint32_t seed, qsizetype size) {
  QByteArray bytes(size, Qt::Uninitialized);
  std::mt19937 random(seed);
  for (qsizetype i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>(random() & 0xFF);
  }
  return bytes;
}

QString SyntheticNameE(int entryIndex) {
  if (entryIndex == 7) {
    return QStringLiteral("Gun, \"Heavy\" \u00c6ther");
  }
  return QStringLiteral("Unit %1").arg(entryIndex);
}

void WriteNameLists(const QString& dir) {
  const char* files[] = {"namestringC.txt", "namestringE.txt", "namestringJ.txt"};
  for (int list = 0; list < 3; ++list) {
    QByteArray text;
    for (int line = 1; line <= 404; ++line) {
      QString name =
          list == 1 ? SyntheticNameE(line) : QStringLiteral("L%1 %2").arg(list).arg(line);
      if (line == 7 && list != 1) {
        name = QStringLiteral("\u6a5f\u52d5, \"%1\"").arg(list);
      }
      text += name.toUtf8() + "\r\n";
    }
    WriteFile(QDir(dir).filePath(QLatin1String(files[list])), text);
  }
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(file.write(bytes), bytes.size());
}

void CliTest::SetUp() {
  ASSERT_TRUE(dir_.isValid());
  WriteNameLists(dir_.path());
  rom_ = Path(QStringLiteral("rom.gba"));
  romBytes_ = SyntheticRom(0x5EED);
  WriteFile(rom_, romBytes_);
}

void CliTest::ExpectSuccess(const ProcessResult& result) {
  EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
  EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
}

void CliTest::ExpectFailure(const ProcessResult& result, int exitCode, const QString& fragment) {
  EXPECT_EQ(result.exitCode, exitCode) << result.err.toStdString();
  const QString err = QString::fromUtf8(result.err);
  EXPECT_TRUE(err.startsWith(QLatin1String("varsk-units: "))) << err.toStdString();
  EXPECT_EQ(err.count(QLatin1Char('\n')), 1) << err.toStdString();
  EXPECT_TRUE(err.contains(fragment))
      << "expected \"" << fragment.toStdString() << "\" in " << err.toStdString();
}

}  // namespace varsk::cli::test
