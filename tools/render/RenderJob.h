#pragma once
// Drawing one file: what orvane-render does for each INPUT once its
// arguments are parsed.

#include <cstdint>
#include <map>
#include <string>

#include <orvane/PictureSizing.h>
#include "render/InputFiles.h"
#include "render/RenderOptions.h"

namespace orvanetools {

struct RenderTask {
  std::string input;   // "-": standard input
  std::string output;  // "-": standard output
};

struct RenderOutcome {
  bool written = false;
  // On failure: the file it concerns (the input, or the output when writing
  // failed) and the message for the user (English, or the runtime's own
  // German text for a German locale).
  std::string failedPath;
  std::string message;
  std::string notes;  // for the user, one line each (a size scaled down)
  orvane::PixelSize natural;  // the picture's own size
  orvane::PixelSize drawn;
  std::map<uint32_t, uint64_t> skippedRecords;  // record type -> count, metafiles only
  uint64_t emfPlusRecords = 0;                  // EMF+ records in the picture's comments
};

// Reads, draws and writes one file; nothing is written when it fails. An
// output that is one of `inputs` is refused before anything is read.
RenderOutcome RunRenderTask(const RenderOptions& options, const RenderTask& task, const InputFiles& inputs);

// The --verbose line of a drawn file (without the program's prefix).
std::string DescribeOutcome(const RenderOptions& options, const RenderOutcome& outcome);

}  // namespace orvanetools
