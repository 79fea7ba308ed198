#include <orvane/rtl/EnglishMessages.h>

#include <cstdlib>
#include <cstring>
#include <string_view>

#include <orvane/rtl/Messages.h>

namespace orvane::rtl {

namespace {

struct Translation {
  const char* runtime;  // a text or a format with one %s or %d
  const char* english;
};

constexpr Translation kTranslations[] = {
    {msg::FileNotFound, "file not found"},
    {msg::InvalidFileName, "invalid file name or path not found"},
    {msg::TooManyOpenFiles, "too many open files"},
    {msg::AccessDenied, "access denied"},
    {msg::EndOfFile, "read past the end of the file"},
    {msg::DiskFull, "not enough disk space"},
    {msg::InvalidInput, "invalid numeric input"},
    {msg::InOutErrorFmt, "I/O error %d"},
    {msg::OutOfMemory, "out of memory"},
    {msg::ZeroDivide, "floating-point division by zero"},
    {msg::InvalidOp, "invalid floating-point operation"},
    {msg::FOpenErrorFmt, "cannot open file %s"},
    {msg::ReadError, "the file is cut short (stream read error)"},
    {msg::InvalidMetafile, "not a valid metafile"},
    {msg::UnknownExtensionFmt, "unknown picture file extension (.%s)"},
    {msg::OutOfResources, "out of system resources"},
    {msg::ResNotFoundFmt, "resource %s not found"},
    {msg::InvalidBitmap, "not a valid bitmap"},
    {msg::InvalidIcon, "not a valid icon"},
    {msg::NoGraphic, "no picture given"},
    {msg::NegativeSize, "invalid size"},
    {msg::UnknownException, "unknown exception"},
};

// The value a format's one placeholder stands for in `text`, if the text is
// the format filled in.
bool Matches(std::string_view format, std::string_view text, std::string_view& value) {
  const size_t at = format.find('%');
  if (at == std::string_view::npos || at + 1 >= format.size()) {
    value = {};
    return format == text;
  }
  const std::string_view before = format.substr(0, at), after = format.substr(at + 2);
  if (text.size() < before.size() + after.size() || text.substr(0, before.size()) != before ||
      text.substr(text.size() - after.size()) != after)
    return false;
  value = text.substr(before.size(), text.size() - before.size() - after.size());
  return true;
}

}  // namespace

std::string EnglishMessage(const std::string& runtimeText) {
  for (const Translation& t : kTranslations) {
    std::string_view value;
    if (!Matches(t.runtime, runtimeText, value)) continue;
    std::string english = t.english;
    const size_t at = english.find('%');
    if (at != std::string::npos) english.replace(at, 2, value);
    return english;
  }
  return runtimeText;
}

bool LocaleIsGerman() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return std::strncmp(value, "de", 2) == 0;
  }
  return false;
}

std::string UserMessage(const std::string& runtimeText) {
  return LocaleIsGerman() ? runtimeText : EnglishMessage(runtimeText);
}

}  // namespace orvane::rtl
