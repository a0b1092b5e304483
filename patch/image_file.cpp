#include "patch/image_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "data/messages.h"
#include "patch/patch_messages.h"

namespace varsk {

namespace {

constexpr size_t kSmallPage = 4096;
// Below this a buffer gains nothing from large pages.
constexpr size_t kLargeImage = size_t{4} << 20;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void ThrowCannotOpen(const std::string& path, int error) {
  throw VarskError(CannotOpenFileMessage(FullPath(path), SystemErrorText(error)));
}

}  // namespace

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

std::vector<uint8_t> ReadImageFile(const std::string& path) {
  const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) ThrowCannotOpen(path, errno);
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) ThrowCannotOpen(path, errno);
  if (S_ISDIR(info.st_mode)) ThrowCannotOpen(path, EISDIR);
  if (S_ISREG(info.st_mode) && static_cast<uint64_t>(info.st_size) > kImageFileSizeLimit) {
    throw VarskError(FileTooLargeMessage(FullPath(path), kImageFileSizeLimit));
  }

  std::vector<uint8_t> bytes;
  if (S_ISREG(info.st_mode)) ReserveImage(bytes, static_cast<size_t>(info.st_size));
  auto readSome = [&](uint8_t* into, size_t count) {
    for (;;) {
      const ssize_t got = ::read(file.get(), into, count);
      if (got >= 0) return static_cast<size_t>(got);
      if (errno != EINTR) ThrowCannotOpen(path, errno);
    }
  };
  // Read to the end, whatever the size said: the file may change meanwhile,
  // and devices and pipes have no size. While the reserved room lasts, read
  // straight into it (zero-filled first, which large pages make cheap); once
  // it is full, a small probe tells the end from more data without moving
  // the buffer.
  for (;;) {
    const size_t have = bytes.size();
    if (have == bytes.capacity()) {
      uint8_t probe[4096];
      const size_t got = readSome(probe, sizeof probe);
      if (got == 0) return bytes;
      if (have > kImageFileSizeLimit) {
        throw VarskError(FileTooLargeMessage(FullPath(path), kImageFileSizeLimit));
      }
      bytes.insert(bytes.end(), probe, probe + got);
      continue;
    }
    bytes.resize(bytes.capacity());
    const size_t got = readSome(bytes.data() + have, bytes.size() - have);
    bytes.resize(have + got);
    if (got == 0) return bytes;
  }
}

}  // namespace varsk
