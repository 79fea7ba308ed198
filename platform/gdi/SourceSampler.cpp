#include <orvane/gdi/detail/SourceSampler.h>

namespace orvane::gdi {

void PixelsSource::Sample(const SourcePixel* at, size_t count, COLORREF* out) const {
  for (size_t i = 0; i < count; ++i)
    out[i] = image_.pixels[static_cast<size_t>(at[i].row) * static_cast<size_t>(image_.width) +
                           static_cast<size_t>(at[i].column)];
}

void ByteMaskSource::Sample(const SourcePixel* at, size_t count, COLORREF* out) const {
  for (size_t i = 0; i < count; ++i)
    out[i] = mask_[static_cast<size_t>(at[i].row) * static_cast<size_t>(width_) + static_cast<size_t>(at[i].column)]
                 ? RGB(255, 255, 255)
                 : 0;
}

void SourceSampler::Sample(const std::vector<SourcePixel>& at) {
  const size_t n = at.size();
  colors.assign(n, 0);
  present.assign(n, 0);
  maskBit.assign(n, 0);
  batch_.clear();
  where_.clear();
  for (size_t i = 0; i < n; ++i)
    if (at[i].row >= 0) {
      batch_.push_back(at[i]);
      where_.push_back(i);
    }
  batchColors_.resize(batch_.size());
  image_.Sample(batch_.data(), batch_.size(), batchColors_.data());
  for (size_t k = 0; k < where_.size(); ++k) {
    const size_t i = where_[k];
    colors[i] = batchColors_[k];
    present[i] = 1;
    maskBit[i] = how_.transparentColor < 0 || (colors[i] & 0xFFFFFF) != static_cast<COLORREF>(how_.transparentColor);
  }
  if (how_.mask) SampleMask();
  hasAlpha = false;
  if (how_.blend && how_.sourceAlpha) {
    batchAlpha_.resize(batch_.size());
    hasAlpha = image_.SampleAlpha(batch_.data(), batch_.size(), batchAlpha_.data());
    alpha.assign(n, 0);
    if (hasAlpha)
      for (size_t k = 0; k < where_.size(); ++k) alpha[where_[k]] = batchAlpha_[k];
  }
}

// Each source pixel's mask pixel lies maskOffset away; one outside the mask is 0.
void SourceSampler::SampleMask() {
  const ImageSource& mask = *how_.mask;
  maskAt_.clear();
  maskWhere_.clear();
  for (size_t k = 0; k < batch_.size(); ++k) {
    const int64_t row = int64_t{batch_[k].row} + how_.maskOffset.y;
    const int64_t column = int64_t{batch_[k].column} + how_.maskOffset.x;
    if (row < 0 || row >= mask.Height() || column < 0 || column >= mask.Width()) {
      maskBit[where_[k]] = 0;
      continue;
    }
    maskAt_.push_back(SourcePixel{static_cast<int32_t>(row), static_cast<int32_t>(column)});
    maskWhere_.push_back(where_[k]);
  }
  maskColors_.resize(maskAt_.size());
  mask.Sample(maskAt_.data(), maskAt_.size(), maskColors_.data());
  for (size_t k = 0; k < maskWhere_.size(); ++k)
    if (maskColors_[k] == 0) maskBit[maskWhere_[k]] = 0;
}

}  // namespace orvane::gdi
