#include "render/RenderOptions.h"

#include <cctype>
#include <charconv>

namespace orvanetools {

const char* const kRenderUsage =
    "Usage: orvane-render [options] INPUT OUTPUT\n"
    "Draws a picture (.emf, .wmf, .bmp, .ico) or a sprite file (.obm) anti-aliased\n"
    "and writes it as a PNG (.png) or a sprite file (.obm).\n"
    "\n"
    "Options:\n"
    "  --size WxH          target size in pixels (one side may be 0 to keep the aspect\n"
    "                      ratio); default the picture's own size, scaled down to fit\n"
    "                      2048 x 2048; not allowed for a sprite file as input\n"
    "  --quality LEVEL     very-low, low, med, high (default), very-high; also\n"
    "                      opqVeryLow..opqVeryHigh or the factors 1, 2, 4, 8, 16\n"
    "  --background COLOR  #RRGGBB: draw onto an opaque canvas of that colour and\n"
    "                      write an RGB PNG; without it the PNG is RGBA with the\n"
    "                      coverage as alpha\n"
    "  --aliased           draw with the plain stretched drawing (needs --background)\n"
    "  --version           print the version\n"
    "  --help              show this text\n";

std::string LowerExtension(const std::string& fileName) {
  const auto slash = fileName.find_last_of('/');
  const auto dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = fileName.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

namespace {

bool ParseInt(const std::string& text, int32_t& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 0;
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

}  // namespace

std::string ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& o) {
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--version") {
      o.version = true;
    } else if (a == "--size") {
      if (!value(v)) return "--size needs a value";
      const auto x = v.find('x');
      if (x == std::string::npos || !ParseInt(v.substr(0, x), o.width) || !ParseInt(v.substr(x + 1), o.height) ||
          (o.width == 0 && o.height == 0))
        return "bad size '" + v + "': expected WxH, one of them may be 0";
      o.hasSize = true;
    } else if (a == "--quality") {
      if (!value(v) || !ParseQuality(v, o.quality)) return "bad quality '" + v + "'";
    } else if (a == "--background") {
      uint32_t colour = 0;
      if (!value(v) || !ParseColour(v, colour)) return "bad colour '" + v + "': expected #RRGGBB";
      o.background = colour;
    } else if (a == "--aliased") {
      o.aliased = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else {
      positional.push_back(a);
    }
  }
  if (o.help || o.version) return "";
  if (positional.size() != 2) return "expected INPUT and OUTPUT";
  o.input = positional[0];
  o.output = positional[1];
  const std::string in = LowerExtension(o.input), out = LowerExtension(o.output);
  if (out != "png" && out != "obm") return "OUTPUT must end in .png or .obm";
  if (in != "emf" && in != "wmf" && in != "bmp" && in != "ico" && in != "obm")
    return "INPUT must be a picture (.emf, .wmf, .bmp, .ico) or a sprite file (.obm)";
  if (o.aliased && !o.background) return "--aliased needs --background";
  if (in == "obm" && o.hasSize) return "a sprite file is drawn at its own size: --size is not allowed";
  if (in == "obm" && o.aliased) return "--aliased needs a picture as INPUT";
  if (out == "obm" && (o.background || o.aliased)) return "a sprite file has no background: drop --background";
  return "";
}

}  // namespace orvanetools
