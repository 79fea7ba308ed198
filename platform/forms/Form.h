#pragma once
// TForm: a top-level window. It owns the controls that its form definition
// creates, keeps a 32-bit backing surface of its client area, collects the
// areas to repaint in one region and paints them in one place
// (PaintRegion): erase to Color, OnPaint, then the graphic controls.
//
// Width and Height are the outer size: the client area is 4 pixels smaller
// on each side and 19 pixels less high for the caption (608 x 429 outside is
// 600 x 402 inside).

#include <memory>

#include <orvane/forms/WinControl.h>
#include <orvane/gdi/Region.h>
#include <orvane/gdi/UniqueHandles.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::backend {
class Window;
struct Event;
}  // namespace orvane::backend

namespace orvane::vcl {

class TGraphicControl;

enum TPosition : uint8_t { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter };

using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;

class TForm : public TWinControl {
 public:
  static constexpr int32_t kFrameWidth = 4;
  static constexpr int32_t kCaptionHeight = 19;

  explicit TForm(TComponent* owner);
  ~TForm() override;
  const char* ClassName() const override { return "TForm"; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition value) { position_ = value; }

  int32_t ClientWidth() const override { return std::max(Width() - 2 * kFrameWidth, 0); }
  int32_t ClientHeight() const override { return std::max(Height() - 2 * kFrameWidth - kCaptionHeight, 0); }
  void SetClientWidth(int32_t value) { SetWidth(value + 2 * kFrameWidth); }
  void SetClientHeight(int32_t value) { SetHeight(value + 2 * kFrameWidth + kCaptionHeight); }

  // The text height of the font the definition was designed with (0: not
  // stored) and the design resolution; the reader scales by the first.
  int32_t DesignTextHeight() const { return textHeight_; }
  void SetDesignTextHeight(int32_t value) { textHeight_ = value; }
  int32_t PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int32_t value) { pixelsPerInch_ = value; }
  // The text height of the form's font on this system.
  int32_t MeasuredTextHeight() const;

  // The canvas over the backing surface; during OnPaint it is clipped to the
  // area being repainted.
  TCanvas& Canvas() { return canvas_; }
  TNotifyEvent OnPaint;
  TCloseQueryEvent OnCloseQuery;

  void Show();
  void Hide();
  void SetVisible(bool value) override;
  // Asks OnCloseQuery, then hides the form; closing the main form ends the application.
  void Close();

  void Invalidate() override { InvalidateRect(ClientRect()); }
  void InvalidateRect(const TRect& clientArea) override;
  const gdi::Region& InvalidRegion() const { return invalid_; }

  // Paints the invalid region, if the form is showing and there is one; the
  // region counts as painted even when the paint fails, and a failure goes to
  // the application's exception display. Returns whether it painted.
  bool PaintPending();
  // The paint cycle for `region` (client coordinates): erase it to Color,
  // run OnPaint clipped to it (less opaque controls), then paint each visible
  // graphic control meeting it, first created first, with origin at the
  // control's corner, clipped to the control and the region; then show the
  // result. Exceptions leave it (the surface keeps what was painted).
  void PaintRegion(const gdi::Region& region);

  // The window-system window (created when first needed), and its events.
  backend::Window* Window() const { return window_.get(); }
  void HandleNeeded();
  void HandleEvent(const backend::Event& event);
  // The topmost visible control at a client point, or nullptr.
  TControl* ControlAtPos(int32_t x, int32_t y) const;
  // The backing surface (nullptr before the first paint).
  gdi::BitmapObject* Surface() const { return surface_.get(); }

  // Reads the form definition stored for ClassName() (a form-definition
  // resource named after the class in capitals) into the form; a plain TForm
  // has none and reads nothing. EResNotFound names the class when it is missing.
  void ReadDefinition();
  void Loaded() override;

 protected:
  void FontChanged() override;
  void Resized() override;

 private:
  void EnsureSurface();
  void FreeSurface();
  void PresentRegion(const gdi::Region& region);

  std::string caption_;
  TColor color_ = clBtnFace;
  TPosition position_ = poDesigned;
  int32_t textHeight_ = 0;
  int32_t pixelsPerInch_ = 96;
  TCanvas canvas_;
  gdi::Region invalid_;
  std::unique_ptr<backend::Window> window_;
  gdi::UniqueBitmap surface_;
  gdi::UniqueDC dc_;
  bool resizingFromWindow_ = false;
  TControl* capture_ = nullptr;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
