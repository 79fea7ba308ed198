#include <orvane/backend/SdlBackend.h>

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::backend {

namespace {

// SDL refuses windows and textures of no pixels; the smallest it gets is 1 x 1.
int32_t AtLeastOne(int32_t side) { return std::clamp(side, 1, 16384); }

uint8_t ModifierBits() {
  const SDL_Keymod mod = SDL_GetModState();
  uint8_t bits = 0;
  if (mod & KMOD_SHIFT) bits |= kShift;
  if (mod & KMOD_ALT) bits |= kAlt;
  if (mod & KMOD_CTRL) bits |= kCtrl;
  return bits;
}

uint8_t ButtonBits(uint32_t state) {
  uint8_t bits = 0;
  if (state & SDL_BUTTON_LMASK) bits |= kLeft;
  if (state & SDL_BUTTON_RMASK) bits |= kRight;
  if (state & SDL_BUTTON_MMASK) bits |= kMiddle;
  return bits;
}

bool SeamButton(uint8_t sdlButton, MouseButton& button) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: button = MouseButton::Left; return true;
    case SDL_BUTTON_RIGHT: button = MouseButton::Right; return true;
    case SDL_BUTTON_MIDDLE: button = MouseButton::Middle; return true;
    default: return false;  // side buttons mean nothing to the toolkit
  }
}

}  // namespace

// --- SdlWindow ---

SdlWindow::SdlWindow(SdlBackend& owner, const WindowParams& params) : owner_(owner) {
  const int x = params.centred ? SDL_WINDOWPOS_CENTERED : params.left;
  const int y = params.centred ? SDL_WINDOWPOS_CENTERED : params.top;
  window_ = SDL_CreateWindow(params.caption.c_str(), x, y, AtLeastOne(params.clientWidth),
                             AtLeastOne(params.clientHeight), SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!window_) throw rtl::EOutOfResources(SDL_GetError());
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) {
    const std::string reason = SDL_GetError();
    Destroy();
    throw rtl::EOutOfResources(reason);
  }
  id_ = SDL_GetWindowID(window_);
  owner_.windows_[id_] = this;
}

SdlWindow::~SdlWindow() {
  owner_.windows_.erase(id_);
  Destroy();
}

void SdlWindow::Destroy() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

void SdlWindow::SetCaption(const std::string& caption) { SDL_SetWindowTitle(window_, caption.c_str()); }

void SdlWindow::Show() {
  visible_ = true;
  SDL_ShowWindow(window_);
}

void SdlWindow::Hide() {
  visible_ = false;
  SDL_HideWindow(window_);
}

void SdlWindow::SetClientSize(int32_t width, int32_t height) {
  SDL_SetWindowSize(window_, AtLeastOne(width), AtLeastOne(height));
}

bool SdlWindow::EnsureTexture(int32_t width, int32_t height) {
  if (texture_ && textureWidth_ == width && textureHeight_ == height) return true;
  if (texture_) SDL_DestroyTexture(texture_);
  textureWidth_ = textureHeight_ = 0;
  // RGB888 is 32 bits per pixel with red in bits 16-23: in memory on a
  // little-endian machine B, G, R, X - the backing surface's order.
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!texture_) return false;
  textureWidth_ = width;
  textureHeight_ = height;
  return true;
}

void SdlWindow::Present(const SurfaceView& surface, const gdi::Rect& rect) {
  if (!surface.bits || surface.width <= 0 || surface.height <= 0 || surface.stride < surface.width * 4) return;
  const bool fresh = !texture_ || textureWidth_ != surface.width || textureHeight_ != surface.height;
  if (!EnsureTexture(surface.width, surface.height)) return;
  // A new texture holds nothing yet: it takes the whole backing store.
  const gdi::Rect r = fresh ? gdi::Rect{0, 0, surface.width, surface.height}
                            : rect.Intersect(gdi::Rect{0, 0, surface.width, surface.height});
  if (!r.IsEmpty()) {
    const SDL_Rect area{r.left, r.top, r.right - r.left, r.bottom - r.top};
    const uint8_t* first = surface.bits + static_cast<ptrdiff_t>(r.top) * surface.stride + ptrdiff_t{r.left} * 4;
    SDL_UpdateTexture(texture_, &area, first, surface.stride);
  }
  // The back buffer's content is undefined after a present: draw it whole.
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  const SDL_Rect whole{0, 0, textureWidth_, textureHeight_};
  SDL_RenderCopy(renderer_, texture_, nullptr, &whole);
  SDL_RenderPresent(renderer_);
}

void SdlWindow::SetIcon(const SurfaceView& image) {
  if (!image.bits || image.width <= 0 || image.height <= 0 || image.stride < image.width * 4) return;
  // ARGB8888 is B, G, R, A in memory on a little-endian machine.
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(image.bits), image.width,
                                                         image.height, 32, image.stride, SDL_PIXELFORMAT_ARGB8888);
  if (!icon) return;
  SDL_SetWindowIcon(window_, icon);  // SDL copies the pixels
  SDL_FreeSurface(icon);
}

// --- SdlBackend ---

std::unique_ptr<SdlBackend> SdlBackend::Open(std::string& error) {
  // Closing the last window is the toolkit's business (the main form may
  // refuse to close); SDL_QUIT then only comes from outside (a signal).
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // The click that activates a window reaches it, as on other desktops.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // Only the drivers of the display named in the environment: SDL would
  // otherwise fall back to an offscreen driver (and a missing Wayland
  // compositor would complain on standard error). SDL_VIDEODRIVER still wins.
  const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
  const bool haveWayland = wayland && *wayland;
  SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, haveWayland ? "wayland,x11" : "x11", SDL_HINT_DEFAULT);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    error = SDL_GetError();
    if (error.empty()) error = "SDL_Init";
    return nullptr;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  const std::string name = driver ? driver : "";
  if (name.empty() || name == "dummy" || name == "offscreen" || name == "evdev") {
    error = "SDL video driver \"" + name + "\" shows nothing";
    SDL_Quit();
    return nullptr;
  }
  return std::unique_ptr<SdlBackend>(new SdlBackend());
}

SdlBackend::~SdlBackend() { SDL_Quit(); }

std::unique_ptr<Window> SdlBackend::CreateWindow(const WindowParams& params) {
  return std::make_unique<SdlWindow>(*this, params);
}

bool SdlBackend::TakePending(Event& event) {
  if (pending_.empty()) return false;
  event = pending_.front();
  pending_.pop_front();
  return true;
}

bool SdlBackend::PollEvent(Event& event) {
  if (TakePending(event)) return true;
  SDL_Event sdl;
  while (SDL_PollEvent(&sdl))
    if (Translate(sdl)) return TakePending(event);
  return false;
}

bool SdlBackend::WaitEvent(Event& event) {
  if (TakePending(event)) return true;
  SDL_Event sdl;
  while (SDL_WaitEvent(&sdl))
    if (Translate(sdl)) return TakePending(event);
  return false;
}

bool SdlBackend::Translate(const SDL_Event& sdl) {
  Event e;
  switch (sdl.type) {
    case SDL_QUIT:
      e.kind = Event::Kind::Quit;
      break;
    case SDL_WINDOWEVENT: {
      const auto it = windows_.find(sdl.window.windowID);
      if (it == windows_.end()) return false;
      e.window = sdl.window.windowID;
      switch (sdl.window.event) {
        case SDL_WINDOWEVENT_EXPOSED: {
          int w = 0, h = 0;
          SDL_GetWindowSize(it->second->Handle(), &w, &h);
          e.kind = Event::Kind::Expose;
          e.rect = gdi::Rect{0, 0, w, h};
          break;
        }
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          e.kind = Event::Kind::Resize;
          e.width = sdl.window.data1;
          e.height = sdl.window.data2;
          break;
        case SDL_WINDOWEVENT_CLOSE:
          e.kind = Event::Kind::Close;
          break;
        default:
          return false;
      }
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      if (!windows_.count(sdl.button.windowID) || !SeamButton(sdl.button.button, e.button)) return false;
      const bool down = sdl.type == SDL_MOUSEBUTTONDOWN;
      e.window = sdl.button.windowID;
      e.x = sdl.button.x;
      e.y = sdl.button.y;
      // The buttons held as of this event (SDL's current state may be later).
      const uint8_t bit = e.button == MouseButton::Left ? kLeft : e.button == MouseButton::Right ? kRight : kMiddle;
      buttons_ = static_cast<uint8_t>(down ? buttons_ | bit : buttons_ & ~bit);
      e.shift = static_cast<uint8_t>(ModifierBits() | buttons_);
      e.kind = down ? Event::Kind::MouseDown : Event::Kind::MouseUp;
      if (down && sdl.button.clicks >= 2 && sdl.button.clicks % 2 == 0) {
        // A second press: the double click, then the press marked as double.
        Event dbl = e;
        dbl.kind = Event::Kind::DoubleClick;
        pending_.push_back(dbl);
        e.shift |= kDouble;
      }
      break;
    }
    case SDL_MOUSEMOTION:
      if (!windows_.count(sdl.motion.windowID)) return false;
      e.kind = Event::Kind::MouseMove;
      e.window = sdl.motion.windowID;
      e.x = sdl.motion.x;
      e.y = sdl.motion.y;
      buttons_ = ButtonBits(sdl.motion.state);
      e.shift = static_cast<uint8_t>(ModifierBits() | buttons_);
      break;
    default:
      return false;
  }
  pending_.push_back(e);
  return true;
}

SDL_Window* SdlBackend::MessageBoxParent() const {
  if (SDL_Window* focus = SDL_GetKeyboardFocus()) {
    if (windows_.count(SDL_GetWindowID(focus))) return focus;
  }
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
    if (it->second->Visible()) return it->second->Handle();
  return nullptr;
}

int SdlBackend::MessageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                           MessageButtons buttons) {
  constexpr uint32_t kReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  constexpr uint32_t kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  std::vector<SDL_MessageBoxButtonData> list;
  int escapeResult = kIdOk;
  switch (buttons) {
    case MessageButtons::Ok:
      list = {{kReturn | kEscape, kIdOk, rtl::msg::ButtonOk}};
      break;
    case MessageButtons::OkCancel:
      list = {{kReturn, kIdOk, rtl::msg::ButtonOk}, {kEscape, kIdCancel, rtl::msg::ButtonCancel}};
      escapeResult = kIdCancel;
      break;
    case MessageButtons::YesNo:
      list = {{kReturn, kIdYes, rtl::msg::ButtonYes}, {kEscape, kIdNo, rtl::msg::ButtonNo}};
      escapeResult = kIdNo;
      break;
    case MessageButtons::YesNoCancel:
      list = {{kReturn, kIdYes, rtl::msg::ButtonYes},
              {0, kIdNo, rtl::msg::ButtonNo},
              {kEscape, kIdCancel, rtl::msg::ButtonCancel}};
      escapeResult = kIdCancel;
      break;
  }
  uint32_t flags = 0;
  switch (icon) {
    case MessageIcon::Error: flags = SDL_MESSAGEBOX_ERROR; break;
    case MessageIcon::Warning: flags = SDL_MESSAGEBOX_WARNING; break;
    case MessageIcon::Information:
    case MessageIcon::Question: flags = SDL_MESSAGEBOX_INFORMATION; break;
    case MessageIcon::None: break;
  }
  const SDL_MessageBoxData data{flags,
                                MessageBoxParent(),
                                caption.c_str(),
                                text.c_str(),
                                static_cast<int>(list.size()),
                                list.data(),
                                nullptr};
  int pressed = -1;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) {
    // No box could be shown: the text must not be lost.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return escapeResult;
  }
  return pressed < 0 ? escapeResult : pressed;
}

void SdlBackend::PostQuit() {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

int32_t SdlBackend::ScreenWidth() const {
  SDL_Rect bounds{};
  return SDL_GetDisplayBounds(0, &bounds) == 0 ? bounds.w : 0;
}

int32_t SdlBackend::ScreenHeight() const {
  SDL_Rect bounds{};
  return SDL_GetDisplayBounds(0, &bounds) == 0 ? bounds.h : 0;
}

void UseSdlBackend() {
  RegisterWindowBackend([](std::string& reason) -> std::unique_ptr<Backend> { return SdlBackend::Open(reason); });
}

}  // namespace orvane::backend
