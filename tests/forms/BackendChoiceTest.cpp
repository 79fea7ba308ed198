// Which backend a program gets: the display backend it registered, or the
// screenless one, as ORVANE_BACKEND and the display variables say.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <orvane/backend/Backend.h>
#include <orvane/backend/HeadlessBackend.h>

using namespace orvane::backend;

namespace {

int displayOpened = 0;

// Stands in for a display backend: counts its openings, gives a screenless one.
std::unique_ptr<Backend> FakeDisplay(std::string&) {
  ++displayOpened;
  return std::make_unique<HeadlessBackend>();
}

void SetEnv(const char* name, const char* value) {
  if (value) setenv(name, value, 1);
  else unsetenv(name);
}

}  // namespace

TEST(BackendChoiceTest, RegisteredDisplayBackendOrScreenless) {
  struct Case {
    const char* what;
    bool registered;
    const char* chosen;   // ORVANE_BACKEND
    const char* display;  // DISPLAY
    bool opensDisplay;
    bool fails;
  } cases[] = {
      {"nothing registered, nothing chosen", false, nullptr, ":9", false, false},
      {"nothing registered, sdl chosen", false, "sdl", ":9", false, true},
      {"registered, nothing chosen", true, nullptr, ":9", true, false},
      {"registered, sdl chosen", true, "sdl", ":9", true, false},
      {"registered, headless chosen", true, "headless", ":9", false, false},
      {"registered, no display", true, nullptr, nullptr, false, true},
      {"registered, unknown name", true, "nonesuch", ":9", false, true},
  };
  const char* savedDisplay = std::getenv("DISPLAY");
  const std::string keptDisplay = savedDisplay ? savedDisplay : "";
  unsetenv("WAYLAND_DISPLAY");
  for (const Case& c : cases) {
    RegisterWindowBackend(c.registered ? FakeDisplay : nullptr);
    SetEnv("ORVANE_BACKEND", c.chosen);
    SetEnv("DISPLAY", c.display);
    displayOpened = 0;
    std::string error;
    const auto backend = CreateBackendOrExplain(error);
    EXPECT_EQ(backend == nullptr, c.fails) << c.what << ": " << error;
    EXPECT_EQ(error.empty(), !c.fails) << c.what;
    EXPECT_EQ(displayOpened, c.opensDisplay ? 1 : 0) << c.what;
  }
  RegisterWindowBackend(nullptr);
  unsetenv("ORVANE_BACKEND");
  SetEnv("DISPLAY", savedDisplay ? keptDisplay.c_str() : nullptr);
}
