#include <orvane/detail/RecordedRowReducer.h>

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <orvane/detail/Reciprocals.h>
#include <orvane/detail/StretchBlend.h>
#include <orvane/gdi/detail/SpanRecorder.h>

namespace orvane {

RecordedRowReducer::RecordedRowReducer(int32_t factor, int32_t firstColumn, int32_t width)
    : factor_(factor),
      shift_(std::countr_zero(static_cast<uint32_t>(factor))),
      from_(int64_t{firstColumn} * factor),
      to_(from_ + int64_t{width} * factor),
      width_(width),
      differences_(static_cast<size_t>(width) + 2, PixelSums{0, 0, 0, 0}),
      touched_(((static_cast<size_t>(width) + 2 + 63) / 64) * 64, 0) {}

namespace {

#if defined(__SSE2__)
using ChannelsAndOne = __m128i;

// Blue, green, red and 1 in four 32-bit lanes, as PixelSums orders them.
inline ChannelsAndOne ChannelsOf(uint32_t color) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i rgb = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int32_t>(color)), zero), zero);
  return _mm_or_si128(_mm_shuffle_epi32(rgb, _MM_SHUFFLE(3, 0, 1, 2)), _mm_set_epi32(1, 0, 0, 0));
}
#else
struct ChannelsAndOne {
  uint32_t blue, green, red, one;
};

inline ChannelsAndOne ChannelsOf(uint32_t color) {
  return ChannelsAndOne{gdi::GetBValue(color), gdi::GetGValue(color), gdi::GetRValue(color), 1};
}
#endif

// Adds `samples` (negative: takes them away) samples of `channels` to the
// sums `d` (blue, green, red and count, four 32-bit fields).
template <class Sums>
inline void AddSamples(Sums& d, int32_t samples, const ChannelsAndOne& channels) {
  static_assert(sizeof(Sums) == 16);
#if defined(__SSE2__)
  // Each channel and the count times `samples` at once: all are below 2^15
  // in size, so a 16-bit multiply-add gives the exact products, added with
  // the same wrap-around as the scalar sums.
  __m128i* p = reinterpret_cast<__m128i*>(&d);
  const __m128i k = _mm_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(samples) & 0xFFFF));
  _mm_storeu_si128(p, _mm_add_epi32(_mm_loadu_si128(p), _mm_madd_epi16(channels, k)));
#else
  const uint32_t k = static_cast<uint32_t>(samples);
  d.blue += k * channels.blue;
  d.green += k * channels.green;
  d.red += k * channels.red;
  d.count += k * channels.one;
#endif
}

#if defined(__SSE2__)
inline ChannelsAndOne Minus(const ChannelsAndOne& a, const ChannelsAndOne& b) { return _mm_sub_epi32(a, b); }
inline ChannelsAndOne Negated(const ChannelsAndOne& a) { return _mm_sub_epi32(_mm_setzero_si128(), a); }
#else
inline ChannelsAndOne Minus(const ChannelsAndOne& a, const ChannelsAndOne& b) {
  return ChannelsAndOne{a.blue - b.blue, a.green - b.green, a.red - b.red, a.one - b.one};
}
inline ChannelsAndOne Negated(const ChannelsAndOne& a) { return Minus(ChannelsAndOne{0, 0, 0, 0}, a); }
#endif

// A bit for each of the 64 bytes from `bytes` on, set where it is not 0.
inline uint64_t TouchedBits(const uint8_t* bytes) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  uint64_t zeros = 0;
  for (int i = 0; i < 4; ++i) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * i));
    zeros |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)))) << (16 * i);
  }
  return ~zeros;
#else
  uint64_t bits = 0;
  for (int i = 0; i < 64; ++i) bits |= uint64_t{bytes[i] != 0} << i;
  return bits;
#endif
}

}  // namespace

void RecordedRowReducer::AddRepeatingRun(int32_t x0, int32_t x1, const gdi::RepeatingColors& colors, uint32_t keyA,
                                         uint32_t keyB) {
  const int32_t width = colors.width;
  // Sums over the first i columns of two repeats, so any stretch of up to
  // a repeat is the difference of two.
  PixelSums before[2 * gdi::RepeatingColors::kMostWidth + 1];
  before[0] = PixelSums{0, 0, 0, 0};
  for (int32_t i = 0; i < 2 * width; ++i) {
    const int32_t c = i < width ? i : i - width;
    const uint32_t a = colors.overA[c];
    PixelSums s = before[i];
    if (a != keyA || colors.overB[c] != keyB)
      s.blue += gdi::GetBValue(a), s.green += gdi::GetGValue(a), s.red += gdi::GetRValue(a), ++s.count;
    before[i + 1] = s;
  }
  const PixelSums& repeat = before[width];
  const auto plus = [](const PixelSums& a, const PixelSums& b) {
    return PixelSums{a.blue + b.blue, a.green + b.green, a.red + b.red, a.count + b.count};
  };
  const auto minus = [](const PixelSums& a, const PixelSums& b) {
    return PixelSums{a.blue - b.blue, a.green - b.green, a.red - b.red, a.count - b.count};
  };
  const auto repeats = [&](int32_t k) {
    const uint32_t u = static_cast<uint32_t>(k);
    return PixelSums{repeat.blue * u, repeat.green * u, repeat.red * u, repeat.count * u};
  };
  // The sums of `length` samples from pattern column c on.
  const auto over = [&](int32_t c, int32_t length) {
    return plus(repeats(length / width), minus(before[c + length % width], before[c]));
  };
  const PixelSums none{0, 0, 0, 0};
  const int32_t n = factor_;
  const int32_t first = x0 >> shift_, last = (x1 - 1) >> shift_;
  const int32_t column = colors.ColumnOf(from_ + x0);
  if (first == last) {
    const PixelSums s = over(column, x1 - x0);
    AddSums(first, s);
    AddSums(first + 1, minus(none, s));
    return;
  }
  const int32_t headLength = (first + 1) * n - x0;
  const PixelSums head = over(column, headLength), tail = over(colors.ColumnOf(from_ + last * n), x1 - last * n);
  AddSums(first, head);
  const int32_t step = n % width;
  if (step == 0) {
    // Every whole pixel holds whole repeats: one sum for all of them.
    const PixelSums whole = repeats(n / width);
    AddSums(first + 1, minus(whole, head));
    AddSums(last, minus(tail, whole));
  } else {
    // Each whole pixel starts `step` columns on from the one before.
    const PixelSums repeatsInPixel = repeats(n / width);
    int32_t c = (column + headLength) % width;
    PixelSums previous = head;
    for (int32_t x = first + 1; x < last; ++x) {
      const PixelSums s = plus(repeatsInPixel, minus(before[c + step], before[c]));
      AddSums(x, minus(s, previous));
      previous = s;
      c += step;
      if (c >= width) c -= width;
    }
    AddSums(last, minus(tail, previous));
  }
  AddSums(last + 1, minus(none, tail));
}

void RecordedRowReducer::AddRows(const gdi::SpanRecorder& samples, int32_t firstSampleRow) {
  // From sample x of the row (relative to its first sample) on, the samples
  // change by `change` (a colour starting, ending, or giving way to
  // another): the pixel of x changes for its samples from x on, the pixels
  // after it for all theirs, so as differences x's pixel and the next get
  // a part each.
  const int32_t inPixelMask = factor_ - 1;
  const auto boundary = [&](int32_t x, const ChannelsAndOne& change) {
    const int32_t pixel = x >> shift_, inPixel = x & inPixelMask;
    AddSamples(differences_[static_cast<size_t>(pixel)], factor_ - inPixel, change);
    Touch(pixel);
    // The next pixel's part, none at a pixel's first sample: added and
    // touched without a branch, the two doing nothing then (at the row's
    // end that pixel lies past it, kept for this).
    const size_t next = static_cast<size_t>(pixel) + 1;
    AddSamples(differences_[next], inPixel, change);
    touched_[next] |= static_cast<uint8_t>(inPixel != 0);
  };
  for (int32_t k = 0; k < factor_; ++k) {
    const auto runs = samples.Row(firstSampleRow + k);
    // Columns are never negative, so a row from column 0 needs no search.
    auto run = from_ <= 0 ? runs.begin()
                          : std::lower_bound(runs.begin(), runs.end(), from_,
                                             [](const gdi::PaintedRun& r, int64_t x) { return r.x1 <= x; });
    // A run's end is held back: where the next run starts there, the two
    // boundaries are one change from the first colour to the second.
    int32_t heldEnd = -1;
    ChannelsAndOne heldColor{};
    for (; run != runs.end() && run->x0 < to_; ++run) {
      const int32_t x0 = static_cast<int32_t>(std::max<int64_t>(run->x0, from_) - from_);
      const int32_t x1 = static_cast<int32_t>(std::min<int64_t>(run->x1, to_) - from_);
      if (run->Repeats()) {
        if (heldEnd >= 0) boundary(heldEnd, Negated(heldColor));
        heldEnd = -1;
        AddRepeatingRun(x0, x1, samples.Repeating(*run), samples.KeyA(), samples.KeyB());
        continue;
      }
      const ChannelsAndOne c = ChannelsOf(run->color);
      if (heldEnd == x0) {
        boundary(x0, Minus(c, heldColor));
      } else {
        if (heldEnd >= 0) boundary(heldEnd, Negated(heldColor));
        boundary(x0, c);
      }
      heldEnd = x1;
      heldColor = c;
    }
    if (heldEnd >= 0) boundary(heldEnd, Negated(heldColor));
  }
  Touch(0);
  Touch(width_);
}

template <class Take>
inline void RecordedRowReducer::TakeStretches(const Take& take) {
  const uint64_t perPixel = static_cast<uint64_t>(factor_) * static_cast<uint64_t>(factor_);
  const bool reciprocal = perPixel <= kMaxReciprocal;
  const uint64_t perSample = reciprocal ? kReciprocal.value[perPixel] : 0;
  PixelSums s{0, 0, 0, 0};
  // The touched pixels in order, each ending the stretch before it (pixel
  // 0 and the row's end are always touched); their differences are taken
  // and cleared for the next row.
  TargetStretch t{0, 0, 0, 0, 0, 0, false};
  for (size_t block = 0; block < touched_.size(); block += 64) {
    uint8_t* const bytes = touched_.data() + block;
    for (uint64_t bits = TouchedBits(bytes); bits != 0; bits &= bits - 1) {
      const int32_t x = static_cast<int32_t>(block + static_cast<size_t>(__builtin_ctzll(bits)));
      if (x > 0) {
        t.x1 = x;
        take(t);
      }
      if (x == width_) break;
      PixelSums& step = differences_[static_cast<size_t>(x)];
      s.blue += step.blue;
      s.green += step.green;
      s.red += step.red;
      s.count += step.count;
      step = PixelSums{0, 0, 0, 0};
      t = TargetStretch{x, x, 0, 0, 0, 0, s.count > 0};
      const uint32_t count = std::max(s.count, 1u);
      if (reciprocal) {
        const uint64_t m = kReciprocal.value[count];
        t.blue = static_cast<uint8_t>((s.blue * m) >> 32);
        t.green = static_cast<uint8_t>((s.green * m) >> 32);
        t.red = static_cast<uint8_t>((s.red * m) >> 32);
        t.coverage = static_cast<uint8_t>((uint64_t{s.count} * 255 * perSample) >> 32);
      } else {
        t.blue = static_cast<uint8_t>(s.blue / count);
        t.green = static_cast<uint8_t>(s.green / count);
        t.red = static_cast<uint8_t>(s.red / count);
        t.coverage = static_cast<uint8_t>(uint64_t{s.count} * 255 / perPixel);
      }
    }
    std::memset(bytes, 0, 64);
  }
  differences_[static_cast<size_t>(width_)] = PixelSums{0, 0, 0, 0};
}

void RecordedRowReducer::Reduce(const gdi::SpanRecorder& samples, int32_t firstSampleRow) {
  stretches_.clear();
  AddRows(samples, firstSampleRow);
  TakeStretches([this](const TargetStretch& t) { stretches_.push_back(t); });
}

void RecordedRowReducer::ReduceOnto(const gdi::SpanRecorder& samples, int32_t firstSampleRow, int32_t x0, int32_t x1,
                                    uint8_t* pixels, int32_t bytesPerPixel) {
  AddRows(samples, firstSampleRow);
  TakeStretches([&](const TargetStretch& t) {
    const int32_t from = std::max(t.x0, x0), to = std::min(t.x1, x1);
    if (from < to)
      BlendStretch(t, pixels + static_cast<ptrdiff_t>(from - x0) * bytesPerPixel, to - from, bytesPerPixel);
  });
}

}  // namespace orvane
