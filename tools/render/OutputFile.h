#pragma once
// The files orvane-render writes. An output appears complete or not at all:
// the bytes go to a temporary file with a short name in the output's folder,
// which is then renamed over the output. A new output gets the mode
// 0666 & ~umask, a replaced one keeps its permission bits; an output the
// user may not write is refused with "Dateizugriff verweigert"; an output that
// is a symbolic link is written through it (its target is replaced, the link
// stays). The temporary files being written are removed when a signal from
// outside ends the program (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGALRM, ...).

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

// Installs, for every signal from outside that ends a program, the handler
// that removes the temporary files being written and then ends the program
// as the signal would have. Signals ignored at start stay ignored.
void RemoveTemporaryFilesOnSignals();

}  // namespace orvanetools
