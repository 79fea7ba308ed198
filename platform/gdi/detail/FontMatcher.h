#pragma once
// Face names to font files through fontconfig. A name may be a list
// ("Segoe UI;Tahoma;Arial Unicode MS"): each name is tried in turn and the
// first one that fontconfig matches by family wins; when none does, the
// best match of the first name is taken, which for an unknown or empty name
// is fontconfig's default sans face. Results are cached per name and style,
// in one cache for the process behind a lock: any thread may call it.

#include <cstdint>
#include <memory>
#include <mutex>
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
  // A copy: another thread may empty the cache at any time.
  FontFileInfo Match(const std::string& faceName, bool bold, bool italic);
  // The default face (empty name) for a style, used when a matched file cannot be opened.
  FontFileInfo Fallback(bool bold, bool italic) { return Match(std::string(), bold, italic); }
  size_t CachedCount() const;
  void Clear();

 private:
  FontMatcher();
  struct Candidate;
  bool Query(const std::string& family, bool bold, bool italic, Candidate& out);
  FontFileInfo Resolve(const std::string& faceName, bool bold, bool italic);

  struct ConfigDeleter {
    void operator()(void* config) const;
  };
  // Guards cache_ and every use of config_: a name is resolved under the
  // lock, so two threads asking for the same new name query fontconfig once.
  mutable std::mutex mutex_;
  std::unique_ptr<void, ConfigDeleter> config_;  // FcConfig
  std::unordered_map<std::string, FontFileInfo> cache_;
};

}  // namespace orvane::gdi
