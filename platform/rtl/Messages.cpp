#include <orvane/rtl/Messages.h>

namespace orvane::rtl::msg {

std::string InOutErrorText(int code) {
  switch (code) {
    case 2: return FileNotFound;
    case 3: return InvalidFileName;
    case 4: return TooManyOpenFiles;
    case 5: return AccessDenied;
    case 100: return EndOfFile;
    case 101: return DiskFull;
    case 106: return InvalidInput;
    default: break;
  }
  std::string text = InOutErrorFmt;
  return text.replace(text.find("%d"), 2, std::to_string(code));
}

std::string FormatS(const char* format, const std::string& value) {
  std::string text = format;
  const auto at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

}  // namespace orvane::rtl::msg
