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

void SourceSampler::CombineAcross(int32_t row, const AxisTaps& columns) {
  const size_t n = columns.Pixels(), taps = columns.index.size();
  tapAt_.resize(taps);
  for (size_t t = 0; t < taps; ++t) tapAt_[t] = SourcePixel{row, columns.index[t]};
  tapColors_.resize(taps);
  image_.Sample(tapAt_.data(), taps, tapColors_.data());
  if (how_.mode == StretchMode::Halftone) {
    acrossSums_.assign(4 * n, 0);
    for (size_t i = 0; i < n; ++i)
      for (size_t t = columns.first[i]; t < columns.first[i + 1]; ++t) {
        const COLORREF c = tapColors_[t] & 0xFFFFFF;
        if (how_.transparentColor >= 0 && c == static_cast<COLORREF>(how_.transparentColor)) continue;
        const uint64_t w = columns.weight[t];
        uint64_t* sum = &acrossSums_[4 * i];
        sum[0] += uint64_t{GetRValue(c)} * w;
        sum[1] += uint64_t{GetGValue(c)} * w;
        sum[2] += uint64_t{GetBValue(c)} * w;
        sum[3] += w;
      }
    return;
  }
  const bool all = how_.mode == StretchMode::BlackOnWhite;
  across_.assign(n, all ? 0xFFFFFF : 0);
  acrossAny_.assign(n, 0);
  for (size_t i = 0; i < n; ++i)
    for (size_t t = columns.first[i]; t < columns.first[i + 1]; ++t) {
      across_[i] = all ? across_[i] & tapColors_[t] : across_[i] | (tapColors_[t] & 0xFFFFFF);
      acrossAny_[i] = 1;
    }
}

void SourceSampler::Combine(const AxisTaps& rows, size_t rowPixel, const AxisTaps& columns) {
  const size_t n = colors.size();
  const bool halftone = how_.mode == StretchMode::Halftone, all = how_.mode == StretchMode::BlackOnWhite;
  if (halftone) {
    downSums_.assign(4 * n, 0);
  } else {
    combined_.assign(n, all ? 0xFFFFFF : 0);
    combinedAny_.assign(n, 0);
  }
  for (size_t j = rows.first[rowPixel]; j < rows.first[rowPixel + 1]; ++j) {
    const int32_t row = rows.index[j];
    if (acrossRow_ < 0 || (row != acrossRow_ && !image_.RowsAlike(row, acrossRow_))) {
      CombineAcross(row, columns);
      acrossRow_ = row;
    }
    if (halftone) {
      const uint64_t w = rows.weight[j];
      for (size_t k = 0; k < 4 * n; ++k) downSums_[k] += static_cast<unsigned __int128>(acrossSums_[k]) * w;
    } else {
      for (size_t i = 0; i < n; ++i) {
        if (!acrossAny_[i]) continue;
        combined_[i] = all ? combined_[i] & across_[i] : combined_[i] | across_[i];
        combinedAny_[i] = 1;
      }
    }
  }
  for (size_t i = 0; i < n; ++i) {
    if (!present[i]) continue;
    if (!halftone) {
      if (combinedAny_[i]) colors[i] = combined_[i];  // else no tap inside the image: the kept pixel's own
      continue;
    }
    const unsigned __int128* sum = &downSums_[4 * i];
    const unsigned __int128 w = sum[3];
    if (w == 0) continue;  // only the transparent colour, or no tap inside the image: the kept pixel's own
    const auto channel = [&](int c) { return static_cast<uint8_t>((sum[c] + w / 2) / w); };
    colors[i] = RGB(channel(0), channel(1), channel(2));
  }
}

}  // namespace orvane::gdi
