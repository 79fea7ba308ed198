// The two pixel loops of the filtered rendering: reduction of two key-colour
// renderings to colour and coverage, and compositing by coverage. Both work
// through rows of raw samples with integer arithmetic only.
//
// The reduction sums every sample of rendering A and counts the background
// samples; the picture's sum is then the total less the background count
// times KeyColorA, which is exact and leaves no branch in the sample loop.
// Target pixels are handled in blocks of kBlock columns, their sums on the
// stack. The plain loops read the factor source rows of a block one after
// the other; the vector loops take one target pixel (or two) over all its
// rows at a time and keep its sums in registers. SSE2 (every x86-64) serves
// as the base; SSSE3, POPCNT and AVX2 are used where the processor has them,
// chosen at run time. The blend runs sixteen pixels a step with SSSE3.

#include <orvane/detail/CoverageOps.h>

#include <algorithm>

#include <orvane/FastBMP.h>
#include <orvane/detail/Reciprocals.h>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace orvane {

namespace {

// Key colours as raster bytes (blue, green, red).
constexpr uint8_t kKeyA[3] = {255, 0, 0};   // $FF0000, pure blue
constexpr uint8_t kKeyB[3] = {0, 128, 0};   // $008000, dark green

constexpr int32_t kBlock = 128;

// Per-column sums of one block of target pixels.
// 64 bits: any factor's sums fit.
struct BlockSums {
  uint64_t blue[kBlock];
  uint64_t green[kBlock];
  uint64_t red[kBlock];
  uint64_t background[kBlock];
};

// Adds one source row of `count` target pixels, `factor` samples each.
template <int Bpp>
void AccumulatePlain(const uint8_t* a, const uint8_t* b, int32_t count, int32_t factor, BlockSums& s,
                     int32_t first) {
  for (int32_t x = first; x < first + count; ++x) {
    uint64_t blue = 0, green = 0, red = 0, background = 0;
    for (int32_t l = 0; l < factor; ++l, a += Bpp, b += Bpp) {
      blue += a[0];
      green += a[1];
      red += a[2];
      background += static_cast<uint64_t>((a[0] == kKeyA[0]) & (a[1] == kKeyA[1]) & (a[2] == kKeyA[2]) &
                                          (b[0] == kKeyB[0]) & (b[1] == kKeyB[1]) & (b[2] == kKeyB[2]));
    }
    s.blue[x] += blue;
    s.green[x] += green;
    s.red[x] += red;
    s.background[x] += background;
  }
}

using AccumulateFn = void (*)(const uint8_t* a, const uint8_t* b, int32_t count, int32_t factor, BlockSums& s);

template <int Bpp>
void AccumulatePlainFn(const uint8_t* a, const uint8_t* b, int32_t count, int32_t factor, BlockSums& s) {
  AccumulatePlain<Bpp>(a, b, count, factor, s, 0);
}

#if defined(__SSE2__)

inline uint32_t Low32(__m128i v) { return static_cast<uint32_t>(_mm_cvtsi128_si32(v)); }
inline uint32_t High32(__m128i v) { return Low32(_mm_srli_si128(v, 8)); }

inline uint32_t CountBits(uint64_t v) {
  v = v - ((v >> 1) & 0x5555555555555555ULL);
  v = (v & 0x3333333333333333ULL) + ((v >> 2) & 0x3333333333333333ULL);
  v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<uint32_t>((v * 0x0101010101010101ULL) >> 56);
}

// 32-bit samples, factor a multiple of the vector width and at most 16:
// one target pixel at a time over all its rows, so its sums stay in
// registers. Blue and red add up together in the two halves of each 32-bit
// lane (at most 64 samples of 255 a lane, no carry between them), green
// alone, and the background count as the negated key-test masks.
using BlockFn = void (*)(const SampleRows& a, const SampleRows& b, int64_t row0, ptrdiff_t offset, int32_t count,
                         int32_t factor, BlockSums& s);

inline uint32_t LaneSum(__m128i v) {
  v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0x4E));
  v = _mm_add_epi32(v, _mm_shuffle_epi32(v, 0xB1));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(v));
}

// Folds the lanes of one target pixel. Summed over all lanes, blue and red
// stay apart in the two 16-bit halves (at most 256 samples of 255), and so
// do green and the background count once the count is moved to the upper half.
inline void AddPixelSums(__m128i blueRed, __m128i green, __m128i background, BlockSums& s, int32_t x) {
  const uint32_t br = LaneSum(blueRed);
  const uint32_t gb = LaneSum(_mm_add_epi32(green, _mm_slli_epi32(background, 16)));
  s.blue[x] += br & 0xFFFF;
  s.red[x] += br >> 16;
  s.green[x] += gb & 0xFFFF;
  s.background[x] += gb >> 16;
}

void Block32Sse2(const SampleRows& a, const SampleRows& b, int64_t row0, ptrdiff_t offset, int32_t count,
                 int32_t factor, BlockSums& s) {
  const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
  const __m128i keyA = _mm_set1_epi32(kKeyA[0] | kKeyA[1] << 8 | kKeyA[2] << 16);
  const __m128i keyB = _mm_set1_epi32(kKeyB[0] | kKeyB[1] << 8 | kKeyB[2] << 16);
  const __m128i blueRedMask = _mm_set1_epi32(0x00FF00FF), byteMask = _mm_set1_epi32(0xFF);
  const uint8_t* rowsA[16];
  const uint8_t* rowsB[16];
  for (int32_t k = 0; k < factor; ++k) {
    rowsA[k] = a.Row(row0 + k) + offset;
    rowsB[k] = b.Row(row0 + k) + offset;
  }
  const ptrdiff_t groupBytes = ptrdiff_t{4} * factor;
  for (int32_t x = 0; x < count; ++x) {
    __m128i blueRed = _mm_setzero_si128(), green = blueRed, background = blueRed;
    for (int32_t k = 0; k < factor; ++k) {
      const uint8_t* pa = rowsA[k] + x * groupBytes;
      const uint8_t* pb = rowsB[k] + x * groupBytes;
      for (ptrdiff_t v = 0; v < groupBytes; v += 16) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pa + v));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pb + v));
        background = _mm_sub_epi32(background, _mm_and_si128(_mm_cmpeq_epi32(_mm_and_si128(va, rgb), keyA),
                                                             _mm_cmpeq_epi32(_mm_and_si128(vb, rgb), keyB)));
        blueRed = _mm_add_epi32(blueRed, _mm_and_si128(va, blueRedMask));
        green = _mm_add_epi32(green, _mm_and_si128(_mm_srli_epi32(va, 8), byteMask));
      }
    }
    AddPixelSums(blueRed, green, background, s, x);
  }
}

#if defined(__x86_64__) || defined(__i386__)
#define ORVANE_X86_TARGET_LOOPS 1
__attribute__((target("avx2"))) inline __m128i FoldHalves(__m256i v) {
  return _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
}

__attribute__((target("avx2"))) void Block32Avx2(const SampleRows& a, const SampleRows& b, int64_t row0,
                                                 ptrdiff_t offset, int32_t count, int32_t factor, BlockSums& s) {
  const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i keyA = _mm256_set1_epi32(kKeyA[0] | kKeyA[1] << 8 | kKeyA[2] << 16);
  const __m256i keyB = _mm256_set1_epi32(kKeyB[0] | kKeyB[1] << 8 | kKeyB[2] << 16);
  const __m256i blueRedMask = _mm256_set1_epi32(0x00FF00FF), byteMask = _mm256_set1_epi32(0xFF);
  const uint8_t* rowsA[16];
  const uint8_t* rowsB[16];
  for (int32_t k = 0; k < factor; ++k) {
    rowsA[k] = a.Row(row0 + k) + offset;
    rowsB[k] = b.Row(row0 + k) + offset;
  }
  const ptrdiff_t groupBytes = ptrdiff_t{4} * factor;
  for (int32_t x = 0; x < count; ++x) {
    __m256i blueRed = _mm256_setzero_si256(), green = blueRed, background = blueRed;
    for (int32_t k = 0; k < factor; ++k) {
      const uint8_t* pa = rowsA[k] + x * groupBytes;
      const uint8_t* pb = rowsB[k] + x * groupBytes;
      for (ptrdiff_t v = 0; v < groupBytes; v += 32) {
        const __m256i va = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pa + v));
        const __m256i vb = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pb + v));
        background = _mm256_sub_epi32(
            background, _mm256_and_si256(_mm256_cmpeq_epi32(_mm256_and_si256(va, rgb), keyA),
                                         _mm256_cmpeq_epi32(_mm256_and_si256(vb, rgb), keyB)));
        blueRed = _mm256_add_epi32(blueRed, _mm256_and_si256(va, blueRedMask));
        green = _mm256_add_epi32(green, _mm256_and_si256(_mm256_srli_epi32(va, 8), byteMask));
      }
    }
    AddPixelSums(FoldHalves(blueRed), FoldHalves(green), FoldHalves(background), s, x);
  }
}

// 24-bit samples, factor 8 or 16, with SSSE3: each four samples are spread
// to 32-bit lanes by a byte shuffle (the fourth byte 0), then summed as in
// Block32Sse2. The loads of a target pixel's 24 or 48 bytes stay within
// them: at offsets 0 and 8 (factor 8), or 0, 12, 24 and 32 (factor 16).
__attribute__((target("ssse3"))) void Block24Ssse3(const SampleRows& a, const SampleRows& b, int64_t row0,
                                                   ptrdiff_t offset, int32_t count, int32_t factor, BlockSums& s) {
  const __m128i keyA = _mm_set1_epi32(kKeyA[0] | kKeyA[1] << 8 | kKeyA[2] << 16);
  const __m128i keyB = _mm_set1_epi32(kKeyB[0] | kKeyB[1] << 8 | kKeyB[2] << 16);
  const __m128i blueRedMask = _mm_set1_epi32(0x00FF00FF);
  // Four samples from byte 0 (or 4) of a load to B G R 0 lanes, and their green alone.
  const __m128i spread0 = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
  const __m128i spread4 = _mm_setr_epi8(4, 5, 6, -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
  const __m128i green0 = _mm_setr_epi8(1, -1, -1, -1, 4, -1, -1, -1, 7, -1, -1, -1, 10, -1, -1, -1);
  const __m128i green4 = _mm_setr_epi8(5, -1, -1, -1, 8, -1, -1, -1, 11, -1, -1, -1, 14, -1, -1, -1);
  const uint8_t* rowsA[16];
  const uint8_t* rowsB[16];
  for (int32_t k = 0; k < factor; ++k) {
    rowsA[k] = a.Row(row0 + k) + offset;
    rowsB[k] = b.Row(row0 + k) + offset;
  }
  // Load offsets and whether the four samples start 4 bytes into the load.
  constexpr int kLoads8[2] = {0, 8}, kLoads16[4] = {0, 12, 24, 32};
  const int* loads = factor == 8 ? kLoads8 : kLoads16;
  const int loadCount = factor == 8 ? 2 : 4;
  const ptrdiff_t groupBytes = ptrdiff_t{3} * factor;
  for (int32_t x = 0; x < count; ++x) {
    __m128i blueRed = _mm_setzero_si128(), green = blueRed, background = blueRed;
    for (int32_t k = 0; k < factor; ++k) {
      const uint8_t* pa = rowsA[k] + x * groupBytes;
      const uint8_t* pb = rowsB[k] + x * groupBytes;
      for (int l = 0; l < loadCount; ++l) {
        const bool shifted = l == loadCount - 1;  // the last load's samples start at its byte 4
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pa + loads[l]));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pb + loads[l]));
        const __m128i sa = _mm_shuffle_epi8(va, shifted ? spread4 : spread0);
        const __m128i sb = _mm_shuffle_epi8(vb, shifted ? spread4 : spread0);
        background = _mm_sub_epi32(background, _mm_and_si128(_mm_cmpeq_epi32(sa, keyA), _mm_cmpeq_epi32(sb, keyB)));
        blueRed = _mm_add_epi32(blueRed, _mm_and_si128(sa, blueRedMask));
        green = _mm_add_epi32(green, _mm_shuffle_epi8(va, shifted ? green4 : green0));
      }
    }
    AddPixelSums(blueRed, green, background, s, x);
  }
}
#endif

// Byte patterns of 48 bytes (16 samples of 3 bytes) split into three vectors.
struct Pattern48 {
  __m128i v[3];
};

Pattern48 RepeatTriple(const uint8_t (&triple)[3]) {
  alignas(16) uint8_t bytes[48];
  for (int i = 0; i < 48; ++i) bytes[i] = triple[i % 3];
  return {{_mm_load_si128(reinterpret_cast<const __m128i*>(bytes)),
           _mm_load_si128(reinterpret_cast<const __m128i*>(bytes + 16)),
           _mm_load_si128(reinterpret_cast<const __m128i*>(bytes + 32))}};
}

Pattern48 ChannelMask(int channel) {
  uint8_t triple[3] = {0, 0, 0};
  triple[channel] = 0xFF;
  return RepeatTriple(triple);
}

// One 48-byte chunk of 16 samples of both renderings: the background samples
// as a bit every third position (bit 3i for sample i), and per channel the
// byte sums of the six 8-byte halves.
struct Chunk24 {
  uint64_t background;
  __m128i sums[3][3];  // [channel][vector]: two 64-bit half sums
};

struct Constants24 {
  Pattern48 keyA = RepeatTriple(kKeyA), keyB = RepeatTriple(kKeyB);
  Pattern48 mask[3] = {ChannelMask(0), ChannelMask(1), ChannelMask(2)};
};

inline void LoadChunk24(const uint8_t* a, const uint8_t* b, const Constants24& k, Chunk24& c) {
  const __m128i zero = _mm_setzero_si128();
  uint64_t equal = 0;
  for (int v = 0; v < 3; ++v) {
    const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 16 * v));
    const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 16 * v));
    const __m128i eq = _mm_and_si128(_mm_cmpeq_epi8(va, k.keyA.v[v]), _mm_cmpeq_epi8(vb, k.keyB.v[v]));
    equal |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(eq))) << (16 * v);
    for (int ch = 0; ch < 3; ++ch) c.sums[ch][v] = _mm_sad_epu8(_mm_and_si128(va, k.mask[ch].v[v]), zero);
  }
  c.background = equal & (equal >> 1) & (equal >> 2) & 0x249249249249ULL;
}

// 24-bit samples, factor 8: a chunk holds two target pixels (24 bytes each,
// the first in halves 0-2, the second in halves 3-5). Bits are counted by
// `Count`: the portable sum of bits, or the processor's instruction.
template <uint32_t (*Count)(uint64_t)>
inline void Accumulate24Factor8(const uint8_t* a, const uint8_t* b, int32_t count, BlockSums& s) {
  static const Constants24 k;
  uint64_t* sums[3] = {s.blue, s.green, s.red};
  int32_t x = 0;
  Chunk24 c;
  for (; x + 2 <= count; x += 2, a += 48, b += 48) {
    LoadChunk24(a, b, k, c);
    for (int ch = 0; ch < 3; ++ch) {
      const __m128i lows = _mm_unpacklo_epi64(c.sums[ch][0], c.sums[ch][2]);
      const __m128i highs = _mm_unpackhi_epi64(c.sums[ch][0], c.sums[ch][2]);
      const __m128i pair = _mm_add_epi64(_mm_add_epi64(lows, highs), c.sums[ch][1]);
      sums[ch][x] += Low32(pair);
      sums[ch][x + 1] += High32(pair);
    }
    s.background[x] += Count(c.background & 0xFFFFFF);
    s.background[x + 1] += Count(c.background >> 24);
  }
  if (x < count) AccumulatePlain<3>(a, b, count - x, 8, s, x);
}

// 24-bit samples, factor 16: one chunk a target pixel.
template <uint32_t (*Count)(uint64_t)>
inline void Accumulate24Factor16(const uint8_t* a, const uint8_t* b, int32_t count, BlockSums& s) {
  static const Constants24 k;
  uint64_t* sums[3] = {s.blue, s.green, s.red};
  Chunk24 c;
  for (int32_t x = 0; x < count; ++x, a += 48, b += 48) {
    LoadChunk24(a, b, k, c);
    for (int ch = 0; ch < 3; ++ch) {
      const __m128i all = _mm_add_epi64(_mm_add_epi64(c.sums[ch][0], c.sums[ch][1]), c.sums[ch][2]);
      sums[ch][x] += Low32(all) + High32(all);
    }
    s.background[x] += Count(c.background);
  }
}

void Accumulate24Factor8Sse2(const uint8_t* a, const uint8_t* b, int32_t count, int32_t, BlockSums& s) {
  Accumulate24Factor8<CountBits>(a, b, count, s);
}
void Accumulate24Factor16Sse2(const uint8_t* a, const uint8_t* b, int32_t count, int32_t, BlockSums& s) {
  Accumulate24Factor16<CountBits>(a, b, count, s);
}

#if defined(__x86_64__) || defined(__i386__)
#define ORVANE_X86_POPCNT_LOOPS 1
__attribute__((target("popcnt"))) inline uint32_t CountBitsPopcnt(uint64_t v) {
  return static_cast<uint32_t>(__builtin_popcountll(v));
}
__attribute__((target("popcnt"))) void Accumulate24Factor8Popcnt(const uint8_t* a, const uint8_t* b, int32_t count,
                                                                  int32_t, BlockSums& s) {
  Accumulate24Factor8<CountBitsPopcnt>(a, b, count, s);
}
__attribute__((target("popcnt"))) void Accumulate24Factor16Popcnt(const uint8_t* a, const uint8_t* b, int32_t count,
                                                                   int32_t, BlockSums& s) {
  Accumulate24Factor16<CountBitsPopcnt>(a, b, count, s);
}
#endif

#endif


// Colour and coverage of `count` target pixels from their sums. Up to 256
// samples a pixel every sum is below 65536 and every divisor at most 256.
void FinishSmall(const BlockSums& s, int32_t count, uint32_t samples, uint8_t* c, uint8_t* v) {
  const uint64_t perSample = kReciprocal.value[samples];
  for (int32_t i = 0; i < count; ++i, c += 3, v += 3) {
    const uint64_t background = s.background[i];
    const uint64_t picture = samples - background;
    if (picture > 0) {
      const uint64_t m = kReciprocal.value[picture];
      c[0] = static_cast<uint8_t>(((s.blue[i] - background * kKeyA[0]) * m) >> 32);
      c[1] = static_cast<uint8_t>(((s.green[i] - background * kKeyA[1]) * m) >> 32);
      c[2] = static_cast<uint8_t>(((s.red[i] - background * kKeyA[2]) * m) >> 32);
    }
    v[0] = v[1] = v[2] = static_cast<uint8_t>((picture * 255 * perSample) >> 32);
  }
}

void FinishAny(const BlockSums& s, int32_t count, uint64_t samples, uint8_t* c, uint8_t* v) {
  for (int32_t i = 0; i < count; ++i, c += 3, v += 3) {
    const uint64_t background = s.background[i];
    const uint64_t picture = samples - background;
    if (picture > 0) {
      c[0] = static_cast<uint8_t>((s.blue[i] - background * kKeyA[0]) / picture);
      c[1] = static_cast<uint8_t>((s.green[i] - background * kKeyA[1]) / picture);
      c[2] = static_cast<uint8_t>((s.red[i] - background * kKeyA[2]) / picture);
    }
    v[0] = v[1] = v[2] = static_cast<uint8_t>(picture * 255 / samples);
  }
}

struct Loops {
  AccumulateFn rows = nullptr;  // one source row at a time
  BlockFn block = nullptr;      // or all rows of a block at once
};

Loops SelectLoops(int32_t bytesPerSample, int32_t factor, LoopSet set) {
  Loops loops;
  loops.rows = bytesPerSample == 4 ? AccumulatePlainFn<4> : AccumulatePlainFn<3>;
#if defined(__SSE2__)
  if (set == LoopSet::Plain) return loops;
  if (bytesPerSample == 4 && factor % 4 == 0 && factor <= 16) {
    loops.block = Block32Sse2;
#if defined(ORVANE_X86_TARGET_LOOPS)
    if (set == LoopSet::Best && factor % 8 == 0 && __builtin_cpu_supports("avx2")) loops.block = Block32Avx2;
#endif
  }
  if (bytesPerSample == 3 && factor == 8) loops.rows = Accumulate24Factor8Sse2;
  if (bytesPerSample == 3 && factor == 16) loops.rows = Accumulate24Factor16Sse2;
#if defined(ORVANE_X86_POPCNT_LOOPS)
  if (set == LoopSet::Best && bytesPerSample == 3 && __builtin_cpu_supports("popcnt")) {
    if (factor == 8) loops.rows = Accumulate24Factor8Popcnt;
    if (factor == 16) loops.rows = Accumulate24Factor16Popcnt;
  }
#endif
#if defined(ORVANE_X86_TARGET_LOOPS)
  if (set == LoopSet::Best && bytesPerSample == 3 && (factor == 8 || factor == 16) && __builtin_cpu_supports("ssse3"))
    loops.block = Block24Ssse3;
#endif
#else
  (void)factor;
  (void)set;
#endif
  return loops;
}

}  // namespace

void ReduceKeyRenderings(const SampleRows& a, const SampleRows& b, const TripleRows& color,
                         const TripleRows& coverage, int32_t width, int32_t height, int32_t factor, LoopSet set) {
  if (factor <= 0 || width <= 0 || height <= 0) return;
  if (a.bytesPerSample != b.bytesPerSample || (a.bytesPerSample != 3 && a.bytesPerSample != 4)) return;
  const Loops loops = SelectLoops(a.bytesPerSample, factor, set);
  const uint64_t samples = static_cast<uint64_t>(factor) * static_cast<uint64_t>(factor);
  const ptrdiff_t bpp = a.bytesPerSample;
  BlockSums s;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* colorRow = color.Row(y);
    uint8_t* coverageRow = coverage.Row(y);
    const int64_t row0 = int64_t{y} * factor;
    for (int32_t x0 = 0; x0 < width; x0 += kBlock) {
      const int32_t count = std::min(kBlock, width - x0);
      std::fill_n(s.blue, count, uint64_t{0});
      std::fill_n(s.green, count, uint64_t{0});
      std::fill_n(s.red, count, uint64_t{0});
      std::fill_n(s.background, count, uint64_t{0});
      const ptrdiff_t offset = static_cast<ptrdiff_t>(x0) * factor * bpp;
      if (loops.block) {
        loops.block(a, b, row0, offset, count, factor, s);
      } else {
        for (int32_t k = 0; k < factor; ++k)
          loops.rows(a.Row(row0 + k) + offset, b.Row(row0 + k) + offset, count, factor, s);
      }
      uint8_t* c = colorRow + 3 * static_cast<ptrdiff_t>(x0);
      uint8_t* v = coverageRow + 3 * static_cast<ptrdiff_t>(x0);
      if (samples <= kMaxReciprocal) FinishSmall(s, count, static_cast<uint32_t>(samples), c, v);
      else FinishAny(s, count, samples, c, v);
    }
  }
}

namespace {

SampleRows RowsOf(const TFastBMP& raster) { return {raster.PixelData(), raster.RowStride(), 3}; }
TripleRows RowsOf(TFastBMP& raster) { return {raster.PixelData(), raster.RowStride()}; }

}  // namespace

void TFastBMP::ExtractCoverage(const TFastBMP& renderingB, TFastBMP& colorOut, TFastBMP& coverageOut, int32_t width,
                               int32_t height, int32_t factor) const {
  ReduceKeyRenderings(RowsOf(*this), RowsOf(renderingB), RowsOf(colorOut), RowsOf(coverageOut), width, height,
                      factor);
}

namespace {

void BlendPixels(uint8_t* d, const uint8_t* s, const uint8_t* c, int32_t count) {
  for (int32_t x = 0; x < count; ++x, d += 3, s += 3, c += 3)
    for (int i = 0; i < 3; ++i) d[i] = BlendChannel(d[i], s[i], c[2]);
}

using BlendRowFn = void (*)(uint8_t* d, const uint8_t* s, const uint8_t* c, int32_t count);

#if defined(__x86_64__) || defined(__i386__)
// Sixteen pixels (48 bytes) a step. The coverage of byte j of a pixel row
// sits at byte j - j % 3 + 2. For the k-th 16 bytes of a step those places
// span bytes 16k + 2 - k to 16k + 17 - k, so a byte shuffle of the 16
// coverage bytes from there spreads each coverage over its pixel's bytes,
// and no read leaves the step's 48 bytes.
__attribute__((target("ssse3"))) void BlendRowSsse3(uint8_t* d, const uint8_t* s, const uint8_t* c, int32_t count) {
  __m128i spread[3];
  for (int k = 0; k < 3; ++k) {
    alignas(16) int8_t index[16];
    for (int j = 0; j < 16; ++j) {
      const int byte = 16 * k + j;
      index[j] = static_cast<int8_t>(byte - byte % 3 + 2 - (16 * k + 2 - k));
    }
    spread[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(index));
  }
  const __m128i zero = _mm_setzero_si128(), all = _mm_set1_epi16(255), one = _mm_set1_epi16(1);
  const auto div255 = [&](__m128i v) {
    return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(v, one), _mm_srli_epi16(v, 8)), 8);
  };
  int32_t x = 0;
  for (; x + 16 <= count; x += 16, d += 48, s += 48, c += 48) {
    for (int k = 0; k < 3; ++k) {
      const __m128i cover =
          _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 16 * k + 2 - k)), spread[k]);
      const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + 16 * k));
      const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * k));
      __m128i half[2];
      for (int h = 0; h < 2; ++h) {
        const __m128i cw = h ? _mm_unpackhi_epi8(cover, zero) : _mm_unpacklo_epi8(cover, zero);
        const __m128i dw = h ? _mm_unpackhi_epi8(dv, zero) : _mm_unpacklo_epi8(dv, zero);
        const __m128i sw = h ? _mm_unpackhi_epi8(sv, zero) : _mm_unpacklo_epi8(sv, zero);
        half[h] = _mm_add_epi16(div255(_mm_mullo_epi16(_mm_sub_epi16(all, cw), dw)),
                                div255(_mm_mullo_epi16(cw, sw)));
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16 * k), _mm_packus_epi16(half[0], half[1]));
    }
  }
  BlendPixels(d, s, c, count - x);
}
#endif

BlendRowFn PickBlendRow() {
#if defined(__x86_64__) || defined(__i386__)
  if (__builtin_cpu_supports("ssse3")) return BlendRowSsse3;
#endif
  return BlendPixels;
}

}  // namespace

void TFastBMP::BlendWithCoverage(const TFastBMP& colorSource, const TFastBMP& coverage, int32_t width,
                                 int32_t height) {
  if (width <= 0 || height <= 0) return;
  static const BlendRowFn blendRow = PickBlendRow();
  // Row by row gives the same bytes as the column-major order and walks memory in order.
  for (int32_t y = 0; y < height; ++y) blendRow(RowStarts()[y], colorSource.RowStarts()[y], coverage.RowStarts()[y], width);
}

void BlendWithCoveragePlain(TFastBMP& raster, const TFastBMP& colorSource, const TFastBMP& coverage, int32_t width,
                            int32_t height) {
  for (int32_t y = 0; y < height; ++y)
    BlendPixels(raster.RowStarts()[y], colorSource.RowStarts()[y], coverage.RowStarts()[y], width);
}

}  // namespace orvane
