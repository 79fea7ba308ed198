#include <orvane/rtl/FileStream.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include <orvane/rtl/Exceptions.h>

namespace orvane::rtl {

namespace {

constexpr int kOpenFailed = -1, kNotRegular = -2;

// Opens `path` for reading if it is a regular file: its descriptor, or
// kOpenFailed (errno tells why) or kNotRegular (a folder, a device, a pipe).
// O_NONBLOCK keeps a pipe without a writer from stalling the open; it is
// cleared once the file is known to be regular.
int OpenRegularFile(const std::string& path, uint64_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return kOpenFailed;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return kNotRegular;
  }
  size = static_cast<uint64_t>(info.st_size);
  return fd;
}

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
  uint64_t size = 0;
  fd_ = OpenRegularFile(path, size);
  if (fd_ == kOpenFailed) throw EInOutError(InOutCodeForOpenError(errno, path));
  if (fd_ == kNotRegular) throw EInOutError(5);
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

RegularFileReader::RegularFileReader(const std::string& path) {
  fd_ = OpenRegularFile(path, size_);
  if (fd_ < 0) throw EFOpenError(path);
}

RegularFileReader::~RegularFileReader() { ::close(fd_); }

size_t RegularFileReader::ReadSome(uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(fd_, buffer + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw EReadError();
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

namespace {

// Memory for a source of unknown size is taken this much at a time, so that
// a claim costs what arrives.
constexpr size_t kGrowthStep = size_t{1} << 20;

// Appends up to `count` bytes from `readSome` to `data`; stops early where the source ends.
void ReadInto(const ReadSomeBytes& readSome, std::vector<uint8_t>& data, uint64_t count) {
  while (count > 0) {
    const size_t start = data.size();
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(count, kGrowthStep));
    data.resize(start + piece);
    const size_t got = readSome(data.data() + start, piece);
    data.resize(start + got);
    if (got < piece) return;
    count -= got;
  }
}

}  // namespace

std::vector<uint8_t> ReadAsClaimed(const ReadSomeBytes& readSome, size_t headBytes, const ClaimedFileSize& claimedSize,
                                   uint64_t available) {
  try {
    std::vector<uint8_t> data;
    ReadInto(readSome, data, std::min<uint64_t>(headBytes, available));
    const uint64_t claimed = claimedSize(data.data(), data.size());
    if (claimed == UINT64_MAX && available == UINT64_MAX) {
      // To the end of a source of unknown size, however far that is.
      ReadInto(readSome, data, kLargestReadableFile + 1 - data.size());
      if (data.size() > kLargestReadableFile) throw EOutOfMemory();
      return data;
    }
    const uint64_t wanted = std::min(claimed, available);
    if (wanted > kLargestReadableFile) throw EOutOfMemory();
    if (available != UINT64_MAX) data.reserve(static_cast<size_t>(wanted));
    if (wanted > data.size()) ReadInto(readSome, data, wanted - data.size());
    return data;
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
}

std::vector<uint8_t> ReadFileAsClaimed(const std::string& path, size_t headBytes, const ClaimedFileSize& claimedSize) {
  RegularFileReader file(path);
  return ReadAsClaimed([&file](uint8_t* buffer, size_t count) { return file.ReadSome(buffer, count); }, headBytes,
                       claimedSize, file.Size());
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  return ReadFileAsClaimed(path, 0, [](const uint8_t*, size_t) { return UINT64_MAX; });
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
