#include <orvane/graphics/detail/EmfPlaybackState.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include <orvane/graphics/detail/EmfRecords.h>

namespace orvane::emf {

namespace {
constexpr double kDeviceLimit = 1e8;  // far beyond any destination, well inside int32 after rounding
constexpr size_t kMaxSavedStates = 1024;
constexpr size_t kSavedClipBudget = size_t{64} << 20;
// What the table's objects and the saved states may hold together in
// pattern pixels and palettes; an object or a save past it is not made.
constexpr size_t kObjectBudget = size_t{128} << 20;
}  // namespace

Affine Affine::Then(const Affine& n) const {
  return Affine{n.a * a + n.c * b,      n.b * a + n.d * b,      n.a * c + n.c * d,
                n.b * c + n.d * d,      n.a * e + n.c * f + n.e, n.b * e + n.d * f + n.f};
}

bool Affine::Finite() const {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d) && std::isfinite(e) &&
         std::isfinite(f);
}

double ClampDevice(double v) {
  if (!(v > -kDeviceLimit)) return -kDeviceLimit;
  if (v > kDeviceLimit) return kDeviceLimit;
  return v;
}

namespace {

// v clamped to the device range and rounded to 1/16, halves away from zero
// as std::round does, without a call or a branch: adding just under a half
// and truncating rounds every double of this range exactly so.
double RoundSixteenths(double v) {
  const double sixteenths = ClampDevice(v) * 16;
  const double toward = std::copysign(0.49999999999999994, sixteenths);
  const double rounded = static_cast<double>(static_cast<int64_t>(sixteenths + toward));
  return std::copysign(rounded, sixteenths) / 16;
}

}  // namespace

int32_t RoundToInt(double v) { return static_cast<int32_t>(std::lround(ClampDevice(v))); }

EmfPlaybackState::EmfPlaybackState(gdi::BitmapObject* surface, const gdi::Region& universe, const Affine& playback,
                                   double devicePixelsX, double devicePixelsY, double deviceMmX, double deviceMmY,
                                   uint32_t handleCount)
    : surface_(surface),
      universe_(universe),
      playback_(playback),
      devicePixelsX_(devicePixelsX),
      devicePixelsY_(devicePixelsY),
      deviceMmX_(deviceMmX),
      deviceMmY_(deviceMmY),
      handleCount_(handleCount) {}

Affine EmfPlaybackState::PageToDevice() const {
  double sx = dc_.viewportExtX / dc_.windowExtX, sy = dc_.viewportExtY / dc_.windowExtY;
  if (dc_.mapMode == MM_TEXT) sx = sy = 1;
  if (dc_.mapMode == MM_ISOTROPIC) {
    // Both axes take the smaller scale, each keeping its own direction.
    const double s = std::min(std::fabs(sx), std::fabs(sy));
    sx = std::copysign(s, sx);
    sy = std::copysign(s, sy);
  }
  return Affine{sx, 0, 0, sy, dc_.viewportOrgX - dc_.windowOrgX * sx, dc_.viewportOrgY - dc_.windowOrgY * sy};
}

const Affine& EmfPlaybackState::LogicalToDevice() {
  if (!transformValid_) {
    logicalToDevice_ = dc_.world.Then(PageToDevice()).Then(playback_);
    if (!logicalToDevice_.Finite()) logicalToDevice_ = Affine{0, 0, 0, 0, 0, 0};
    transformValid_ = true;
  }
  return logicalToDevice_;
}

gdi::PointD EmfPlaybackState::ToDevice(gdi::PointD logical) {
  const gdi::PointD p = LogicalToDevice().Apply(logical);
  // 28.4 fixed point, as GDI keeps device coordinates.
  return gdi::PointD{RoundSixteenths(p.x), RoundSixteenths(p.y)};
}

double EmfPlaybackState::DeviceLengthX(double logical) {
  const gdi::PointD v = LogicalToDevice().ApplyVector({logical, 0});
  return std::min(std::hypot(v.x, v.y), kDeviceLimit);
}

double EmfPlaybackState::DeviceLengthY(double logical) {
  const gdi::PointD v = LogicalToDevice().ApplyVector({0, logical});
  return std::min(std::hypot(v.x, v.y), kDeviceLimit);
}

void EmfPlaybackState::SetMapMode(uint32_t mode) {
  double unitsPerMm = 0;
  switch (mode) {
    case MM_TEXT:
      dc_.windowExtX = dc_.windowExtY = dc_.viewportExtX = dc_.viewportExtY = 1;
      break;
    case MM_LOMETRIC: unitsPerMm = 10; break;
    case MM_HIMETRIC: unitsPerMm = 100; break;
    case MM_LOENGLISH: unitsPerMm = 100 / 25.4; break;
    case MM_HIENGLISH: unitsPerMm = 1000 / 25.4; break;
    case MM_TWIPS: unitsPerMm = 1440 / 25.4; break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC: break;  // the extents of the previous mode stay
    default: return;
  }
  if (unitsPerMm > 0) {
    // The reference device's size in logical units against its size in pixels; y grows upwards.
    dc_.windowExtX = deviceMmX_ * unitsPerMm;
    dc_.windowExtY = deviceMmY_ * unitsPerMm;
    dc_.viewportExtX = devicePixelsX_;
    dc_.viewportExtY = -devicePixelsY_;
  }
  dc_.mapMode = mode;
  transformValid_ = false;
}

namespace {

// What a saved state's clip costs when the state saved below it does not share it.
size_t ClipBytes(const DcState& state, const DcState* below) {
  if (!state.clip || (below && below->clip == state.clip)) return 0;
  return state.clip->Rects().size() * sizeof(gdi::Rect);
}

// The memory a pattern and a palette hold beyond their own size: pattern
// pixels, and for a palette the most its entries can take (it may be
// resized in place).
constexpr size_t kPaletteBytes = 0xFFFF * sizeof(gdi::COLORREF);

size_t PatternBytes(const gdi::Brush& brush) {
  return brush.pattern ? brush.pattern->pixels.size() * sizeof(gdi::COLORREF) : 0;
}

}  // namespace

void EmfPlaybackState::SaveDC() {
  // Saves share their clip until it changes. Regions changed between saves
  // are each kept, up to a budget; a save beyond it is not made. The
  // pattern and palette a save holds count against the objects' budget,
  // so that objects deleted from the table live on only within it.
  const size_t bytes = ClipBytes(dc_, saved_.empty() ? nullptr : &saved_.back());
  if (saved_.size() >= kMaxSavedStates || savedClipBytes_ + bytes > kSavedClipBudget) return;
  const Holdings memory = HoldingsOf(dc_.brush.brush, dc_.palette);
  if (heldBytes_ + AddedBytes(memory) > kObjectBudget) return;
  Hold(memory);
  saved_.push_back(dc_);
  savedClipBytes_ += bytes;
}

bool EmfPlaybackState::RestoreDC(int32_t relative) {
  const int64_t count = static_cast<int64_t>(saved_.size());
  const int64_t level = relative < 0 ? count + relative + 1 : relative;  // 1-based level to restore
  if (relative == 0 || level < 1 || level > count) return false;
  const bool clipChanged = dc_.clip != saved_[static_cast<size_t>(level - 1)].clip;
  while (saved_.size() >= static_cast<size_t>(level)) {
    const DcState& state = saved_.back();
    savedClipBytes_ -= ClipBytes(state, saved_.size() >= 2 ? &saved_[saved_.size() - 2] : nullptr);
    Release(HoldingsOf(state.brush.brush, state.palette));
    if (saved_.size() == static_cast<size_t>(level)) dc_ = std::move(saved_.back());
    saved_.pop_back();
  }
  transformValid_ = false;
  if (clipChanged) target_.reset();
  return true;
}

EmfPlaybackState::Holdings EmfPlaybackState::HoldingsOf(const gdi::Brush& brush, const PaletteColors& palette) {
  return {HeldMemory{brush.pattern.get(), PatternBytes(brush)},
          HeldMemory{palette.get(), palette ? kPaletteBytes : 0}};
}

void EmfPlaybackState::Hold(const Holdings& memory) {
  for (const HeldMemory& m : memory) {
    if (!m.address) continue;
    Held& held = held_[m.address];
    if (held.holders++ == 0) {
      held.bytes = m.bytes;
      heldBytes_ += m.bytes;
    }
  }
}

void EmfPlaybackState::Release(const Holdings& memory) {
  for (const HeldMemory& m : memory) {
    const auto it = m.address ? held_.find(m.address) : held_.end();
    if (it == held_.end()) continue;
    if (--it->second.holders == 0) {
      heldBytes_ -= it->second.bytes;
      held_.erase(it);
    }
  }
}

size_t EmfPlaybackState::AddedBytes(const Holdings& memory) const {
  size_t bytes = 0;
  for (const HeldMemory& m : memory)
    if (m.address && !held_.count(m.address)) bytes += m.bytes;
  return bytes;
}

bool EmfPlaybackState::StoreObject(uint32_t index, EmfObject&& object) {
  if (!ValidIndex(index)) return false;
  const Holdings memory = HoldingsOf(object.brush.brush, object.palette);
  // The object it replaces lets go of its memory only once the new one holds its own.
  Hold(memory);
  const EmfObject* old = FindObject(index);
  if (old) Release(HoldingsOf(old->brush.brush, old->palette));
  if (heldBytes_ > kObjectBudget) {
    if (old) Hold(HoldingsOf(old->brush.brush, old->palette));
    Release(memory);
    return false;
  }
  if (objects_.size() <= index) objects_.resize(size_t{index} + 1);
  objects_[index] = std::move(object);
  return true;
}

const EmfObject* EmfPlaybackState::FindObject(uint32_t index) const {
  return index < objects_.size() && objects_[index] ? &*objects_[index] : nullptr;
}

void EmfPlaybackState::DeleteObject(uint32_t index) {
  const EmfObject* object = FindObject(index);
  if (!object) return;
  Release(HoldingsOf(object->brush.brush, object->palette));
  objects_[index].reset();
}

// The clip is kept cut to the meta region: combining the cut clip with a
// region and cutting again gives what combining the clip itself would, for
// every operation, so the clip region proper need not be kept apart.
void EmfPlaybackState::CombineClip(const gdi::Region& region, gdi::RegionOp op) {
  const gdi::Region& base = dc_.clip ? *dc_.clip : universe_;
  gdi::Region combined = op == gdi::RegionOp::Copy ? region : gdi::Region::Combine(base, region, op);
  combined = gdi::Region::Combine(combined, universe_, gdi::RegionOp::And);
  if (dc_.metaRegion) combined = gdi::Region::Combine(combined, *dc_.metaRegion, gdi::RegionOp::And);
  dc_.clip = std::make_shared<const gdi::Region>(std::move(combined));
  target_.reset();
}

void EmfPlaybackState::ResetClip() {
  dc_.clip = dc_.metaRegion;  // no clip region: the meta region alone
  target_.reset();
}

void EmfPlaybackState::OffsetClip(int32_t dx, int32_t dy) {
  if (!dc_.clip || dc_.clip == dc_.metaRegion) return;  // no clip region of its own to move
  gdi::Region moved = *dc_.clip;
  moved.Offset(dx, dy);
  moved = gdi::Region::Combine(moved, universe_, gdi::RegionOp::And);
  if (dc_.metaRegion) moved = gdi::Region::Combine(moved, *dc_.metaRegion, gdi::RegionOp::And);
  dc_.clip = std::make_shared<const gdi::Region>(std::move(moved));
  target_.reset();
}

void EmfPlaybackState::SetMetaRegion() {
  // The clip already lies inside the old meta region: it is the new one.
  if (dc_.clip) dc_.metaRegion = dc_.clip;
}

gdi::RenderTarget& EmfPlaybackState::Target() {
  if (!target_) target_.emplace(surface_, dc_.clip ? *dc_.clip : universe_);
  return *target_;
}

gdi::Region UnionOfRegions(std::vector<gdi::Region> parts) {
  while (parts.size() > 1) {
    std::vector<gdi::Region> next;
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
      next.push_back(gdi::Region::Combine(parts[i], parts[i + 1], gdi::RegionOp::Or));
    if (parts.size() % 2) next.push_back(std::move(parts.back()));
    parts = std::move(next);
  }
  return parts.empty() ? gdi::Region() : std::move(parts[0]);
}

gdi::RegionOp RegionOpForMode(uint32_t mode) {
  static constexpr gdi::RegionOp kOps[] = {gdi::RegionOp::And, gdi::RegionOp::Or, gdi::RegionOp::Xor,
                                           gdi::RegionOp::Diff, gdi::RegionOp::Copy};
  return kOps[mode - RGN_AND];
}

}  // namespace orvane::emf
