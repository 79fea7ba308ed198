#include <orvane/gdi/detail/FontMatcher.h>

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <vector>

namespace orvane::gdi {

namespace {

constexpr size_t kMaxCachedNames = 256;

FcConfig* AsConfig(void* p) { return static_cast<FcConfig*>(p); }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Trim(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return std::string(s.substr(a, b - a));
}

// The names of a face-name list, separated by ';' (commas are accepted as
// well), blanks trimmed, empty entries dropped. A NUL ends the name.
std::vector<std::string> SplitNames(const std::string& faceName) {
  std::string_view all(faceName);
  all = all.substr(0, std::min(all.find('\0'), all.size()));
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= all.size()) {
    size_t end = all.find_first_of(";,", start);
    if (end == std::string_view::npos) end = all.size();
    std::string name = Trim(all.substr(start, end - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = end + 1;
  }
  return names;
}

}  // namespace

struct FontMatcher::Candidate {
  FontFileInfo info;
  bool strongFamily = false;  // the family matched the request itself or a strong alias of it
};

void FontMatcher::ConfigDeleter::operator()(void* config) const {
  if (config) FcConfigDestroy(AsConfig(config));
}

FontMatcher& FontMatcher::Instance() {
  static FontMatcher matcher;
  return matcher;
}

FontMatcher::FontMatcher() : config_(FcInitLoadConfigAndFonts()) {}

FontMatcher::~FontMatcher() = default;

bool FontMatcher::Query(const std::string& family, bool bold, bool italic, Candidate& out) {
  if (!config_) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(AsConfig(config_.get()), pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(AsConfig(config_.get()), pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;

  bool ok = false;
  FcChar8* file = nullptr;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file && *file) {
    ok = true;
    out.info.path = reinterpret_cast<const char*>(file);
    int index = 0;
    out.info.index = FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch ? index : 0;
    FcValue value;
    FcValueBinding binding = FcValueBindingWeak;
    out.info.family.clear();
    out.strongFamily = false;
    if (FcPatternGetWithBinding(match, FC_FAMILY, 0, &value, &binding) == FcResultMatch && value.type == FcTypeString) {
      out.info.family = reinterpret_cast<const char*>(value.u.s);
      // fontconfig marks the family of the result weak when it came from the
      // default list rather than from the name asked for or a strong alias.
      out.strongFamily = binding != FcValueBindingWeak || EqualNoCase(out.info.family, family);
    }
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcBool embolden = FcFalse;
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden);
    out.info.syntheticBold = bold && (weight < FC_WEIGHT_DEMIBOLD || embolden);
    out.info.syntheticItalic = italic && slant == FC_SLANT_ROMAN;
  }
  FcPatternDestroy(match);
  return ok;
}

FontFileInfo FontMatcher::Resolve(const std::string& faceName, bool bold, bool italic) {
  const std::vector<std::string> names = SplitNames(faceName);
  Candidate fallback;
  if (!Query(std::string(), bold, italic, fallback)) return FontFileInfo{};
  Candidate first;
  bool haveFirst = false;
  for (const std::string& name : names) {
    Candidate c;
    if (!Query(name, bold, italic, c)) continue;
    // A weakly bound result other than the default face still comes from an
    // alias of the name (say Helvetica for Liberation Sans), so it counts.
    if (c.strongFamily || !EqualNoCase(c.info.family, fallback.info.family)) return c.info;
    if (!haveFirst) {
      first = c;
      haveFirst = true;
    }
  }
  return haveFirst ? first.info : fallback.info;
}

FontFileInfo FontMatcher::Match(const std::string& faceName, bool bold, bool italic) {
  std::string key = faceName;
  key.push_back('\0');
  key.push_back(bold ? 'b' : '-');
  key.push_back(italic ? 'i' : '-');
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = cache_.find(key);
  if (it != cache_.end()) return it->second;
  if (cache_.size() >= kMaxCachedNames) cache_.clear();
  return cache_.emplace(std::move(key), Resolve(faceName, bold, italic)).first->second;
}

size_t FontMatcher::CachedCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return cache_.size();
}

void FontMatcher::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  cache_.clear();
}

}  // namespace orvane::gdi
