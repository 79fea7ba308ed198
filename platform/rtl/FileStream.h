#pragma once
// Read-only access to a file with the runtime's I/O error codes: the
// operating system's errors are mapped onto 2 (no such file), 3 (no such
// folder on the path), 4 (no handles left), 5 (access denied), and a read
// that delivers fewer bytes than asked for fails with 100.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::rtl {

// The runtime's code for an errno value of a failed open of `path`.
int InOutCodeForOpenError(int errnoValue, const std::string& path);

class InputFile {
 public:
  // Opens an existing regular file for reading only; raises EInOutError on
  // failure (5 for a folder, a device or a pipe).
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Reads exactly `count` bytes; raises EInOutError(100) when the file ends first.
  void ReadExact(void* buffer, size_t count);
  // Reads up to `count` bytes, returns how many arrived (0 at the end of the file).
  size_t ReadSome(void* buffer, size_t count);
  // Closes the file; raises EInOutError if the system reports a failure.
  void Close();
  uint64_t Size() const;

 private:
  int fd_ = -1;
};

// The most bytes a reader takes from one file.
inline constexpr uint64_t kLargestReadableFile = uint64_t{1} << 30;

// How many bytes a file holds in all, as the header at its start says;
// `head` is the file's first min(headBytes, file size) bytes.
using ClaimedFileSize = std::function<uint64_t(const uint8_t* head, size_t size)>;

// Reads up to `count` bytes into `buffer` and returns how many came: fewer
// only where the source ends, 0 there. A failure raises the source's error.
using ReadSomeBytes = std::function<size_t(uint8_t* buffer, size_t count)>;

// A regular file opened for reading as far as its header claims.
class RegularFileReader {
 public:
  // A path that cannot be opened or is not a regular file (a folder, a
  // device, a pipe) raises EFOpenError naming the file as passed.
  explicit RegularFileReader(const std::string& path);
  ~RegularFileReader();
  RegularFileReader(const RegularFileReader&) = delete;
  RegularFileReader& operator=(const RegularFileReader&) = delete;

  // The file's size when it was opened.
  uint64_t Size() const { return size_; }
  // As ReadSomeBytes; a read failure raises EReadError.
  size_t ReadSome(uint8_t* buffer, size_t count);

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
};

// Reads a source as far as its header claims: first up to `headBytes` bytes,
// then the rest of what `claimedSize` says, or less where the source ends
// first (the caller's reader then sees a header claiming more than it was
// given and refuses it). Nothing beyond the claim is read. `available` is
// what the source is known to hold (a file's size), UINT64_MAX when that is
// not known: a claim beyond it is cut to it and its memory taken at once;
// otherwise memory grows with the bytes that arrive, so a claim costs only
// what comes. A claim over kLargestReadableFile (of what the source is known
// to hold), or memory that cannot be had, raises EOutOfMemory before the
// rest is read. Of a source of unknown size a claim of UINT64_MAX reads to
// its end, EOutOfMemory once it gives more than kLargestReadableFile.
std::vector<uint8_t> ReadAsClaimed(const ReadSomeBytes& readSome, size_t headBytes, const ClaimedFileSize& claimedSize,
                                   uint64_t available = UINT64_MAX);

// ReadAsClaimed of a regular file (see RegularFileReader for the errors of
// opening it), its size as what is available.
std::vector<uint8_t> ReadFileAsClaimed(const std::string& path, size_t headBytes, const ClaimedFileSize& claimedSize);

// ReadFileAsClaimed of the whole file.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Writes a whole file so that it appears complete or not at all: the bytes go
// to a temporary file beside it, which is then renamed over the target.
// Raises EInOutError with the runtime's code on failure, leaving no file behind.
void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace orvane::rtl

ORVANE_PUBLIC_END
