#include <orvane/forms/Form.h>

#include <algorithm>

#include <orvane/backend/Backend.h>
#include <orvane/forms/Application.h>
#include <orvane/forms/FormReader.h>
#include <orvane/forms/GraphicControl.h>
#include <orvane/forms/Resources.h>
#include <orvane/gdi/DeviceContext.h>
#include <orvane/gdi/FontEngine.h>
#include <orvane/gdi/RectangleShape.h>
#include <orvane/graphics/Icon.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

namespace {

// Gives the window the program's icon, the first image of the "MAINICON"
// icon resource, as 32-bit pixels with alpha from the icon's mask. A program
// without one, or with one that does not decode, keeps the system's icon.
void ApplyMainIcon(backend::Window& window) {
  const Resource* resource = FindResource("MAINICON", ResourceKind::IconGroup);
  if (!resource) return;
  TIcon icon;
  try {
    icon.LoadFromBytes(resource->data, resource->size);
  } catch (const rtl::EInvalidGraphic&) {
    return;
  }
  const gdi::DibImage* image = icon.Image();
  const std::vector<uint8_t>* mask = icon.Mask();
  if (!image || image->width <= 0 || image->height <= 0) return;
  const size_t count = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
  if (image->pixels.size() < count || (mask && mask->size() < count)) return;
  std::vector<uint8_t> bgra(count * 4, 0);
  for (size_t i = 0; i < count; ++i) {
    if (mask && !(*mask)[i]) continue;  // transparent: all zero
    const gdi::COLORREF c = image->pixels[i];
    bgra[i * 4] = static_cast<uint8_t>(c >> 16);
    bgra[i * 4 + 1] = static_cast<uint8_t>(c >> 8);
    bgra[i * 4 + 2] = static_cast<uint8_t>(c);
    bgra[i * 4 + 3] = 255;
  }
  window.SetIcon(backend::SurfaceView{bgra.data(), image->width, image->height, image->width * 4});
}

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisibleFlag(false);
  UpdateBounds(0, 0, 320 + 2 * kFrameWidth, 240 + 2 * kFrameWidth + kCaptionHeight);
  canvas_.Font() = Font();
}

TForm::~TForm() {
  // The controls refer to the form as their parent: they go first, let go of
  // at once rather than each taking itself out and marking its area.
  DetachControls();
  DestroyComponents();
  window_.reset();
  FreeSurface();
}

void TForm::SetCaption(const std::string& value) {
  caption_ = value;
  if (window_) window_->SetCaption(value);
}

void TForm::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Invalidate();
}

int32_t TForm::MeasuredTextHeight() const { return gdi::GetTextMetrics(Font().ToGdi()).height; }

void TForm::FontChanged() {
  canvas_.Font() = Font();
  TWinControl::FontChanged();
}

void TForm::Resized() {
  TWinControl::Resized();
  if (window_ && !resizingFromWindow_) window_->SetClientSize(ClientWidth(), ClientHeight());
  FreeSurface();
  Invalidate();
}

void TForm::HandleNeeded() {
  if (window_) return;
  if (!Application) throw rtl::EInvalidOperation(rtl::msg::NoApplication);
  backend::WindowParams params;
  params.caption = caption_;
  params.clientWidth = ClientWidth();
  params.clientHeight = ClientHeight();
  params.centred = position_ == poScreenCenter || position_ == poDesktopCenter;
  params.left = Left();
  params.top = Top();
  window_ = Application->Backend().CreateWindow(params);
  ApplyMainIcon(*window_);
}

void TForm::SetVisible(bool value) {
  if (value == Visible()) return;
  if (value) {
    HandleNeeded();
    SetVisibleFlag(true);
    window_->Show();
    Invalidate();
  } else {
    SetVisibleFlag(false);
    if (window_) window_->Hide();
  }
}

void TForm::Show() { SetVisible(true); }
void TForm::Hide() { SetVisible(false); }

void TForm::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  Hide();
  if (Application && Application->MainForm() == this) Application->Terminate();
}

void TForm::InvalidateRect(const TRect& clientArea) {
  const TRect r = clientArea.Intersect(ClientRect());
  if (r.IsEmpty()) return;
  invalid_ = gdi::Region::Combine(invalid_, gdi::Region(r), gdi::RegionOp::Or);
  // Many scattered areas are repainted as their bounds: each union costs
  // what the region holds.
  constexpr size_t kMostInvalidRects = 64;
  if (invalid_.Rects().size() > kMostInvalidRects) invalid_ = gdi::Region(invalid_.Bounds());
}

void TForm::EnsureSurface() {
  const int32_t w = ClientWidth(), h = ClientHeight();
  if (surface_ && surface_->Width() == w && surface_->Height() == h) return;
  FreeSurface();
  if (w <= 0 || h <= 0) return;
  gdi::UniqueBitmap surface(gdi::CreateScreenBitmap(w, h));
  gdi::UniqueDC dc(gdi::CreateCompatibleDC(nullptr));
  if (!surface || !dc) throw rtl::EOutOfResources();
  dc->Select(surface.get());
  surface_ = std::move(surface);
  dc_ = std::move(dc);
  canvas_.SetHandle(dc_.get());
}

void TForm::FreeSurface() {
  canvas_.SetHandle(nullptr);
  dc_.reset();  // before the surface it selects
  surface_.reset();
}

void TForm::PresentRegion(const gdi::Region& region) {
  if (!window_ || !surface_ || region.IsEmpty()) return;
  backend::SurfaceView view{surface_->Bits(), surface_->Width(), surface_->Height(), surface_->Stride()};
  window_->Present(view, region.Bounds());
}

void TForm::PaintRegion(const gdi::Region& area) {
  EnsureSurface();
  if (!dc_) return;
  gdi::Region region = area;
  region.IntersectRect(ClientRect());
  if (region.IsEmpty()) return;

  // Whatever happens below, the context ends up unclipped at origin 0 and
  // the window shows what was painted.
  struct Restore {
    TForm& form;
    const gdi::Region& region;
    ~Restore() {
      form.dc_->origin = gdi::Point{};
      form.dc_->ClearClip();
      form.PresentRegion(region);
    }
  } restore{*this, region};

  // 1. Erase to the form's colour.
  dc_->origin = gdi::Point{};
  dc_->SetClip(region);
  gdi::Brush background;
  background.color = ColorToRGB(color_);
  gdi::FillRect(dc_.get(), ClientRect(), background);

  // 2. The paint handler, clipped away from opaque controls. The controls
  // list is copied because a handler may create or destroy controls.
  const std::vector<TControl*> controls = ControlList();
  if (OnPaint) {
    gdi::Region handlerClip = region;
    for (TControl* c : controls) {
      auto* g = dynamic_cast<TGraphicControl*>(c);
      if (g && g->Visible() && g->IsOpaque()) handlerClip.ExcludeRect(g->BoundsRect());
    }
    if (!handlerClip.IsEmpty()) {
      dc_->SetClip(handlerClip);
      OnPaint(this);
    }
  }

  // 3. The graphic controls, first created first.
  for (TControl* c : controls) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible() || g->Parent() != this) continue;
    gdi::Region clip = region;
    clip.IntersectRect(g->BoundsRect());
    if (clip.IsEmpty()) continue;
    dc_->origin = gdi::Point{g->Left(), g->Top()};
    dc_->SetClip(clip);
    g->PaintTo(dc_.get());
  }
}

bool TForm::PaintPending() {
  if (!Visible() || !window_ || invalid_.IsEmpty()) return false;
  const gdi::Region region = std::move(invalid_);
  invalid_ = gdi::Region();
  try {
    PaintRegion(region);
  } catch (...) {
    if (!Application) throw;
    Application->HandleException(std::current_exception());
  }
  return true;
}

TControl* TForm::ControlAtPos(int32_t x, int32_t y) const {
  for (int i = ControlCount() - 1; i >= 0; --i) {
    TControl* c = Controls(i);
    if (c->Visible() && c->BoundsRect().Contains(x, y)) return c;
  }
  return nullptr;
}

void TForm::HandleEvent(const backend::Event& event) {
  using Kind = backend::Event::Kind;
  auto isChild = [this](TControl* c) {
    for (int i = 0; i < ControlCount(); ++i)
      if (Controls(i) == c) return true;
    return false;
  };
  auto deliverTo = [&](TControl* c, int32_t& x, int32_t& y) -> TControl* {
    if (!c || (c != this && !isChild(c))) c = ControlAtPos(event.x, event.y);
    if (!c) c = this;
    x = c == this ? event.x : event.x - c->Left();
    y = c == this ? event.y : event.y - c->Top();
    return c;
  };
  const auto button = static_cast<TMouseButton>(event.button);
  const TShiftState shift = event.shift;
  int32_t x = 0, y = 0;
  switch (event.kind) {
    case Kind::Expose:
      InvalidateRect(event.rect);
      break;
    case Kind::Resize: {
      resizingFromWindow_ = true;
      struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
      } reset{resizingFromWindow_};
      SetBounds(Left(), Top(), event.width + 2 * kFrameWidth, event.height + 2 * kFrameWidth + kCaptionHeight);
      break;
    }
    case Kind::Close:
      Close();
      break;
    case Kind::MouseDown: {
      TControl* c = deliverTo(nullptr, x, y);
      capture_ = c;
      c->MouseDown(button, shift, x, y);
      break;
    }
    case Kind::MouseMove: {
      TControl* c = deliverTo(capture_, x, y);
      c->MouseMove(shift, x, y);
      break;
    }
    case Kind::MouseUp: {
      TControl* c = deliverTo(capture_, x, y);
      capture_ = nullptr;
      c->MouseUp(button, shift, x, y);
      if (button == mbLeft && x >= 0 && y >= 0 && x < c->Width() && y < c->Height()) c->Click();
      break;
    }
    case Kind::DoubleClick: {
      TControl* c = deliverTo(nullptr, x, y);
      c->DblClick();
      break;
    }
    case Kind::Quit:
      break;
  }
}

void TForm::ReadDefinition() {
  const std::string className = ClassName();
  if (className == "TForm") return;
  std::string resourceName = className;
  for (char& ch : resourceName)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 32);
  const Resource* resource = FindResource(resourceName, ResourceKind::FormDefinition);
  if (!resource) throw rtl::EResNotFound(className);
  ReadFormDefinition(std::string_view(reinterpret_cast<const char*>(resource->data), resource->size), *this);
}

void TForm::Loaded() {
  TWinControl::Loaded();
  AlignControls();
}

}  // namespace orvane::vcl
