#include <orvane/forms/Control.h>

#include <algorithm>

#include <orvane/forms/WinControl.h>

namespace orvane::vcl {

int32_t MulDiv(int32_t a, int32_t b, int32_t c) {
  if (c == 0) return a;
  const int64_t p = int64_t{a} * b;
  int64_t q = p / c;
  const int64_t r = p % c;
  // Round half away from zero: compare twice the remainder with the divisor.
  if (2 * (r < 0 ? -r : r) >= (c < 0 ? -int64_t{c} : int64_t{c})) q += ((p < 0) != (c < 0)) ? -1 : 1;
  return gdi::ClampToInt32(q);
}

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() { SetParent(nullptr); }

void TControl::InvalidateArea(const TRect& area) {
  if (parent_ && visible_ && !area.IsEmpty()) parent_->InvalidateRect(area);
}

void TControl::Invalidate() { InvalidateArea(BoundsRect()); }

void TControl::UpdateBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  const bool resized = width != width_ || height != height_;
  InvalidateArea(BoundsRect());
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  InvalidateArea(BoundsRect());
  if (resized) Resized();
}

void TControl::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (left == left_ && top == top_ && std::max(width, 0) == width_ && std::max(height, 0) == height_) return;
  UpdateBounds(left, top, width, height);
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  if (!value) InvalidateArea(BoundsRect());
  visible_ = value;
  if (value) InvalidateArea(BoundsRect());
  if (parent_ && align_ != alNone) parent_->AlignControls();
}

void TControl::SetAlign(TAlign value) {
  if (value == align_) return;
  align_ = value;
  if (parent_) parent_->AlignControls();
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) {
    InvalidateArea(BoundsRect());
    parent_->RemoveControl(this);
    parent_ = nullptr;
  }
  if (parent) {
    parent->InsertControl(this);
    parent_ = parent;
    if (parentFont_) ParentFontChanged();
    InvalidateArea(BoundsRect());
    if (align_ != alNone) parent_->AlignControls();
  }
}

void TControl::SetFont(const TFont& value) {
  parentFont_ = false;
  if (value == font_) return;
  font_ = value;
  FontChanged();
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!parentFont_ || !parent_ || parent_->Font() == font_) return;
  font_ = parent_->Font();
  FontChanged();
}

void TControl::ChangeScale(int32_t m, int32_t d) {
  if (!parentFont_) {
    TFont font = font_;
    font.SetHeight(MulDiv(font.Height(), m, d));
    font_ = font;
    FontChanged();
  }
  // Scaled up, a coordinate stays within the limit a definition is held to.
  const auto scaled = [m, d](int32_t v) {
    return std::clamp(MulDiv(v, m, d), -kMaxControlCoordinate, kMaxControlCoordinate);
  };
  UpdateBounds(scaled(left_), scaled(top_), scaled(width_), scaled(height_));
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int32_t x, int32_t y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

}  // namespace orvane::vcl
