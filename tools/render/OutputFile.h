#pragma once
// The files orvane-render writes. An output appears complete or not at all:
// the bytes go to a temporary file with a short name in the output's folder,
// which is then renamed over the output. A new output gets the mode
// 0666 & ~umask, a replaced one keeps its permission bits; an output the
// user may not write is refused with "Dateizugriff verweigert"; an output that
// is a symbolic link is written through it (its target is replaced, the link
// stays). The temporary files being written are removed when SIGINT or
// SIGTERM ends the program.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanetools {

// Raises EInOutError with the runtime's code when the file cannot be
// written; nothing is left behind then.
void WriteOutputFile(const std::string& path, const std::vector<uint8_t>& bytes);

// The same with the content written by `fill` into the temporary file's
// descriptor; `fill` returns false, errno set, when it fails.
void WriteOutputFileFrom(const std::string& path, const std::function<bool(int fd)>& fill);

// Writes the bytes to standard output.
void WriteStandardOutput(const std::vector<uint8_t>& bytes);

// Installs the SIGINT and SIGTERM handlers that remove the temporary files
// being written and then end the program as the signal would have.
void RemoveTemporaryFilesOnSignals();

}  // namespace orvanetools
