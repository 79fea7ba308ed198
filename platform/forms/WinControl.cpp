#include <orvane/forms/WinControl.h>

#include <algorithm>

namespace orvane::vcl {

namespace {

// An edge moved by a control's size, held within the 32-bit range.
int32_t Moved(int32_t edge, int64_t by) { return gdi::ClampToInt32(int64_t{edge} + by); }

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() { DetachControls(); }

void TWinControl::DetachControls() {
  for (TControl* c : controls_) c->parent_ = nullptr;
  controls_.clear();
}

void TWinControl::InsertControl(TControl* control) { controls_.push_back(control); }

void TWinControl::RemoveControl(TControl* control) {
  // From the back: controls mostly go in the reverse order of their coming.
  const auto it = std::find(controls_.rbegin(), controls_.rend(), control);
  if (it != controls_.rend()) controls_.erase(std::next(it).base());
  if (control->Align() != alNone) AlignControls();
}

void TWinControl::InvalidateRect(const TRect& clientArea) {
  // A nested container shows its area through its own parent.
  if (Parent() && Visible()) Parent()->InvalidateRect(clientArea.Offset(Left(), Top()).Intersect(BoundsRect()));
}

void TWinControl::AlignControls() {
  if (aligning_) return;
  aligning_ = true;
  TRect rest = ClientRect();
  auto place = [&](TAlign which) {
    for (TControl* c : controls_) {
      if (c->Align() != which || !c->Visible()) continue;
      switch (which) {
        case alTop:
          c->UpdateBounds(rest.left, rest.top, rest.Width(), c->Height());
          rest.top = Moved(rest.top, c->Height());
          break;
        case alBottom:
          c->UpdateBounds(rest.left, Moved(rest.bottom, -int64_t{c->Height()}), rest.Width(), c->Height());
          rest.bottom = Moved(rest.bottom, -int64_t{c->Height()});
          break;
        case alLeft:
          c->UpdateBounds(rest.left, rest.top, c->Width(), rest.Height());
          rest.left = Moved(rest.left, c->Width());
          break;
        case alRight:
          c->UpdateBounds(Moved(rest.right, -int64_t{c->Width()}), rest.top, c->Width(), rest.Height());
          rest.right = Moved(rest.right, -int64_t{c->Width()});
          break;
        case alClient:
          c->UpdateBounds(rest.left, rest.top, rest.Width(), rest.Height());
          break;
        case alNone: break;
      }
      if (rest.right < rest.left) rest.right = rest.left;
      if (rest.bottom < rest.top) rest.bottom = rest.top;
    }
  };
  place(alTop);
  place(alBottom);
  place(alLeft);
  place(alRight);
  place(alClient);
  aligning_ = false;
}

void TWinControl::FontChanged() {
  for (TControl* c : controls_) c->ParentFontChanged();
}

void TWinControl::ChangeScale(int32_t m, int32_t d) {
  TControl::ChangeScale(m, d);
  for (TControl* c : controls_) c->ChangeScale(m, d);
}

}  // namespace orvane::vcl
