#pragma once
// Read-only access to a file with the runtime's I/O error codes: the
// operating system's errors are mapped onto 2 (no such file), 3 (no such
// folder on the path), 4 (no handles left), 5 (access denied), and a read
// that delivers fewer bytes than asked for fails with 100.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include <orvane/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::rtl {

// The runtime's code for an errno value of a failed open of `path`.
int InOutCodeForOpenError(int errnoValue, const std::string& path);

class InputFile {
 public:
  // Opens an existing file for reading only; raises EInOutError on failure.
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

// Reads the whole file; an open failure raises EFOpenError naming the file
// as passed, a read failure EReadError.
std::vector<uint8_t> ReadWholeFile(const std::string& path);

// Writes a whole file so that it appears complete or not at all: the bytes go
// to a temporary file beside it, which is then renamed over the target.
// Raises EInOutError with the runtime's code on failure, leaving no file behind.
void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace orvane::rtl

ORVANE_PUBLIC_END
