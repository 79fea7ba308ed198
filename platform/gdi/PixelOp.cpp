#include <orvane/gdi/detail/PixelOp.h>

#include <algorithm>

#include <orvane/gdi/detail/SpanPaint.h>

namespace orvane::gdi {

namespace {

// The nearest integer to x / 255, for x up to 255 * 255.
inline uint32_t Div255(uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}

// A ternary truth table applied bitwise to pattern and source colours over
// a black and over a white destination: the minterm of each pattern and
// source bit pair joins the result over black where the table's entry for
// destination 0 is set, the one over white where the entry for 1 is.
void Rop3Bits(uint8_t table, COLORREF p, COLORREF s, COLORREF& overBlack, COLORREF& overWhite) {
  const COLORREF minterms[4] = {~p & ~s, ~p & s, p & ~s, p & s};
  overBlack = overWhite = 0;
  for (int ps = 0; ps < 4; ++ps) {
    overBlack |= minterms[ps] & (0u - ((table >> (2 * ps)) & 1u));
    overWhite |= minterms[ps] & (0u - ((table >> (2 * ps + 1)) & 1u));
  }
  overBlack &= 0xFFFFFF;
  overWhite &= 0xFFFFFF;
}

// Source-over blending of one colour, as PixelOp::Blend describes.
COLORREF BlendChannels(COLORREF src, COLORREF dst, uint32_t constantAlpha, int alpha) {
  COLORREF out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    uint32_t v;
    if (alpha < 0) {
      v = Div255(s * constantAlpha + d * (255 - constantAlpha));
    } else {
      // Premultiplied source: its colour and alpha both scaled by the constant.
      const uint32_t sourceAlpha = Div255(static_cast<uint32_t>(alpha) * constantAlpha);
      v = std::min<uint32_t>(255, Div255(s * constantAlpha) + Div255(d * (255 - sourceAlpha)));
    }
    out |= v << shift;
  }
  return out;
}

}  // namespace

PixelOp PixelOp::FromRop2(Rop2 rop, COLORREF pen) {
  const COLORREF overBlack = ApplyRop2(rop, pen, 0), overWhite = ApplyRop2(rop, pen, 0xFFFFFF);
  return PixelOp{Kind::Bits, 255, 255, overBlack ^ overWhite, overBlack};
}

PixelOp PixelOp::FromRop3(uint8_t table, COLORREF pattern, COLORREF source) {
  if (table == 0xCC) return Copy(source);  // SRCCOPY, the usual one
  COLORREF overBlack, overWhite;
  Rop3Bits(table, pattern, source, overBlack, overWhite);
  return PixelOp{Kind::Bits, 255, 255, overBlack ^ overWhite, overBlack};
}

PixelOp PixelOp::Blend(COLORREF source, uint8_t constantAlpha, int alpha) {
  if (alpha < 0) return PixelOp{Kind::Blend, constantAlpha, 255, source & 0xFFFFFF, 0};
  return PixelOp{Kind::BlendPremultiplied, constantAlpha, static_cast<uint8_t>(alpha), source & 0xFFFFFF, 0};
}

COLORREF PixelOp::Apply(COLORREF d) const {
  switch (kind) {
    case Kind::Bits: return ((d & keep) ^ flip) & 0xFFFFFF;
    case Kind::Blend: return BlendChannels(keep, d, constantAlpha, -1);
    case Kind::BlendPremultiplied: return BlendChannels(keep, d, constantAlpha, sourceAlpha);
  }
  return d;
}

}  // namespace orvane::gdi
