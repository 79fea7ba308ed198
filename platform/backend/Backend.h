#pragma once
// The window-system seam. The toolkit (forms/) paints every window into a
// 32-bit backing surface of its own and talks to the window system only
// through this interface: create a window of a client size with a caption,
// show or hide it, present the backing surface (or a rectangle of it), pump
// events (expose, resize, close, mouse), show a message box, quit.
// Coordinates are client pixels; rectangles are right/bottom exclusive.

#include <cstdint>
#include <memory>
#include <string>

#include <orvane/gdi/GdiTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::backend {

using WindowId = uint32_t;

// A read-only view of a top-down 32-bit surface (B, G, R, unused per pixel).
struct SurfaceView {
  const uint8_t* bits = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;  // bytes from one row to the next
};

enum class MouseButton : uint8_t { Left, Right, Middle };

// Shift-state bits of mouse events.
enum ShiftBits : uint8_t { kShift = 1, kAlt = 2, kCtrl = 4, kLeft = 8, kRight = 16, kMiddle = 32, kDouble = 64 };

struct Event {
  enum class Kind : uint8_t {
    Expose,       // `rect` of the client area needs repainting
    Resize,       // the client area is now `width` x `height`
    Close,        // the user asks to close the window
    MouseDown,    // `button` pressed at (x, y)
    MouseUp,
    MouseMove,
    DoubleClick,  // second press of `button` at (x, y) within the double-click time
    Quit,         // the application is asked to end
  };
  Kind kind = Kind::Expose;
  WindowId window = 0;
  gdi::Rect rect;
  int32_t width = 0;
  int32_t height = 0;
  int32_t x = 0;
  int32_t y = 0;
  MouseButton button = MouseButton::Left;
  uint8_t shift = 0;
};

enum class MessageIcon : uint8_t { None, Error, Warning, Information, Question };
enum class MessageButtons : uint8_t { Ok, OkCancel, YesNo, YesNoCancel };
// Message box results.
constexpr int kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7;

struct WindowParams {
  std::string caption;
  int32_t clientWidth = 0;
  int32_t clientHeight = 0;
  // Position of the outer window's top-left corner on the screen, or centred.
  bool centred = false;
  int32_t left = 0;
  int32_t top = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual WindowId Id() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void SetClientSize(int32_t width, int32_t height) = 0;
  // Shows the part `rect` of the surface (the whole client area's backing
  // store); `rect` is cut to the surface.
  virtual void Present(const SurfaceView& surface, const gdi::Rect& rect) = 0;
  // Sets the window's icon from a top-down 32-bit image whose fourth byte is
  // alpha (B, G, R, A); a backend without icons ignores it.
  virtual void SetIcon(const SurfaceView& /*image*/) {}
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::unique_ptr<Window> CreateWindow(const WindowParams& params) = 0;
  // Takes the next pending event without waiting; false when there is none.
  virtual bool PollEvent(Event& event) = 0;
  // Waits for the next event; false when none can ever arrive (a headless
  // backend with an empty queue), which ends a message loop.
  virtual bool WaitEvent(Event& event) = 0;
  // A modal message box; returns the button pressed (kIdOk, ...).
  virtual int MessageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                         MessageButtons buttons) = 0;
  // Queues a Quit event.
  virtual void PostQuit() = 0;
  virtual int32_t ScreenWidth() const = 0;
  virtual int32_t ScreenHeight() const = 0;
};

}  // namespace orvane::backend

namespace orvane::backend {

// A backend on a real display: nullptr with a one-line reason when it
// cannot be opened.
using WindowBackendOpener = std::unique_ptr<Backend> (*)(std::string& reason);

// Makes `opener` the display backend of this program. The window backends
// live in libraries of their own (only programs that show windows link
// one), so a program names its backend once, before the application is
// made; see SdlBackend.h.
void RegisterWindowBackend(WindowBackendOpener opener);

// The backend a program gets when it asks for none in particular: the
// registered display backend on the display named by DISPLAY or
// WAYLAND_DISPLAY, or the screenless one when the program registered none.
// The environment variable ORVANE_BACKEND chooses one by name: "headless"
// gives the screenless backend (for tests and snapshots), "sdl" the display
// one. nullptr with a one-line reason in `error` when none can be opened.
std::unique_ptr<Backend> CreateBackendOrExplain(std::string& error);
// The same, but a failure ends the program: the reason goes to standard
// error as one line and the exit code is 1.
std::unique_ptr<Backend> CreateDefaultBackend();

}  // namespace orvane::backend

ORVANE_PUBLIC_END
