#include "render/RenderOptions.h"

#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>

namespace orvanetools {

const char* const kRenderUsage =
    "Usage: orvane-render [options] INPUT OUTPUT\n"
    "       orvane-render [options] --output-dir DIR [--format png|obm] INPUT...\n"
    "Draws a picture (EMF, placeable WMF, BMP, icon; recognised by its content) or a\n"
    "sprite file (.obm) anti-aliased and writes it as a PNG (.png) or a sprite file (.obm).\n"
    "INPUT - reads standard input, OUTPUT - writes the PNG to standard output.\n"
    "\n"
    "Options:\n"
    "  --output-dir DIR    draw every INPUT into DIR/NAME.png (NAME: the input's name\n"
    "                      without its extension); failures do not stop the others\n"
    "  --format png|obm    what to write when the output name does not say (default png)\n"
    "  -j, --jobs N        draw N files at once (default: one per processor)\n"
    "  --size WxH          exact size in pixels (one side may be 0 to keep the aspect\n"
    "                      ratio)\n"
    "  --fit WxH           the largest size inside WxH that keeps the aspect ratio\n"
    "  --dpi D             size from the picture's physical size at D dots per inch\n"
    "                      (BMP without resolution and icons: 96 dpi)\n"
    "                      Without any of the three: the picture's own size, scaled\n"
    "                      down to fit 2048 x 2048. Sizes go up to 16384 x 16384;\n"
    "                      none of them for a sprite file as input.\n"
    "  --quality LEVEL     very-low, low, med, high (default), very-high; also\n"
    "                      opqVeryLow..opqVeryHigh or the factors 1, 2, 4, 8, 16\n"
    "  --background COLOR  #RRGGBB: draw onto an opaque canvas of that colour and\n"
    "                      write an RGB PNG; without it the PNG is RGBA with the\n"
    "                      coverage as alpha\n"
    "  --aliased           draw with the plain stretched drawing (needs --background)\n"
    "  --thin-lines MODE   one-pixel (default): lines thinner than a pixel of the\n"
    "                      output are drawn one pixel wide, so hairlines stay\n"
    "                      visible; exact: as thin as the picture says, faint\n"
    "  --verbose           per file: its own size, the size drawn, the quality and the\n"
    "                      metafile records that were not drawn\n"
    "  --version           print the version\n"
    "  --help              show this text\n"
    "\n"
    "Examples:\n"
    "  orvane-render --size 512x0 drawing.emf drawing.png\n"
    "  orvane-render --fit 256x256 --output-dir thumbs -j 4 pictures/*.emf\n"
    "  orvane-render --dpi 300 --background \"#FFFFFF\" plan.wmf plan.png\n"
    "  orvane-render --fit 128x128 - - < attachment > preview.png\n"
    "  orvane-render --verbose chart.emf chart.png\n";

std::string LowerExtension(const std::string& fileName) {
  const auto slash = fileName.find_last_of('/');
  const auto dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = fileName.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

bool IsSpriteInput(const std::string& input) { return LowerExtension(input) == "obm"; }

namespace {

bool ParseInt(const std::string& text, int32_t& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// "WxH" with both sides at least `least`; false for anything else.
bool ParseBox(const std::string& text, int32_t least, int32_t& width, int32_t& height) {
  const auto x = text.find('x');
  return x != std::string::npos && ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height) &&
         width >= least && height >= least && (width > 0 || height > 0);
}

bool ParseQuality(const std::string& text, orvane::TOrvanePictureQuality& quality) {
  static const char* const names[][3] = {{"very-low", "opqVeryLow", "1"}, {"low", "opqLow", "2"},
                                         {"med", "opqMed", "4"},          {"high", "opqHigh", "8"},
                                         {"very-high", "opqVeryHigh", "16"}};
  for (uint8_t level = 0; level < 5; ++level)
    for (const char* name : names[level])
      if (text == name) {
        quality = static_cast<orvane::TOrvanePictureQuality>(level);
        return true;
      }
  return false;
}

bool ParseColour(const std::string& text, uint32_t& colour) {
  if (text.size() != 7 || text[0] != '#') return false;
  uint32_t rgb = 0;
  const auto [end, error] = std::from_chars(text.data() + 1, text.data() + 7, rgb, 16);
  if (error != std::errc() || end != text.data() + 7) return false;
  colour = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  return true;
}

bool ParseFormat(const std::string& text, OutputFormat& format) {
  if (text == "png") format = OutputFormat::Png;
  else if (text == "obm") format = OutputFormat::Sprite;
  else return false;
  return true;
}

std::optional<OutputFormat> FormatOfName(const std::string& name) {
  const std::string ext = LowerExtension(name);
  if (ext == "png") return OutputFormat::Png;
  if (ext == "obm") return OutputFormat::Sprite;
  return std::nullopt;
}

std::string AboveLimit(const std::string& option, const std::string& value) {
  return option + " " + value + " is above the limit of " + std::to_string(kLargestSide) + "x" +
         std::to_string(kLargestSide);
}

// The checks that need every option read.
std::string CheckCombination(RenderOptions& o, const std::optional<OutputFormat>& formatOption) {
  if (o.Batch()) {
    if (o.inputs.empty()) return "--output-dir needs at least one INPUT";
    for (const std::string& input : o.inputs)
      if (input == "-") return "standard input (-) cannot be drawn with --output-dir";
    o.format = formatOption.value_or(OutputFormat::Png);
  } else {
    if (o.inputs.size() != 2) return "expected INPUT and OUTPUT";
    o.output = o.inputs.back();
    o.inputs.pop_back();
    const std::optional<OutputFormat> named = o.output == "-" ? std::nullopt : FormatOfName(o.output);
    if (named && formatOption && *named != *formatOption) return "OUTPUT's extension and --format disagree";
    if (!named && !formatOption && o.output != "-") return "OUTPUT must end in .png or .obm (or give --format)";
    o.format = named ? *named : formatOption.value_or(OutputFormat::Png);
  }
  bool spriteInput = false;
  for (const std::string& input : o.inputs) spriteInput = spriteInput || IsSpriteInput(input);
  if (o.aliased && !o.background) return "--aliased needs --background";
  if (spriteInput && o.sizeMode != SizeMode::Natural)
    return "a sprite file is drawn at its own size: --size, --fit and --dpi are not allowed";
  if (spriteInput && o.aliased) return "--aliased needs a picture as INPUT";
  if (o.format == OutputFormat::Sprite && (o.background || o.aliased))
    return "a sprite file has no background: drop --background";
  return "";
}

}  // namespace

std::string ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& o) {
  std::optional<OutputFormat> formatOption;
  unsigned sizeOptionsSeen = 0;  // one bit each for --size, --fit, --dpi
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string v;
    auto value = [&]() {
      if (i + 1 >= args.size()) return false;
      v = args[++i];
      return true;
    };
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--verbose") {
      o.verbose = true;
    } else if (a == "--size" || a == "--fit") {
      const bool fit = a == "--fit";
      if (!value()) return a + " needs a value";
      if (!ParseBox(v, fit ? 1 : 0, o.width, o.height))
        return "bad size '" + v + (fit ? "': expected WxH, both at least 1" : "': expected WxH, one of them may be 0");
      if (o.width > kLargestSide || o.height > kLargestSide) return AboveLimit(a, v);
      o.sizeMode = fit ? SizeMode::Fit : SizeMode::Exact;
      sizeOptionsSeen |= fit ? 2u : 1u;
    } else if (a == "--dpi") {
      if (!value()) return "--dpi needs a value";
      const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), o.dpi);
      if (v.empty() || error != std::errc() || end != v.data() + v.size() || !std::isfinite(o.dpi) || o.dpi <= 0)
        return "bad resolution '" + v + "': expected dots per inch above 0";
      o.sizeMode = SizeMode::Dpi;
      sizeOptionsSeen |= 4u;
    } else if (a == "--quality") {
      if (!value() || !ParseQuality(v, o.quality)) return "bad quality '" + v + "'";
    } else if (a == "--background") {
      uint32_t colour = 0;
      if (!value() || !ParseColour(v, colour)) return "bad colour '" + v + "': expected #RRGGBB";
      o.background = colour;
    } else if (a == "--aliased") {
      o.aliased = true;
    } else if (a == "--thin-lines" || a.rfind("--thin-lines=", 0) == 0) {
      if (a != "--thin-lines") v = a.substr(a.find('=') + 1);
      else if (!value()) return "--thin-lines needs a value";
      if (v == "one-pixel") o.thinLines = orvane::ThinLines::OnePixel;
      else if (v == "exact") o.thinLines = orvane::ThinLines::Exact;
      else return "bad thin-line mode '" + v + "': expected one-pixel or exact";
    } else if (a == "--output-dir") {
      if (!value() || v.empty()) return "--output-dir needs a folder";
      o.outputDir = v;
    } else if (a == "--format") {
      OutputFormat format{};
      if (!value() || !ParseFormat(v, format)) return "bad format '" + v + "': expected png or obm";
      formatOption = format;
    } else if (a == "-j" || a == "--jobs") {
      int32_t jobs = 0;
      if (!value() || !ParseInt(v, jobs) || jobs < 1 || unsigned(jobs) > kMostJobs)
        return "bad number of jobs '" + v + "': expected 1 to " + std::to_string(kMostJobs);
      o.jobs = unsigned(jobs);
    } else if (a == "--") {
      o.inputs.insert(o.inputs.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else {
      o.inputs.push_back(a);
    }
  }
  if (o.help || o.version) return "";
  if (std::popcount(sizeOptionsSeen) > 1) return "--size, --fit and --dpi exclude each other: give one";
  return CheckCombination(o, formatOption);
}

}  // namespace orvanetools
