#pragma once
// TControl: a component with a place on its parent: bounds in the parent's
// client coordinates, visibility, alignment, a font (shared with the parent
// while ParentFont holds) and the mouse events. Changing the bounds repaints
// the old and the new area; a change that changes nothing does nothing.

#include <functional>

#include <orvane/forms/Component.h>
#include <orvane/graphics/Canvas.h>
#include <orvane/graphics/GraphicsTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TWinControl;

// The largest position or size a form definition may give a control, and
// that scaling keeps: a position plus a size, or the difference of two
// positions, still fits in 32 bits.
constexpr int32_t kMaxControlCoordinate = (1 << 30) - 1;

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment : uint8_t { taLeftJustify, taRightJustify, taCenter };
enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftStateBits : uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = uint8_t;

using TNotifyEvent = std::function<void(TComponent* sender)>;
using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int32_t x, int32_t y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int32_t x, int32_t y)>;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  const char* ClassName() const override { return "TControl"; }

  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetLeft(int32_t value) { SetBounds(value, top_, width_, height_); }
  void SetTop(int32_t value) { SetBounds(left_, value, width_, height_); }
  void SetWidth(int32_t value) { SetBounds(left_, top_, value, height_); }
  void SetHeight(int32_t value) { SetBounds(left_, top_, width_, value); }
  // Does nothing when nothing changes; otherwise invalidates the old and the
  // new area and lets the parent realign its controls.
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  // (0, 0, ClientWidth, ClientHeight).
  TRect ClientRect() const { return Rect(0, 0, ClientWidth(), ClientHeight()); }
  virtual int32_t ClientWidth() const { return width_; }
  virtual int32_t ClientHeight() const { return height_; }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign value);

  TWinControl* Parent() const { return parent_; }
  void SetParent(TWinControl* parent);

  // Has the control's area repainted (its background erased first).
  virtual void Invalidate();

  const TFont& Font() const { return font_; }
  // Takes the font and clears ParentFont.
  void SetFont(const TFont& value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  // Mouse input in the control's client coordinates (called by the form).
  virtual void MouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  virtual void MouseMove(TShiftState shift, int32_t x, int32_t y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int32_t x, int32_t y);
  virtual void Click();
  virtual void DblClick();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

  // The parent's font changed; a control with ParentFont takes it.
  void ParentFontChanged();
  // Multiplies position, size and (unless it follows its parent) font height by m / d.
  virtual void ChangeScale(int32_t m, int32_t d);

 protected:
  // The font changed (through SetFont, ParentFont or the parent).
  virtual void FontChanged() {}
  // The size changed (after the new bounds are in place).
  virtual void Resized() {}
  // Sets the bounds without asking the parent to realign (used by alignment itself).
  void UpdateBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  void InvalidateArea(const TRect& area);
  void SetVisibleFlag(bool value) { visible_ = value; }

 private:
  friend class TWinControl;
  int32_t left_ = 0;
  int32_t top_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool visible_ = true;
  TAlign align_ = alNone;
  bool parentFont_ = true;
  TFont font_;
  TWinControl* parent_ = nullptr;
};

// a * b / c rounded to the nearest (halves away from 0), in 64 bits; a when c is 0.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
