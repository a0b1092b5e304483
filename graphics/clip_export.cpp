// The clip set export: every clip slot with cols != 0, in increasing clip
// number, as number, cols, rows and the tile, flip, dx and dy planes of its
// used cells. The file is written through a temporary file in the same
// folder and renamed into place, so a failed write never leaves a half file.
#include "graphics/clip_export.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "data/messages.h"

namespace varsk {

namespace {

// Appends the used cells of one plane, row by row.
template <typename Cell>
void AppendPlane(std::vector<uint8_t>& out, const Cell (&plane)[kClipCells], int cols, int rows) {
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      out.push_back(static_cast<uint8_t>(plane[r * kClipGridSide + c]));
}

// An open file descriptor that is closed (and its file removed) unless kept.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string pattern) : name_(std::move(pattern)) {
    fd_ = mkstemp(name_.data());
  }
  ~TemporaryFile() {
    if (fd_ >= 0) close(fd_);
    if (!kept_) unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int fd() const { return fd_; }
  const std::string& name() const { return name_; }
  // Closes the descriptor; returns 0 or the errno of a failed close.
  int Close() {
    const int result = close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }
  void Keep() { kept_ = true; }

 private:
  std::string name_;
  int fd_ = -1;
  bool kept_ = false;
};

// Writes all of `bytes`; returns 0 or the errno of the failure (ENOSPC for a
// write that stops short without one).
int WriteAll(int fd, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;
    done += static_cast<size_t>(n);
  }
  return 0;
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

[[noreturn]] void ThrowCannotCreate(const std::string& path, int error) {
  throw VarskError(CannotCreateFileMessage(FullPath(path), SystemErrorText(error)));
}

[[noreturn]] void ThrowCannotWrite(const std::string& path, int error) {
  throw VarskError(CannotWriteFileMessage(FullPath(path), SystemErrorText(error)));
}

}  // namespace

std::vector<uint8_t> EncodeClipSet(const DataSet& dataSet) {
  std::vector<uint8_t> out;
  for (int number = 1; number <= kClipSlots; ++number) {
    const ClipRecord& clip = dataSet.clips[static_cast<size_t>(number - 1)];
    if (clip.cols == 0) continue;
    // A grid is at most 16 x 16 cells; larger counts would read past the planes.
    const int cols = std::min<int>(clip.cols, kClipGridSide);
    const int rows = std::min<int>(clip.rows, kClipGridSide);
    out.push_back(static_cast<uint8_t>(number & 0xFF));
    out.push_back(static_cast<uint8_t>(cols));
    out.push_back(static_cast<uint8_t>(rows));
    AppendPlane(out, clip.tile, cols, rows);
    AppendPlane(out, clip.flip, cols, rows);
    AppendPlane(out, clip.dx, cols, rows);
    AppendPlane(out, clip.dy, cols, rows);
  }
  return out;
}

void SaveClipSet(const DataSet& dataSet, const std::string& path) {
  const std::vector<uint8_t> bytes = EncodeClipSet(dataSet);

  // An existing file that may not be written is not replaced behind its back.
  if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0) {
    ThrowCannotCreate(path, errno);
  }
  struct stat target {};
  if (stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) ThrowCannotCreate(path, EISDIR);

  TemporaryFile temporary(path + ".XXXXXX");
  if (temporary.fd() < 0) ThrowCannotCreate(path, errno);
  if (fchmod(temporary.fd(), NewFileMode()) != 0) ThrowCannotCreate(path, errno);

  if (const int error = WriteAll(temporary.fd(), bytes)) ThrowCannotWrite(path, error);
  if (fsync(temporary.fd()) != 0) ThrowCannotWrite(path, errno);
  if (const int error = temporary.Close()) ThrowCannotWrite(path, error);

  if (rename(temporary.name().c_str(), path.c_str()) != 0) ThrowCannotCreate(path, errno);
  temporary.Keep();

  // Makes the rename itself durable; the file is complete either way.
  const std::string folder = std::filesystem::path(path).parent_path().string();
  const int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
}

}  // namespace varsk
