#pragma once
// Command line of orvane-render: orvane-render [options] INPUT OUTPUT.

#include <optional>
#include <string>
#include <vector>

#include <orvane/Quality.h>

namespace orvanetools {

struct RenderOptions {
  std::string input;
  std::string output;
  bool help = false;
  bool version = false;
  bool hasSize = false;
  int32_t width = 0;   // 0 with the other side given: keep the aspect ratio
  int32_t height = 0;
  orvane::TOrvanePictureQuality quality = orvane::opqHigh;
  std::optional<uint32_t> background;  // colour value, red in bits 0-7
  bool aliased = false;
};

// Parses the arguments (without the program name). Returns an empty string on
// success, otherwise the reason for a usage error.
std::string ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options);

// The lower-case extension of a file name without its dot ("" without one).
std::string LowerExtension(const std::string& fileName);

extern const char* const kRenderUsage;

}  // namespace orvanetools
