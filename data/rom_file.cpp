// Load ROM and Save ROM on the file: the two runs at offset 4194762, in place.
#include "data/rom_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "data/messages.h"

namespace varsk {
namespace {

RomWriteFunction romWrite = &::pwrite;

// Closes the descriptor on every path out; Close() reports the result once.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Returns 0, or the errno of a failed close. Never retried: on Linux the
  // descriptor is gone even when close reports EINTR.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

[[noreturn]] void ThrowCannotOpen(const std::string& path, int errorNumber) {
  throw VarskError(CannotOpenFileMessage(FullPath(path), SystemErrorText(errorNumber)));
}

// Opens `path` and returns its size; directories are refused like unopenable files.
// O_NONBLOCK keeps a FIFO given as the file from hanging the program.
int OpenRom(const std::string& path, int flags, int64_t& size) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) ThrowCannotOpen(path, errno);
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    const int error = errno;
    ::close(fd);
    ThrowCannotOpen(path, error);
  }
  if (S_ISDIR(status.st_mode)) {
    ::close(fd);
    ThrowCannotOpen(path, EISDIR);
  }
  // Devices and FIFOs report no size, so they count as too short.
  size = S_ISREG(status.st_mode) ? static_cast<int64_t>(status.st_size) : 0;
  return fd;
}

// Reads exactly `count` bytes at `offset`; returns 0 or an errno (ENODATA
// when the file ends first).
int ReadRun(int fd, uint8_t* data, size_t count, off_t offset) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(fd, data + done, count - done, offset + static_cast<off_t>(done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) return ENODATA;
    done += static_cast<size_t>(got);
  }
  return 0;
}

// Writes exactly `count` bytes at `offset`, going on after short writes;
// returns 0 or an errno (a write that makes no progress counts as ENOSPC).
int WriteRun(int fd, const uint8_t* data, size_t count, off_t offset) {
  size_t done = 0;
  while (done < count) {
    const ssize_t put = romWrite(fd, data + done, count - done, offset + static_cast<off_t>(done));
    if (put < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (put == 0) return ENOSPC;
    done += static_cast<size_t>(put);
  }
  return 0;
}

void WriteRomTablesImpl(const std::string& path, const RomBuffers& buffers, bool sync) {
  int64_t size = 0;
  FileDescriptor file(OpenRom(path, O_RDWR, size));
  if (size < kRomTablesEnd) {
    throw VarskError(RomTooShortMessage(FullPath(path), size, kRomTablesEnd));
  }
  // The runs as they stand, put back when a write fails part way (a full disk
  // after the MS table, a short write): the ROM is then as it was, never half
  // written. Overwriting bytes in place needs no new space on the disk.
  std::array<uint8_t, kRomTableBytes> previous{};
  int error = ReadRun(file.get(), previous.data(), previous.size(), kMsTableOffset);
  if (error == ENODATA) {
    throw VarskError(RomTooShortMessage(FullPath(path), size, kRomTablesEnd));
  }
  if (error != 0) throw VarskError(CannotReadFileMessage(FullPath(path), SystemErrorText(error)));
  error = WriteRun(file.get(), buffers.ms.data(), buffers.ms.size(), kMsTableOffset);
  if (error == 0) {
    error = WriteRun(file.get(), buffers.ship.data(), buffers.ship.size(), kShipTableOffset);
  }
  if (error == 0 && sync && ::fsync(file.get()) != 0) error = errno;
  if (error != 0) {
    // Best effort: the failure is reported either way.
    if (WriteRun(file.get(), previous.data(), previous.size(), kMsTableOffset) == 0 && sync) {
      ::fsync(file.get());
    }
  }
  const int closeError = file.Close();
  if (error == 0) error = closeError;
  if (error != 0) throw VarskError(CannotWriteFileMessage(FullPath(path), SystemErrorText(error)));
}

}  // namespace

void SetRomWriteFunctionForTesting(RomWriteFunction write) {
  romWrite = write != nullptr ? write : &::pwrite;
}

void ReadRomTables(const std::string& path, RomBuffers& buffers) {
  int64_t size = 0;
  FileDescriptor file(OpenRom(path, O_RDONLY, size));
  if (size < kRomTablesEnd) {
    throw VarskError(RomTooShortMessage(FullPath(path), size, kRomTablesEnd));
  }
  RomBuffers read;
  int error = ReadRun(file.get(), read.ms.data(), read.ms.size(), kMsTableOffset);
  if (error == 0) error = ReadRun(file.get(), read.ship.data(), read.ship.size(), kShipTableOffset);
  if (error == ENODATA) {
    // The file shrank after its size was checked.
    const off_t end = ::lseek(file.get(), 0, SEEK_END);
    throw VarskError(RomTooShortMessage(FullPath(path), end >= 0 ? end : 0, kRomTablesEnd));
  }
  if (error != 0) throw VarskError(CannotReadFileMessage(FullPath(path), SystemErrorText(error)));
  buffers = read;
}

void WriteRomTables(const std::string& path, const RomBuffers& buffers) {
  WriteRomTablesImpl(path, buffers, true);
}

void LoadRomFile(const std::string& path, RomBuffers& buffers, DataSet& dataSet) {
  ReadRomTables(path, buffers);
  UnpackRomTables(buffers, dataSet);
}

void SaveRomFile(const std::string& path, const DataSet& dataSet, RomBuffers& buffers) {
  PackRomTables(dataSet, buffers);
  WriteRomTables(path, buffers);
}

void WriteRomTablesWithoutSyncForBenchmark(const std::string& path, const RomBuffers& buffers) {
  WriteRomTablesImpl(path, buffers, false);
}

}  // namespace varsk
