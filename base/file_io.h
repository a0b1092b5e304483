// The file layer: every file the programs read or write goes through here.
// Paths are byte strings as the system takes them (a program argument as
// given, QFile::encodeName of a name that comes from Qt); they are decoded
// only to be shown in messages (FullPath).
//
// - Opening never blocks and refuses what is not a regular file (a folder, a
//   FIFO, a device, a socket), so a FIFO cannot hang a program and /dev/zero
//   is never read. Only an edit file or a patch may come from a stream:
//   "-" (standard input) or a pipe that a program writes to (/dev/stdin,
//   <(...)), read to its end with the same bound.
// - "-" names the standard streams, never a file: no file of that name is
//   opened or made (./- names one).
// - A whole-file read has an upper bound for each kind of file.
// - A new file replaces the old one whole or not at all: it is written beside
//   its target under a temporary name, every write and the sync checked,
//   renamed into place and the folder synced. On any failure the temporary
//   file is removed and the old target is untouched.
// - An in-place update (Save ROM) rewrites one run of an existing file with one
//   positional write and a sync, under an exclusive advisory lock held from
//   reading the old bytes to the sync, and puts the old bytes back when the
//   write fails. Readers take a shared lock, so they never see half an update.
//   A whole replacement of an existing file holds the same exclusive lock, and
//   an updater that finds the file replaced while it waited updates the new one.
#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace varsk {

// What a whole-file read is for; each kind has its own upper bound.
enum class FileKind { RomImage, Patch, EditsFile, NameListFile };

// No ROM comes near this; a BPS patch may not declare a larger result either.
inline constexpr uint64_t kRomImageSizeLimit = uint64_t{256} << 20;
// A patch that carries a whole ROM of the largest size, with room for its records.
inline constexpr uint64_t kPatchSizeLimit = kRomImageSizeLimit + (uint64_t{16} << 20);
// A full dump is about half a megabyte.
inline constexpr uint64_t kEditsFileSizeLimit = uint64_t{16} << 20;
// A name list of 404 names is some kilobytes.
inline constexpr uint64_t kNameListSizeLimit = uint64_t{4} << 20;

uint64_t SizeLimitOf(FileKind kind);

// "-": standard input where a command reads an input, standard output where
// it writes one.
inline constexpr char kStandardStreamName[] = "-";
inline bool IsStandardStream(std::string_view path) { return path == kStandardStreamName; }
// An input as messages name it: "standard input" for "-", else ShownText(path).
std::string ShownInputName(std::string_view path);
// Whether standard output is a terminal, where binary output is not written.
bool StandardOutputIsTerminal();

// Sets up the process for the promises above; every program calls it first.
// SIGXFSZ is ignored, so that a file size limit (ulimit -f) makes a write fail
// with EFBIG, which is reported and rolled back, instead of killing the
// program half way. Closed standard descriptors 0, 1 and 2 are held by
// /dev/null opened read-only, so that no file the program opens takes their
// number (output to them still fails, as on a closed descriptor). The soft
// limit of open files is raised to the hard limit, so that a low soft limit
// set for another program costs this one nothing.
void PrepareProcessForFiles();

// Points standard error at /dev/null, for libraries that print there on their
// own while they start (a display library's notes); returns a descriptor of
// the real standard error, which RestoreStandardError puts back, or -1 when
// nothing was changed.
int SilenceStandardError();
void RestoreStandardError(int saved);

// How many more files this process may open now: the limit of open files less
// the descriptors open. A program that needs more refuses to start with
// TooFewDescriptorsMessage, instead of failing half way in a library.
int64_t FreeDescriptorCount();

// An existing regular file, opened for reading or for an in-place update; it
// is never created, truncated or grown.
class RegularFile {
 public:
  enum class Access { Read, Update };
  // Throws VarskError "Cannot open file ..." for a missing or unopenable file,
  // a folder, a FIFO, device or socket, or a file another program keeps
  // locked past the wait. Read takes a shared lock, Update an exclusive one;
  // once it holds the lock, Update checks that `path` still names the file it
  // locked (another writer may have replaced it whole meanwhile) and otherwise
  // opens and locks the new one.
  RegularFile(const std::string& path, Access access);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  const std::string& Path() const { return path_; }
  // The size when the file was opened.
  uint64_t Size() const { return size_; }
  // Reads up to bytes.size() bytes at `offset`; returns how many were read
  // (fewer only where the file ends). Throws "Cannot read file ..." on an I/O error.
  size_t ReadAt(uint64_t offset, std::span<uint8_t> bytes) const;
  // The whole content, as ReadWholeFile reads it.
  std::vector<uint8_t> ReadWhole(FileKind kind) const;
  // Makes the file at `copyPath` hold `content` (this file's whole content,
  // read while the lock is held), replaced whole as ReplaceFile replaces it:
  // the backup kept before an in-place change. A `copyPath` that is this file
  // itself is refused ("Cannot create file ...").
  void KeepCopy(const std::string& copyPath, std::span<const uint8_t> content) const;
  // Update only: writes `bytes` at `offset` in one positional write (carried
  // on after a short write) and syncs the file. When that fails, writes
  // `previous` (the run as it was) back and syncs, best effort, and throws
  // "Cannot write file ..." with the first failure's cause.
  void ReplaceRun(uint64_t offset, std::span<const uint8_t> bytes,
                  std::span<const uint8_t> previous);
  // Update only: makes the file at Path() hold `pieces`, replaced whole as
  // ReplaceFile replaces it, while this lock is held; the descriptor then
  // stays on the old file until Close. Throws as ReplaceFile does.
  void ReplaceWhole(std::span<const std::span<const uint8_t>> pieces);
  void ReplaceWhole(std::span<const uint8_t> bytes);
  // Closes the file and releases the lock; after an update a failed close
  // throws "Cannot write file ...". The destructor closes silently.
  void Close();

 private:
  std::string path_;
  int fd_ = -1;
  uint64_t size_ = 0;
  Access access_;
};

// The whole content of the regular file at `path`. Throws VarskError like
// RegularFile, "Cannot read file ..." on an I/O error, and FileTooLargeMessage
// for a file larger than SizeLimitOf(kind).
std::vector<uint8_t> ReadWholeFile(const std::string& path, FileKind kind);

// The whole content of an edit file or a patch, which may also come from a
// stream: "-" reads standard input to its end; a path that names a pipe
// (/dev/stdin, /dev/fd/63 of <(...), a named FIFO that a program has open for
// writing) is read to its end; anything else as ReadWholeFile. The size limit
// of `kind` holds for each. A named FIFO that no program writes to is refused
// at once ("Cannot open file ..."), and a patch is not read from a terminal.
// Waits only while a program that writes to the pipe has not finished.
std::vector<uint8_t> ReadWholeInput(const std::string& path, FileKind kind);

// Makes the file at `path` hold `pieces` one after the other, atomically, as
// described above. A symbolic link is followed: its target is replaced, or
// made when it is not there yet. An existing file keeps its permissions, and
// its exclusive lock (as RegularFile Update takes it) is held until the new
// file is in its place, so no in-place update is lost to the replacement.
// Throws VarskError "Cannot create file ..." for an empty path, a missing
// folder, a loop of links, a folder or other non-regular file at `path`, a
// link whose text does not name the file it opens (/proc/self/fd/N of a
// deleted file), a file that may not be written or is kept locked, or a
// failed rename; "Cannot write file ..." when a write or the sync fails.
void ReplaceFile(const std::string& path, std::span<const std::span<const uint8_t>> pieces);
void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes);

// The position in `inputs` of the first existing file that is the file at
// `output` itself (the same device and inode, symbolic links followed), if
// any; "-" names no file.
std::optional<size_t> FindSameFile(const std::string& output, std::span<const std::string> inputs);

// Makes `bytes` (empty) able to hold `size` bytes without moving, backed by
// large pages where the system offers them: a fresh process pays for every
// 4 KiB page it touches, and ROM-sized buffers fill several times faster so.
void ReserveImage(std::vector<uint8_t>& bytes, size_t size);

// For tests and benchmarks: the system calls through which the layer writes,
// syncs and renames, and how long it waits for a lock. Write failures, short
// writes and full disks are made by replacing them.
struct FileCalls {
  ssize_t (*pwrite)(int fd, const void* data, size_t count, off_t offset) = &::pwrite;
  int (*fsync)(int fd) = &::fsync;
  int (*rename)(const char* from, const char* to) = &::rename;
  int lockWaitMilliseconds = 5000;
};
// Replaces the calls until the next call; FileCalls{} restores the system's.
void SetFileCallsForTesting(const FileCalls& calls);

}  // namespace varsk
