// Ways to make a file write fail, for the fault-injection tests: a read-only
// file that stays read-only for root too, a process file-size limit that acts
// like a disk filling up, and running varsk-units under such a limit.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>

namespace varsk::faults {

// Makes a file read-only for the lifetime of the guard. Root ignores the
// permission bits, so for root the file is marked immutable (FS_IMMUTABLE_FL,
// as `chattr +i` does); anyone else gets mode 0444. Ok() is false when
// neither works here (the test is then skipped, with Reason()).
class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const QString& path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  bool Ok() const { return ok_; }
  const std::string& Reason() const { return reason_; }
  // The errno that opening the file for writing meets: EPERM or EACCES.
  int OpenError() const { return immutable_ ? EPERM : EACCES; }

 private:
  std::string path_;
  bool ok_ = false;
  bool immutable_ = false;
  std::string reason_;
};

// Limits the size to which this process may write files (RLIMIT_FSIZE) while
// the guard lives: a write that reaches `bytes` comes up short, the next one
// fails with EFBIG, as on a disk that fills up. SIGXFSZ is ignored meanwhile.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(uint64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  uint64_t previousSoft_ = 0;
  void (*previousHandler_)(int) = nullptr;
};

struct ProcessResult {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

// Runs varsk-units with `args` in `workDir`; when `fileSizeLimit` is not 0 the
// program runs with that RLIMIT_FSIZE and the default action of SIGXFSZ (as
// under ulimit -f). Standard output goes to `standardOutput` when given.
ProcessResult RunUnits(const QStringList& args, const QString& workDir, uint64_t fileSizeLimit = 0,
                       const QString& standardOutput = QString());

// A ROM image just long enough for the tables plus `tail` bytes, every byte
// pseudo-random (seeded).
QByteArray SyntheticRom(uint32_t seed, qsizetype tail = 4096);

QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& bytes);
// The names in a folder, sorted (to see that no temporary file was left).
QStringList FolderEntries(const QString& dir);

}  // namespace varsk::faults
