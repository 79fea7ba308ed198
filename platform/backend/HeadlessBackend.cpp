#include <orvane/backend/HeadlessBackend.h>

#include <algorithm>

namespace orvane::backend {

HeadlessWindow::HeadlessWindow(HeadlessBackend& owner, WindowId id, const WindowParams& params)
    : owner_(owner), id_(id), caption_(params.caption) {
  SetClientSize(params.clientWidth, params.clientHeight);
  const int32_t outerW = width_ + 2 * HeadlessBackend::kFrame;
  const int32_t outerH = height_ + 2 * HeadlessBackend::kFrame + HeadlessBackend::kCaption;
  if (params.centred) {
    left_ = (owner.ScreenWidth() - outerW) / 2;
    top_ = (owner.ScreenHeight() - outerH) / 2;
  } else {
    left_ = params.left;
    top_ = params.top;
  }
}

HeadlessWindow::~HeadlessWindow() { owner_.windows_.erase(id_); }

void HeadlessWindow::SetClientSize(int32_t width, int32_t height) {
  width = std::clamp(width, 0, kMaxSide);
  height = std::clamp(height, 0, kMaxSide);
  std::vector<uint32_t> resized(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  const int32_t keepW = std::min(width, width_), keepH = std::min(height, height_);
  for (int32_t y = 0; y < keepH; ++y)
    std::copy_n(pixels_.begin() + static_cast<ptrdiff_t>(y) * width_, keepW,
                resized.begin() + static_cast<ptrdiff_t>(y) * width);
  pixels_.swap(resized);
  width_ = width;
  height_ = height;
}

void HeadlessWindow::Present(const SurfaceView& surface, const gdi::Rect& rect) {
  ++presentCount_;
  if (!surface.bits) return;
  const gdi::Rect r = rect.Intersect(gdi::Rect{0, 0, std::min(surface.width, width_), std::min(surface.height, height_)});
  for (int32_t y = r.top; y < r.bottom; ++y) {
    const uint8_t* src = surface.bits + static_cast<ptrdiff_t>(y) * surface.stride + ptrdiff_t{r.left} * 4;
    uint32_t* dst = pixels_.data() + static_cast<ptrdiff_t>(y) * width_ + r.left;
    for (int32_t x = r.left; x < r.right; ++x, src += 4) *dst++ = gdi::RGB(src[2], src[1], src[0]);
  }
}

int32_t HeadlessWindow::Pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return -1;
  return static_cast<int32_t>(pixels_[static_cast<size_t>(y) * width_ + x]);
}

std::unique_ptr<Window> HeadlessBackend::CreateWindow(const WindowParams& params) {
  auto window = std::make_unique<HeadlessWindow>(*this, nextId_++, params);
  windows_[window->Id()] = window.get();
  return window;
}

bool HeadlessBackend::PollEvent(Event& event) {
  if (queue_.empty()) return false;
  event = queue_.front();
  queue_.pop_front();
  return true;
}

int HeadlessBackend::MessageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                                MessageButtons buttons) {
  boxes_.push_back(RecordedMessageBox{caption, text, icon, buttons});
  return result_;
}

void HeadlessBackend::PostQuit() {
  Event e;
  e.kind = Event::Kind::Quit;
  queue_.push_back(e);
}

void HeadlessBackend::ResizeWindow(WindowId id, int32_t clientWidth, int32_t clientHeight) {
  HeadlessWindow* window = FindWindow(id);
  if (!window) return;
  window->SetClientSize(clientWidth, clientHeight);
  Event e;
  e.kind = Event::Kind::Resize;
  e.window = id;
  e.width = window->ClientWidth();
  e.height = window->ClientHeight();
  queue_.push_back(e);
}

void HeadlessBackend::RequestClose(WindowId id) {
  Event e;
  e.kind = Event::Kind::Close;
  e.window = id;
  queue_.push_back(e);
}

void HeadlessBackend::Mouse(WindowId id, Event::Kind kind, int32_t x, int32_t y, MouseButton button, uint8_t shift) {
  Event e;
  e.kind = kind;
  e.window = id;
  e.x = x;
  e.y = y;
  e.button = button;
  e.shift = shift;
  queue_.push_back(e);
}

HeadlessWindow* HeadlessBackend::FindWindow(WindowId id) const {
  const auto it = windows_.find(id);
  return it == windows_.end() ? nullptr : it->second;
}

HeadlessWindow* HeadlessBackend::LastWindow() const {
  return windows_.empty() ? nullptr : windows_.rbegin()->second;
}

}  // namespace orvane::backend
