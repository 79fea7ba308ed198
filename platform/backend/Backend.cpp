#include <orvane/backend/Backend.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include <orvane/backend/HeadlessBackend.h>
#include <orvane/rtl/Messages.h>

namespace orvane::backend {

namespace {
std::atomic<WindowBackendOpener> windowBackend{nullptr};
}  // namespace

void RegisterWindowBackend(WindowBackendOpener opener) { windowBackend.store(opener); }

std::unique_ptr<Backend> CreateBackendOrExplain(std::string& error) {
  error.clear();
  const char* chosen = std::getenv("ORVANE_BACKEND");
  const std::string name = chosen ? chosen : "";
  const WindowBackendOpener opener = windowBackend.load();
  if (name == "headless" || (name.empty() && !opener)) return std::make_unique<HeadlessBackend>();
  if ((!name.empty() && name != "sdl") || !opener) {  // a name this program has no backend for
    error = rtl::msg::FormatS(rtl::msg::NoDisplayFmt, rtl::msg::FormatS(rtl::msg::UnknownBackendFmt, name));
    return nullptr;
  }
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if ((!x11 || !*x11) && (!wayland || !*wayland)) {
    error = rtl::msg::FormatS(rtl::msg::NoDisplayFmt, rtl::msg::NoDisplayVariable);
    return nullptr;
  }
  std::string reason;
  if (auto display = opener(reason)) return display;
  error = rtl::msg::FormatS(rtl::msg::NoDisplayFmt, reason);
  return nullptr;
}

std::unique_ptr<Backend> CreateDefaultBackend() {
  std::string error;
  if (auto backend = CreateBackendOrExplain(error)) return backend;
  // One line: the reason without line breaks of its own.
  for (char& c : error)
    if (c == '\n' || c == '\r') c = ' ';
  std::fprintf(stderr, "%s\n", error.c_str());
  std::fflush(stderr);
  std::exit(1);
}

}  // namespace orvane::backend
