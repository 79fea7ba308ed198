#include <orvane/rtl/FileStream.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <orvane/rtl/Exceptions.h>

namespace orvane::rtl {

namespace {

bool FolderOfPathExists(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return true;
  const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
  struct stat info {};
  return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

int InOutCodeForOpenError(int errnoValue, const std::string& path) {
  switch (errnoValue) {
    case ENOENT: return FolderOfPathExists(path) ? 2 : 3;
    case ENOTDIR:
    case ENAMETOOLONG: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return 5;
    default: return errnoValue;
  }
}

InputFile::InputFile(const std::string& path) {
  if (path.empty()) throw EInOutError(2);
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw EInOutError(InOutCodeForOpenError(errno, path));
  struct stat info {};
  if (fstat(fd_, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw EInOutError(5);
  }
}

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

size_t InputFile::ReadSome(void* buffer, size_t count) {
  size_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < count) {
    const ssize_t got = ::read(fd_, out + done, count - done);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw EInOutError(errno == EISDIR ? 5 : errno);
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

void InputFile::ReadExact(void* buffer, size_t count) {
  if (ReadSome(buffer, count) != count) throw EInOutError(100);
}

void InputFile::Close() {
  if (fd_ < 0) return;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) throw EInOutError(errno);
}

uint64_t InputFile::Size() const {
  struct stat info {};
  if (fstat(fd_, &info) != 0) return 0;
  return static_cast<uint64_t>(info.st_size);
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw EFOpenError(path);
  struct stat info {};
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    throw EFOpenError(path);
  }
  std::vector<uint8_t> data;
  uint8_t chunk[65536];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      throw EReadError();
    }
    if (got == 0) break;
    data.insert(data.end(), chunk, chunk + got);
  }
  ::close(fd);
  return data;
}

void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string temporary = path + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) throw EInOutError(InOutCodeForOpenError(errno, path));
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      const int code = put < 0 ? errno : 101;
      ::close(fd);
      ::unlink(temporary.c_str());
      throw EInOutError(code == ENOSPC ? 101 : code);
    }
    done += static_cast<size_t>(put);
  }
  ::fchmod(fd, 0644);
  if (::close(fd) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
    const int code = errno;
    ::unlink(temporary.c_str());
    throw EInOutError(InOutCodeForOpenError(code, path));
  }
}

}  // namespace orvane::rtl
