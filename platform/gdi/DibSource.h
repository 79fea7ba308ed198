#pragma once
// A device-independent bitmap read where it lies, as files and metafile
// records hold it: a BITMAPINFOHEADER (or the older 12-byte
// BITMAPCOREHEADER), a colour table, and the bits at 1, 4, 8, 16, 24 or 32
// bits a pixel, uncompressed, RLE8, RLE4 or with bit fields.
//
// Nothing is decoded ahead: uncompressed pixels are looked up in the bits
// when asked for, and a run-length stream is read once into its runs. So
// what a DIB costs follows its bytes and the pixels read from it, never the
// size its header declares. Every size, count and offset is checked against
// the data before it is used.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include <orvane/gdi/ImageSource.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::gdi {

class DibSource final : public ImageSource {
 public:
  // Reads the header (with colour table) and checks the bits against it;
  // false on any inconsistency, and the source is then empty. The header
  // may go once this returns; the bits are read where they lie and must
  // outlive the source.
  bool Open(const uint8_t* header, size_t headerSize, const uint8_t* bits, size_t bitsSize);
  // A packed DIB: header, colour table and bits in one block (bitsOffset 0
  // means the bits follow the colour table).
  bool OpenPacked(const uint8_t* data, size_t size, size_t bitsOffset = 0);

  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  bool Empty() const { return width_ == 0; }
  // Rows run from the top of the stored bits down (a negative header height).
  bool TopDown() const { return topDown_; }
  // Header, bit-field masks and the whole colour table: where a packed DIB's
  // bits begin; 0 when `data` does not start with a valid DIB header.
  static uint64_t HeaderLength(const uint8_t* data, size_t size);

  void Sample(const SourcePixel* at, size_t count, COLORREF* out) const override;
  // Only a 32-bit BI_RGB DIB has alpha: the fourth byte of each pixel.
  bool SampleAlpha(const SourcePixel* at, size_t count, uint8_t* out) const override;
  // Run-length rows the stream leaves alone are alike.
  bool RowsAlike(int32_t a, int32_t b) const override;
  // Row `row` (top row 0), all Width() pixels.
  void ReadRow(int32_t row, COLORREF* out) const;
  bool RunLength() const { return compression_ == BI_RLE8 || compression_ == BI_RLE4; }
  // The rows (top row 0, ascending) a run-length stream paints; every other
  // row of such a DIB is alike. Empty for an uncompressed DIB.
  std::vector<int32_t> RowsWithRuns() const;

 private:
  // A run of a run-length stream within one stored row (bottom row 0):
  // either one repeated byte (RLE4 alternates its two nibbles) or pixels
  // copied from the stream at `data`. 16 bytes for at least 2 of the
  // stream's, and never more runs than pixels.
  struct Run {
    int32_t storedRow, x0;
    uint32_t data;
    uint16_t length;  // at most 255
    bool literal;
    int32_t End() const { return x0 + length; }
  };
  // One colour channel of a bit-field pixel.
  struct Channel {
    uint32_t mask = 0;
    int shift = 0, bits = 0;
    std::array<uint8_t, 256> widen{};
    void Set(uint32_t m);
    uint8_t Get(uint32_t pixel) const;
  };

  bool ReadHeader(const uint8_t* h, size_t size);
  bool CheckBits(const uint8_t* bits, size_t bitsSize);
  void ReadRuns();
  const uint8_t* StoredRow(int32_t row) const;
  COLORREF StoredPixel(const uint8_t* s, int32_t x) const;
  uint8_t RunIndex(const Run& run, int32_t x) const;
  // The runs of the stored row holding top row `row`: [first, last).
  void RowRuns(int32_t row, size_t& first, size_t& last) const;

  int32_t width_ = 0, height_ = 0;
  bool topDown_ = false;
  int bitCount_ = 0;
  uint32_t compression_ = 0, sizeImage_ = 0;
  bool bitFields_ = false;
  Channel red_, green_, blue_;
  std::array<COLORREF, 256> palette_{};  // entries past the stored table are black
  uint64_t headerLength_ = 0;
  const uint8_t* bits_ = nullptr;
  size_t bitsSize_ = 0;
  uint64_t rowBytes_ = 0;
  std::vector<Run> runs_;  // by stored row, then x; none overlap
};

}  // namespace orvane::gdi

ORVANE_PUBLIC_END
