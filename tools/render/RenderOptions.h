#pragma once
// Command line of orvane-render:
//   orvane-render [options] INPUT OUTPUT
//   orvane-render [options] --output-dir DIR [--format png|obm] INPUT...

#include <optional>
#include <string>
#include <vector>

#include <orvane/FilteredDraw.h>
#include <orvane/Quality.h>

namespace orvanetools {

// The largest target side the tool draws, whatever the option.
inline constexpr int32_t kLargestSide = 16384;
// Threads of one batch at most (each may hold one temporary output file).
inline constexpr unsigned kMostJobs = 256;

enum class OutputFormat { Png, Sprite };

// How the target size is chosen: the picture's own size (capped to 2048),
// exactly as given (--size), inside a box (--fit), or from the physical size (--dpi).
enum class SizeMode { Natural, Exact, Fit, Dpi };

struct RenderOptions {
  std::vector<std::string> inputs;  // "-" is standard input
  std::string output;               // the single form's OUTPUT ("-" is standard output)
  std::string outputDir;            // the batch form's folder; empty in the single form
  OutputFormat format = OutputFormat::Png;
  unsigned jobs = 0;  // 0: one per processor
  bool help = false;
  bool version = false;
  bool verbose = false;
  SizeMode sizeMode = SizeMode::Natural;
  int32_t width = 0;  // Exact and Fit; with Exact a 0 side keeps the aspect ratio
  int32_t height = 0;
  double dpi = 0;
  orvane::TOrvanePictureQuality quality = orvane::opqHigh;
  std::optional<uint32_t> background;  // colour value, red in bits 0-7
  bool aliased = false;
  // Pens thinner than a pixel of the output are drawn one pixel wide unless
  // --thin-lines exact asks for the supersampled drawing as it is.
  orvane::ThinLines thinLines = orvane::ThinLines::OnePixel;

  bool Batch() const { return !outputDir.empty(); }
};

// Parses the arguments (without the program name). Returns an empty string on
// success, otherwise one line naming the usage error.
std::string ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options);

// The lower-case extension of a file name without its dot ("" without one).
std::string LowerExtension(const std::string& fileName);

// Whether an input is a sprite file (known by its extension only: it has no signature).
bool IsSpriteInput(const std::string& input);

extern const char* const kRenderUsage;

}  // namespace orvanetools
