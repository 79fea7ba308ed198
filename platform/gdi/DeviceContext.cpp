#include <orvane/gdi/DeviceContext.h>

namespace orvane::gdi {

DeviceContext::~DeviceContext() {
  if (surface_) --surface_->selectCount;
}

BitmapObject* DeviceContext::Select(BitmapObject* bitmap) {
  BitmapObject* previous = surface_;
  if (previous) --previous->selectCount;
  surface_ = bitmap;
  if (surface_) ++surface_->selectCount;
  return previous;
}

void DeviceContext::SetClip(const Region& deviceRegion) {
  clip_ = deviceRegion;
  hasClip_ = true;
}

void DeviceContext::ClearClip() {
  clip_ = Region();
  hasClip_ = false;
}

namespace {

Region ClipWithin(const Rect& area, bool hasClip, const Region& clip) {
  Region drawable(area);
  if (!hasClip) return drawable;
  return Region::Combine(drawable, clip, RegionOp::And);
}

}  // namespace

Region DeviceContext::HeldClip() const {
  return surface_ ? ClipWithin(surface_->HeldBounds(), hasClip_, clip_) : Region();
}

Region DeviceContext::WholeClip() const {
  return surface_ ? ClipWithin(surface_->WholeBounds(), hasClip_, clip_) : Region();
}

HDC CreateCompatibleDC(HDC) { return new DeviceContext(); }

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  if (!dc) return nullptr;
  auto* bitmap = dynamic_cast<BitmapObject*>(object);
  if (!bitmap) return nullptr;
  return dc->Select(bitmap);
}

bool DeleteDC(HDC dc) {
  if (!dc) return false;
  delete dc;
  return true;
}

}  // namespace orvane::gdi
