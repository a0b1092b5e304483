#include "fault_support.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <cstring>
#include <random>

#include "data/rom_tables.h"

namespace varsk::faults {
namespace {

// Sets or clears FS_IMMUTABLE_FL; returns 0 or the errno.
int SetImmutable(const std::string& path, bool on) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  int flags = 0;
  int error = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
    error = errno;
  } else {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) error = errno;
  }
  ::close(fd);
  return error;
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const QString& path) : path_(QFile::encodeName(path).toStdString()) {
  if (::geteuid() != 0) {
    ok_ = ::chmod(path_.c_str(), 0444) == 0;
    if (!ok_) reason_ = std::string("chmod failed: ") + std::strerror(errno);
    return;
  }
  const int error = SetImmutable(path_, true);
  immutable_ = ok_ = error == 0;
  if (!ok_) {
    reason_ = std::string("running as root, and this file system cannot mark a file immutable: ") +
              std::strerror(error);
  }
}

ReadOnlyFile::~ReadOnlyFile() {
  if (immutable_) SetImmutable(path_, false);
  if (ok_ && !immutable_) ::chmod(path_.c_str(), 0644);
}

FileSizeLimit::FileSizeLimit(uint64_t bytes) {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  previousSoft_ = limit.rlim_cur;
  limit.rlim_cur = bytes;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
}

FileSizeLimit::~FileSizeLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = previousSoft_;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previousHandler_);
}

ProcessResult RunUnits(const QStringList& args, const QString& workDir, uint64_t fileSizeLimit,
                       const QString& standardOutput) {
  QProcess process;
  if (!standardOutput.isEmpty()) process.setStandardOutputFile(standardOutput);
  process.setWorkingDirectory(workDir);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  process.setProcessEnvironment(env);
  process.setStandardInputFile(QProcess::nullDevice());
  if (fileSizeLimit != 0) {
    // Runs in the child between fork and exec: only async-signal-safe calls.
    // SIGXFSZ keeps its default action, which kills: as under a shell's
    // ulimit -f, the program itself must turn the limit into an error.
    process.setChildProcessModifier([fileSizeLimit] {
      rlimit limit{};
      ::getrlimit(RLIMIT_FSIZE, &limit);
      limit.rlim_cur = fileSizeLimit;
      ::setrlimit(RLIMIT_FSIZE, &limit);
      ::signal(SIGXFSZ, SIG_DFL);
    });
  }
  process.start(QStringLiteral(VARSK_UNITS_PATH), args);
  ProcessResult result;
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
    result.err = "varsk-units did not finish normally: " + process.errorString().toUtf8();
    return result;
  }
  result.exitCode = process.exitCode();
  result.out = process.readAllStandardOutput();
  result.err = process.readAllStandardError();
  return result;
}

QByteArray SyntheticRom(uint32_t seed, qsizetype tail) {
  QByteArray bytes(static_cast<qsizetype>(kRomTablesEnd) + tail, Qt::Uninitialized);
  std::mt19937 random(seed);
  for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
  return bytes;
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
    qFatal("cannot write %s", qPrintable(path));
  }
}

QStringList FolderEntries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace varsk::faults
