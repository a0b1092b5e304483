// The file layer: bounded, non-blocking reads of regular files, atomic
// replacement, and locked in-place updates.
#include "base/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <thread>

#include "base/messages.h"
#include "base/shown_text.h"

namespace varsk {
namespace {

FileCalls calls;

constexpr size_t kSmallPage = 4096;
// Below this a buffer gains nothing from large pages.
constexpr size_t kLargeImage = size_t{4} << 20;

[[noreturn]] void ThrowCannotOpen(const std::string& path, const std::string& cause) {
  throw VarskError(CannotOpenFileMessage(FullPath(path), cause));
}
[[noreturn]] void ThrowCannotCreate(const std::string& path, const std::string& cause) {
  throw VarskError(CannotCreateFileMessage(FullPath(path), cause));
}
[[noreturn]] void ThrowCannotCreate(const std::string& path, int error) {
  ThrowCannotCreate(path, SystemErrorText(error));
}
[[noreturn]] void ThrowCannotWrite(const std::string& path, int error) {
  throw VarskError(CannotWriteFileMessage(FullPath(path), SystemErrorText(error)));
}

// What a file that is not a regular file is, for messages.
std::string WhatItIs(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a plain file";
}

// The cause for a file of type `mode` that may not be opened; "" for a regular file.
std::string RefusalOf(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return SystemErrorText(EISDIR);
  return NotARegularFileText(WhatItIs(mode));
}

const char* KindName(FileKind kind) {
  switch (kind) {
    case FileKind::RomImage:
      return "a ROM image";
    case FileKind::Patch:
      return "a patch";
    case FileKind::EditsFile:
      return "an edits file";
    case FileKind::NameListFile:
      return "a name list";
  }
  return "a file";
}

// Writes all of `bytes` at `offset` through the write seam, carrying on after
// short writes; returns 0 or the errno (ENOSPC for a write that makes no progress).
int WriteAllAt(int fd, std::span<const uint8_t> bytes, uint64_t offset) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = calls.pwrite(fd, bytes.data() + done, bytes.size() - done,
                                     static_cast<off_t>(offset + done));
    if (put < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (put == 0) return ENOSPC;
    done += static_cast<size_t>(put);
  }
  return 0;
}

// Takes the advisory lock, waiting until `deadline` for another program to
// release it; false when the wait ran out. File systems without locks are
// used without.
bool Lock(int fd, int operation, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (::flock(fd, operation | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return true;  // ENOLCK, EINVAL: no locking here
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Throws the error for the file being opened, with `cause`.
using Refuse = std::function<void(const std::string& cause)>;

// How often an exclusive opener follows the file to a new one that was
// renamed over it while it waited; each time another writer has finished.
constexpr int kMostReplacementsFollowed = 100;

// Opens the regular file at `path` with `flags`, never blocking on what is not
// a regular file, and takes the lock `operation`, all within one lock wait;
// `info` is the opened file's. An exclusive opener then checks that `path`
// still names the file it locked: a writer that replaces the file whole
// renames its new file over it under the same lock, and a change made to the
// old one would be lost. It then opens the new one. `refuse` throws.
int OpenLocked(const std::string& path, int flags, int operation, struct stat& info,
               const Refuse& refuse) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(calls.lockWaitMilliseconds);
  for (int replaced = 0; replaced <= kMostReplacementsFollowed; ++replaced) {
    // Looked at before opening, so that opening a device has no side effects;
    // checked again on the descriptor, in case the name changed meanwhile.
    if (::stat(path.c_str(), &info) != 0) refuse(SystemErrorText(errno));
    if (const std::string refusal = RefusalOf(info.st_mode); !refusal.empty()) {
      refuse(refusal);
    }
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) refuse(SystemErrorText(errno));
    const auto fail = [&](const std::string& cause) {
      ::close(fd);
      refuse(cause);
    };
    if (::fstat(fd, &info) != 0) fail(SystemErrorText(errno));
    if (const std::string refusal = RefusalOf(info.st_mode); !refusal.empty()) fail(refusal);
    if (!Lock(fd, operation, deadline)) {
      fail(FileLockedText((calls.lockWaitMilliseconds + 999) / 1000));
    }
    struct stat named {};
    if (operation != LOCK_EX || (::stat(path.c_str(), &named) == 0 && named.st_dev == info.st_dev &&
                                 named.st_ino == info.st_ino)) {
      return fd;
    }
    ::close(fd);
  }
  refuse(FileKeepsBeingReplacedText());
  return -1;
}

// The folder part and the name part of a path ("." for a bare name).
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// As many links as the system follows in one path (it refuses one more).
constexpr int kMostLinksFollowed = 40;
// How often the links are followed again when the file they lead to was
// replaced meanwhile (by another program's whole replacement).
constexpr int kMostResolutions = 3;

// The file a path names once symbolic links are followed, also where the last
// link leads to a file that is not there yet (it is then made, as a shell's
// redirection makes it). Throws for a loop of links and for what is there but
// is no regular file. The text of /proc's links is no path to rename over
// ("pipe:[N]", "/f (deleted)"), so a file that is there must be the one the
// followed link texts name (the same device and inode).
std::string ResolvedTarget(const std::string& path) {
  for (int resolution = 1;; ++resolution) {
    struct stat named {};
    const bool exists = ::stat(path.c_str(), &named) == 0;
    if (!exists && errno == ELOOP) ThrowCannotCreate(path, ELOOP);
    if (exists) {
      if (const std::string refusal = RefusalOf(named.st_mode); !refusal.empty()) {
        ThrowCannotCreate(path, refusal);
      }
    }
    std::string target = path;
    int hops = 0;
    for (;; ++hops) {
      struct stat info {};
      if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) break;
      if (hops == kMostLinksFollowed) ThrowCannotCreate(path, ELOOP);
      // A link of /proc (/dev/stdout leads to /proc/self/fd/1) names what a
      // descriptor holds open: a file opened to append to (>>) would be
      // replaced whole, its contents lost. Standard output is named '-'.
      struct statfs system {};
      if (::statfs(SplitPath(target).first.c_str(), &system) == 0 &&
          system.f_type == PROC_SUPER_MAGIC) {
        ThrowCannotCreate(path, DescriptorLinkText());
      }
      std::string link(PATH_MAX, '\0');
      const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
      if (length <= 0) break;
      link.resize(static_cast<size_t>(length));
      // A relative link is read from the folder that holds it.
      target = link.front() == '/' ? link : SplitPath(target).first + "/" + link;
    }
    struct stat found {};
    if (!exists || hops == 0 ||
        (::stat(target.c_str(), &found) == 0 && found.st_dev == named.st_dev &&
         found.st_ino == named.st_ino)) {
      return target;
    }
    if (resolution == kMostResolutions) ThrowCannotCreate(path, LinkDoesNotNameFileText());
  }
}

// A new file beside the target, removed again unless Keep() is called.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& folder, const std::string& name) {
    // Hidden, and short enough for any name the target may have.
    const std::string stem = folder + "/." + name.substr(0, 200) + ".";
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const auto tick = std::chrono::steady_clock::now().time_since_epoch().count();
      path_ = stem + std::to_string(::getpid()) + "-" +
              std::to_string((static_cast<unsigned long long>(tick) + ++counter) % 1000000) +
              ".tmp";
      fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
      if (fd_ >= 0 || errno != EEXIST) break;
    }
    error_ = fd_ < 0 ? errno : 0;
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (error_ == 0 && !kept_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int Error() const { return error_; }
  int fd() const { return fd_; }
  const std::string& Path() const { return path_; }
  // Returns 0 or the errno of a failed close (never retried: the descriptor is gone).
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  int fd_ = -1;
  int error_ = 0;
  bool kept_ = false;
};

}  // namespace

uint64_t SizeLimitOf(FileKind kind) {
  switch (kind) {
    case FileKind::RomImage:
      return kRomImageSizeLimit;
    case FileKind::Patch:
      return kPatchSizeLimit;
    case FileKind::EditsFile:
      return kEditsFileSizeLimit;
    case FileKind::NameListFile:
      return kNameListSizeLimit;
  }
  return 0;
}

void PrepareProcessForFiles() {
  std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit files {};
  if (::getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur < files.rlim_max) {
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
  }
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    // open() hands out the lowest free number: this one.
    const int held = ::open("/dev/null", O_RDONLY | O_NOCTTY);
    if (held >= 0 && held != fd) ::close(held);
  }
}

int SilenceStandardError() {
  const int saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  if (saved < 0) return -1;
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (null < 0 || ::dup2(null, STDERR_FILENO) < 0) {
    if (null >= 0) ::close(null);
    ::close(saved);
    return -1;
  }
  ::close(null);
  return saved;
}

void RestoreStandardError(int saved) {
  if (saved < 0) return;
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
}

int64_t FreeDescriptorCount() {
  struct rlimit files {};
  if (::getrlimit(RLIMIT_NOFILE, &files) != 0) return 0;
  const int64_t limit = files.rlim_cur == RLIM_INFINITY
                            ? INT64_MAX
                            : static_cast<int64_t>(std::min<rlim_t>(files.rlim_cur, INT64_MAX));
  DIR* open = ::opendir("/proc/self/fd");
  if (open == nullptr) {
    if (errno == EMFILE || errno == ENFILE) return 0;
    // Without /proc: every number below the limit that is open, up to a bound.
    int64_t used = 0;
    for (int fd = 0; fd < std::min<int64_t>(limit, 65536); ++fd) {
      if (::fcntl(fd, F_GETFD) >= 0) ++used;
    }
    return limit - used;
  }
  // Numbers at or above the limit (open before it was lowered) take no room below it.
  int64_t used = -1;  // the descriptor that reads the folder
  while (const dirent* entry = ::readdir(open)) {
    if (entry->d_name[0] != '.' && std::strtoll(entry->d_name, nullptr, 10) < limit) ++used;
  }
  ::closedir(open);
  return std::max<int64_t>(limit - used, 0);
}

std::string ShownInputName(std::string_view path) {
  return IsStandardStream(path) ? "standard input" : ShownText(path);
}

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

RegularFile::RegularFile(const std::string& path, Access access) : path_(path), access_(access) {
  if (IsStandardStream(path)) throw VarskError(StandardInputNotHereMessage());
  struct stat info {};
  const auto refuse = [&](const std::string& cause) { ThrowCannotOpen(path, cause); };
  fd_ = access == Access::Read ? OpenLocked(path, O_RDONLY, LOCK_SH, info, refuse)
                               : OpenLocked(path, O_RDWR, LOCK_EX, info, refuse);
  size_ = static_cast<uint64_t>(info.st_size);
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

size_t RegularFile::ReadAt(uint64_t offset, std::span<uint8_t> bytes) const {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got =
        ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      throw VarskError(CannotReadFileMessage(FullPath(path_), SystemErrorText(errno)));
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

void RegularFile::ReplaceRun(uint64_t offset, std::span<const uint8_t> bytes,
                             std::span<const uint8_t> previous) {
  int error = access_ == Access::Update ? WriteAllAt(fd_, bytes, offset) : EBADF;
  if (error == 0 && calls.fsync(fd_) != 0) error = errno;
  if (error == 0) return;
  // Overwriting bytes in place needs no new room on the disk, so putting the
  // old run back works where the new one failed (a full disk, a short write).
  if (access_ == Access::Update && WriteAllAt(fd_, previous, offset) == 0) calls.fsync(fd_);
  ThrowCannotWrite(path_, error);
}

void RegularFile::Close() {
  if (fd_ < 0) return;
  const int result = ::close(fd_);
  const int error = errno;
  fd_ = -1;
  if (result != 0 && access_ == Access::Update) ThrowCannotWrite(path_, error);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path, FileKind kind) {
  return RegularFile(path, RegularFile::Access::Read).ReadWhole(kind);
}

void RegularFile::KeepCopy(const std::string& copyPath, std::span<const uint8_t> content) const {
  const std::string self[] = {path_};
  if (FindSameFile(copyPath, self)) ThrowCannotCreate(copyPath, EEXIST);
  ReplaceFile(copyPath, content);
}

std::vector<uint8_t> RegularFile::ReadWhole(FileKind kind) const {
  const uint64_t limit = SizeLimitOf(kind);
  const auto tooLarge = [&] {
    return VarskError(FileTooLargeMessage(FullPath(path_), limit, KindName(kind)));
  };
  if (size_ > limit) throw tooLarge();
  std::vector<uint8_t> bytes;
  ReserveImage(bytes, static_cast<size_t>(size_));
  // Read to the end, whatever the size said: the file may change meanwhile.
  // While the reserved room lasts, read straight into it; once it is full, a
  // small probe tells the end from more data without moving the buffer.
  for (;;) {
    const size_t have = bytes.size();
    if (have == bytes.capacity()) {
      uint8_t probe[4096];
      const size_t got = ReadAt(have, probe);
      if (got == 0) return bytes;
      if (have + got > limit) throw tooLarge();
      bytes.insert(bytes.end(), probe, probe + got);
      continue;
    }
    bytes.resize(bytes.capacity());
    const size_t got = ReadAt(have, std::span(bytes).subspan(have));
    bytes.resize(have + got);
    if (got == 0) return bytes;
  }
}

namespace {

// Makes `target` (ResolvedTarget of `path`, which messages name) hold `pieces`:
// a temporary file beside it, written, synced, renamed over it, the folder
// synced. `existing`: the file there now, whose mode and owner the new one keeps.
void WriteAndRename(const std::string& path, const std::string& target, const struct stat* existing,
                    std::span<const std::span<const uint8_t>> pieces) {
  const auto [folder, name] = SplitPath(target);
  TemporaryFile temporary(folder, name);
  if (temporary.Error() != 0) ThrowCannotCreate(path, temporary.Error());
  if (existing != nullptr) {
    // The new file keeps the old one's owner where we may give it (as root).
    [[maybe_unused]] const int owned = ::fchown(temporary.fd(), existing->st_uid, existing->st_gid);
    if (::fchmod(temporary.fd(), existing->st_mode & 07777) != 0) {
      ThrowCannotCreate(path, errno);
    }
  }
  uint64_t offset = 0;
  for (const std::span<const uint8_t> piece : pieces) {
    if (const int error = WriteAllAt(temporary.fd(), piece, offset)) ThrowCannotWrite(path, error);
    offset += piece.size();
  }
  if (calls.fsync(temporary.fd()) != 0) ThrowCannotWrite(path, errno);
  if (const int error = temporary.Close()) ThrowCannotWrite(path, error);
  if (calls.rename(temporary.Path().c_str(), target.c_str()) != 0) ThrowCannotCreate(path, errno);
  temporary.Keep();

  // Makes the rename itself durable. The new file is complete and in place
  // either way, so a folder that cannot be synced is not reported.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    calls.fsync(dir);
    ::close(dir);
  }
}

// A descriptor closed when it goes out of scope.
struct HeldDescriptor {
  int fd = -1;
  ~HeldDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

void ReplaceFile(const std::string& path, std::span<const std::span<const uint8_t>> pieces) {
  if (path.empty()) ThrowCannotCreate(path, ENOENT);
  if (IsStandardStream(path)) throw VarskError(StandardOutputNotHereMessage());
  const std::string target = ResolvedTarget(path);
  if (SplitPath(target).second.empty()) ThrowCannotCreate(path, EISDIR);

  struct stat existing {};
  HeldDescriptor lock;
  if (::stat(target.c_str(), &existing) == 0) {
    // A file that may not be written is not replaced behind its owner's back.
    if (::access(target.c_str(), W_OK) != 0) ThrowCannotCreate(path, errno);
    // Held while the new file takes its place, as an in-place update holds it,
    // so that no update lands in the old file after this one was read.
    const int flags = ::access(target.c_str(), R_OK) == 0 ? O_RDONLY : O_WRONLY;
    lock.fd = OpenLocked(target, flags, LOCK_EX, existing,
                         [&](const std::string& cause) { ThrowCannotCreate(path, cause); });
  }
  WriteAndRename(path, target, lock.fd >= 0 ? &existing : nullptr, pieces);
}

void RegularFile::ReplaceWhole(std::span<const std::span<const uint8_t>> pieces) {
  if (access_ != Access::Update) ThrowCannotWrite(path_, EBADF);
  struct stat existing {};
  if (::fstat(fd_, &existing) != 0) ThrowCannotWrite(path_, errno);
  WriteAndRename(path_, ResolvedTarget(path_), &existing, pieces);
}

void RegularFile::ReplaceWhole(std::span<const uint8_t> bytes) {
  ReplaceWhole(std::span<const std::span<const uint8_t>>(&bytes, 1));
}

void ReplaceFile(const std::string& path, std::span<const uint8_t> bytes) {
  ReplaceFile(path, std::span<const std::span<const uint8_t>>(&bytes, 1));
}

namespace {

// Reads `fd` to its end, at most `limit` bytes, waiting while a writer has
// more to come. `fail(errno)` and `tooLarge()` throw. With `noWriter` (a named
// FIFO), a first read that finds neither bytes nor a writer calls it: a read
// ends at once only when no program has the FIFO open for writing, and waits
// (EAGAIN) while one does.
std::vector<uint8_t> ReadToEnd(int fd, uint64_t limit, const std::function<void(int)>& fail,
                               const std::function<void()>& tooLarge,
                               const std::function<void()>& noWriter) {
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  bool writerSeen = false;
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) fail(errno);
      writerSeen = true;
      pollfd ready{fd, POLLIN, 0};
      if (::poll(&ready, 1, -1) < 0 && errno != EINTR) fail(errno);
      continue;
    }
    if (got == 0) {
      if (!writerSeen && noWriter) noWriter();
      return bytes;
    }
    writerSeen = true;
    if (static_cast<uint64_t>(got) > limit - bytes.size()) tooLarge();
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
}

bool MayComeFromStream(FileKind kind) {
  return kind == FileKind::EditsFile || kind == FileKind::Patch;
}

}  // namespace

std::vector<uint8_t> ReadWholeInput(const std::string& path, FileKind kind) {
  const uint64_t limit = SizeLimitOf(kind);
  if (IsStandardStream(path)) {
    if (kind != FileKind::EditsFile && ::isatty(STDIN_FILENO) == 1) {
      throw VarskError(BinaryFromTerminalMessage(KindName(kind)));
    }
    return ReadToEnd(
        STDIN_FILENO, limit,
        [](int error) { throw VarskError(CannotReadStandardInputMessage(SystemErrorText(error))); },
        [&] { throw VarskError(StandardInputTooLargeMessage(limit, KindName(kind))); }, {});
  }
  struct stat info {};
  if (!MayComeFromStream(kind) || ::stat(path.c_str(), &info) != 0 || !S_ISFIFO(info.st_mode)) {
    return ReadWholeFile(path, kind);
  }
  // Opening a FIFO without O_NONBLOCK would wait for a writer.
  HeldDescriptor pipe{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
  if (pipe.fd < 0) ThrowCannotOpen(path, SystemErrorText(errno));
  if (::fstat(pipe.fd, &info) != 0) ThrowCannotOpen(path, SystemErrorText(errno));
  if (!S_ISFIFO(info.st_mode)) return ReadWholeFile(path, kind);  // renamed meanwhile
  // A pipe made by pipe() (a shell's | or <(...)) has its writer from the
  // start; a named FIFO in a folder may have none.
  struct statfs system {};
  const bool named = ::fstatfs(pipe.fd, &system) != 0 || system.f_type != PIPEFS_MAGIC;
  return ReadToEnd(
      pipe.fd, limit,
      [&](int error) {
        throw VarskError(CannotReadFileMessage(FullPath(path), SystemErrorText(error)));
      },
      [&] { throw VarskError(FileTooLargeMessage(FullPath(path), limit, KindName(kind))); },
      named ? std::function<void()>([&] { ThrowCannotOpen(path, FifoWithoutWriterText()); })
            : std::function<void()>());
}

std::optional<size_t> FindSameFile(const std::string& output, std::span<const std::string> inputs) {
  struct stat out {};
  if (output.empty() || IsStandardStream(output) || ::stat(output.c_str(), &out) != 0) {
    return std::nullopt;
  }
  for (size_t i = 0; i < inputs.size(); ++i) {
    struct stat in {};
    if (!inputs[i].empty() && !IsStandardStream(inputs[i]) && ::stat(inputs[i].c_str(), &in) == 0 &&
        in.st_dev == out.st_dev && in.st_ino == out.st_ino) {
      return i;
    }
  }
  return std::nullopt;
}

void ReserveImage(std::vector<uint8_t>& bytes, size_t size) {
  bytes.reserve(size);
#ifdef MADV_HUGEPAGE
  if (size >= kLargeImage) {
    // Only the whole small pages inside the untouched buffer; a refusal is harmless.
    const auto begin = reinterpret_cast<uintptr_t>(bytes.data());
    const uintptr_t first = (begin + kSmallPage - 1) & ~uintptr_t{kSmallPage - 1};
    const uintptr_t last = (begin + size) & ~uintptr_t{kSmallPage - 1};
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
  }
#endif
}

void SetFileCallsForTesting(const FileCalls& replacement) { calls = replacement; }

}  // namespace varsk
