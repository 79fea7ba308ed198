#pragma once
// The backend on a real display through SDL2. Each window has a renderer and
// a streaming texture of the client size in the backing surface's own byte
// order (B, G, R, X); Present uploads the changed rectangle into the texture
// and shows the whole texture in one renderer present, so a frame is never
// seen half drawn. Expose, size changes, close requests and the mouse become
// seam events; message boxes are SDL's, owned by the active window (SDL runs
// their loop itself, so no other window of the program takes input while
// one is open).

#include <deque>
#include <map>

#include <orvane/backend/Backend.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace orvane::backend {

class SdlBackend;

class SdlWindow : public Window {
 public:
  // Throws rtl::EOutOfResources with SDL's reason when the window cannot be made.
  SdlWindow(SdlBackend& owner, const WindowParams& params);
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  WindowId Id() const override { return id_; }
  void SetCaption(const std::string& caption) override;
  void Show() override;
  void Hide() override;
  void SetClientSize(int32_t width, int32_t height) override;
  void Present(const SurfaceView& surface, const gdi::Rect& rect) override;
  void SetIcon(const SurfaceView& image) override;

  SDL_Window* Handle() const { return window_; }
  bool Visible() const { return visible_; }

 private:
  // Makes the texture `width` x `height`; false when SDL cannot.
  bool EnsureTexture(int32_t width, int32_t height);
  void Destroy();

  SdlBackend& owner_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int32_t textureWidth_ = 0;
  int32_t textureHeight_ = 0;
  WindowId id_ = 0;
  bool visible_ = false;
};

class SdlBackend : public Backend {
 public:
  // Opens the video subsystem; nullptr with `error` set when there is no
  // display to open.
  static std::unique_ptr<SdlBackend> Open(std::string& error);
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  std::unique_ptr<Window> CreateWindow(const WindowParams& params) override;
  bool PollEvent(Event& event) override;
  bool WaitEvent(Event& event) override;
  int MessageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                 MessageButtons buttons) override;
  void PostQuit() override;
  int32_t ScreenWidth() const override;
  int32_t ScreenHeight() const override;

 private:
  friend class SdlWindow;
  SdlBackend() = default;
  // Turns an SDL event into seam events appended to pending_; false when it
  // means nothing to the toolkit.
  bool Translate(const SDL_Event& sdl);
  bool TakePending(Event& event);
  // The window a message box belongs to: the one with the keyboard focus,
  // else the visible one created last, else none.
  SDL_Window* MessageBoxParent() const;

  std::deque<Event> pending_;
  std::map<WindowId, SdlWindow*> windows_;
  uint8_t buttons_ = 0;  // kLeft, kRight, kMiddle held, as of the last mouse event translated
};

// Makes SDL the display backend of this program (see RegisterWindowBackend);
// call it once at the start of a program that shows windows.
void UseSdlBackend();

}  // namespace orvane::backend

ORVANE_PUBLIC_END
