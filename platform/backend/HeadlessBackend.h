#pragma once
// A backend without a screen, for tests and snapshots. Windows keep a copy
// of every presented pixel, so a test reads the client area back pixel by
// pixel; message boxes are recorded instead of shown; events are queued by
// the test (ResizeWindow, RequestClose, Mouse) and handed out in order. The
// screen is a fixed 1024 x 768.

#include <deque>
#include <map>
#include <vector>

#include <orvane/backend/Backend.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::backend {

struct RecordedMessageBox {
  std::string caption;
  std::string text;
  MessageIcon icon = MessageIcon::None;
  MessageButtons buttons = MessageButtons::Ok;
};

class HeadlessBackend;

class HeadlessWindow : public Window {
 public:
  // The largest client side kept; larger sizes are cut to it.
  static constexpr int32_t kMaxSide = 4096;
  HeadlessWindow(HeadlessBackend& owner, WindowId id, const WindowParams& params);
  ~HeadlessWindow() override;

  WindowId Id() const override { return id_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }
  void Show() override { visible_ = true; }
  void Hide() override { visible_ = false; }
  void SetClientSize(int32_t width, int32_t height) override;
  void Present(const SurfaceView& surface, const gdi::Rect& rect) override;

  const std::string& Caption() const { return caption_; }
  bool Visible() const { return visible_; }
  int32_t ClientWidth() const { return width_; }
  int32_t ClientHeight() const { return height_; }
  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int PresentCount() const { return presentCount_; }
  // A presented pixel as a colour value (red in bits 0-7); -1 outside the
  // client area. Pixels never presented read as black.
  int32_t Pixel(int32_t x, int32_t y) const;

 private:
  HeadlessBackend& owner_;
  WindowId id_;
  std::string caption_;
  bool visible_ = false;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t left_ = 0;
  int32_t top_ = 0;
  int presentCount_ = 0;
  std::vector<uint32_t> pixels_;  // width_ * height_ colour values, top row first
};

class HeadlessBackend : public Backend {
 public:
  // Outer frame added to a client size: 4 pixels a side and a 19-pixel caption.
  static constexpr int32_t kFrame = 4;
  static constexpr int32_t kCaption = 19;

  std::unique_ptr<Window> CreateWindow(const WindowParams& params) override;
  bool PollEvent(Event& event) override;
  bool WaitEvent(Event& event) override { return PollEvent(event); }
  int MessageBox(const std::string& caption, const std::string& text, MessageIcon icon,
                 MessageButtons buttons) override;
  void PostQuit() override;
  int32_t ScreenWidth() const override { return 1024; }
  int32_t ScreenHeight() const override { return 768; }

  // --- driving and inspecting, for tests ---
  void PostEvent(const Event& event) { queue_.push_back(event); }
  // The user resizes the window: its client area changes and a Resize event is queued.
  void ResizeWindow(WindowId id, int32_t clientWidth, int32_t clientHeight);
  // The user asks to close the window (close button).
  void RequestClose(WindowId id);
  void Mouse(WindowId id, Event::Kind kind, int32_t x, int32_t y, MouseButton button = MouseButton::Left,
             uint8_t shift = 0);
  HeadlessWindow* FindWindow(WindowId id) const;
  // The window created last that is still alive, or nullptr.
  HeadlessWindow* LastWindow() const;
  size_t PendingEvents() const { return queue_.size(); }

  const std::vector<RecordedMessageBox>& MessageBoxes() const { return boxes_; }
  void ClearMessageBoxes() { boxes_.clear(); }
  // The answer every later message box gives.
  void SetMessageBoxResult(int result) { result_ = result; }

 private:
  friend class HeadlessWindow;
  std::deque<Event> queue_;
  std::map<WindowId, HeadlessWindow*> windows_;
  std::vector<RecordedMessageBox> boxes_;
  WindowId nextId_ = 1;
  int result_ = kIdOk;
};

}  // namespace orvane::backend

ORVANE_PUBLIC_END
