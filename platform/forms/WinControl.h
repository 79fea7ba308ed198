#pragma once
// TWinControl: a control that holds other controls: it keeps them in
// creation order (which is also their painting order), aligns them, hands
// invalidation up, and passes its font on to children that follow it.

#include <vector>

#include <orvane/forms/Control.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  const char* ClassName() const override { return "TWinControl"; }

  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
  const std::vector<TControl*>& ControlList() const { return controls_; }

  // Marks a rectangle of the client area for repainting.
  virtual void InvalidateRect(const TRect& clientArea);
  // Lays out the aligned controls over the client area: alTop from the top
  // down, alBottom from the bottom up, alLeft, alRight, then alClient in the rest.
  void AlignControls();
  void ChangeScale(int32_t m, int32_t d) override;

 protected:
  // Lets go of the controls without removing them one by one (for a
  // container about to go, whose controls go with it).
  void DetachControls();
  void FontChanged() override;
  void Resized() override { AlignControls(); }

 private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  std::vector<TControl*> controls_;
  bool aligning_ = false;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
