#pragma once
// Face names to font files through fontconfig. A name may be a list
// ("Segoe UI;Tahoma;Arial Unicode MS"): each name is tried in turn and the
// first one that fontconfig matches by family wins; when none does, the
// best match of the first name is taken, which for an unknown or empty name
// is fontconfig's default sans face. Results are cached per name and style.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include <orvane/gdi/FontEngine.h>

namespace orvane::gdi {

class FontMatcher {
 public:
  static FontMatcher& Instance();
  ~FontMatcher();
  FontMatcher(const FontMatcher&) = delete;
  FontMatcher& operator=(const FontMatcher&) = delete;

  // The face for a name and style; an empty path when fontconfig is not
  // available or knows no font at all.
  const FontFileInfo& Match(const std::string& faceName, bool bold, bool italic);
  // The default face (empty name) for a style, used when a matched file cannot be opened.
  const FontFileInfo& Fallback(bool bold, bool italic) { return Match(std::string(), bold, italic); }
  size_t CachedCount() const { return cache_.size(); }
  void Clear() { cache_.clear(); }

 private:
  FontMatcher();
  struct Candidate;
  bool Query(const std::string& family, bool bold, bool italic, Candidate& out);
  FontFileInfo Resolve(const std::string& faceName, bool bold, bool italic);

  struct ConfigDeleter {
    void operator()(void* config) const;
  };
  std::unique_ptr<void, ConfigDeleter> config_;  // FcConfig
  std::unordered_map<std::string, FontFileInfo> cache_;
};

}  // namespace orvane::gdi
