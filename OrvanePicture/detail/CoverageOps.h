#pragma once
// The reduction of two key-colour renderings to colour and coverage, on raw
// rows: used by TFastBMP::ExtractCoverage (24-bit renderings) and by the
// filtered draw, which reduces its two screen-format (32-bit) offscreen
// surfaces directly instead of copying them to 24-bit rasters first.

#include <cstddef>
#include <cstdint>

namespace orvane {

// Samples of a rendering: blue, green, red first, `bytesPerSample` (3 or 4)
// bytes each; row r starts at bits + r * stride.
struct SampleRows {
  const uint8_t* bits;
  ptrdiff_t stride;
  int32_t bytesPerSample;
  const uint8_t* Row(int64_t r) const { return bits + static_cast<ptrdiff_t>(r) * stride; }
};

// Writable 24-bit rows.
struct TripleRows {
  uint8_t* bits;
  ptrdiff_t stride;
  uint8_t* Row(int64_t r) const { return bits + static_cast<ptrdiff_t>(r) * stride; }
};

// For each target pixel (x, y) of width x height, reads the factor x factor
// samples from (x * factor, y * factor) in both renderings. A sample is
// background where A shows KeyColorA and B shows KeyColorB (a fourth byte is
// ignored). Coverage = picture samples * 255 div factor², written to all
// three bytes; colour = the truncated mean of the picture samples of A,
// written only where there is at least one. Both renderings must hold
// width * factor x height * factor samples.
//
// `loops` picks the sample loops: the best the processor has, SSE2 at most,
// or plain C++. All give the same bytes; the narrower sets exist so that
// tests can compare them on any machine.
enum class LoopSet { Best, Sse2, Plain };
void ReduceKeyRenderings(const SampleRows& a, const SampleRows& b, const TripleRows& color,
                         const TripleRows& coverage, int32_t width, int32_t height, int32_t factor,
                         LoopSet loops = LoopSet::Best);

}  // namespace orvane

namespace orvane::gdi {
class SpanRecorder;
}

namespace orvane {

// The same reduction from recorded sample rows: target pixel (x, y) of
// width x height takes the samples from column (firstColumn + x) * factor
// and row firstRow + y * factor of `samples`, whose runs are the painted
// samples; every other sample is background. Colour and coverage follow by
// the same arithmetic as from two key renderings, colour written only where
// a sample is painted. The factor is a power of two; with any other, nothing
// is written.
void ReduceRecordedRows(const gdi::SpanRecorder& samples, int32_t firstRow, int32_t firstColumn,
                        const TripleRows& color, const TripleRows& coverage, int32_t width, int32_t height,
                        int32_t factor);

// One channel of the blend of `source` over `backdrop` at `cover` / 255:
// backdrop * (255 - cover) / 255 + source * cover / 255, each quotient
// exact ((v + 1 + (v >> 8)) >> 8 divides products below 65536 by 255).
inline uint8_t BlendChannel(uint32_t backdrop, uint32_t source, uint32_t cover) {
  const auto div255 = [](uint32_t v) { return (v + 1 + (v >> 8)) >> 8; };
  return static_cast<uint8_t>(div255((255 - cover) * backdrop) + div255(cover * source));
}

class TFastBMP;
// TFastBMP::BlendWithCoverage without vector code (same bytes; for tests).
void BlendWithCoveragePlain(TFastBMP& raster, const TFastBMP& colorSource, const TFastBMP& coverage, int32_t width,
                            int32_t height);

}  // namespace orvane
