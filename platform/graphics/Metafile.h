#pragma once
// TMetafile: an enhanced metafile (EMF), or a Windows metafile (WMF,
// placeable or standard) converted to one, held as immutable bytes that
// copies share. Its size in pixels comes from the header: frame extent
// (0.01 mm) x device pixels / (device millimetres x 100), a 64-bit product
// rounded half away from zero. A standard WMF, which has no placeable header
// to say its size, is measured from its records at 96 logical units an inch
// (its window, else the bounds of what it draws: see MeasureStandardWmf in
// graphics/detail/WmfConverter.h). An empty metafile is 0 x 0 and draws
// nothing.

#include <map>
#include <memory>
#include <vector>

#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

// What a metafile holds of EMF+, the drawing records of the published EMF+
// format that ride in comment records and that the player does not draw:
//   None         no EMF+ header comment (a plain EMF, any WMF);
//   Dual         an EMF+ header marked dual, followed by GDI drawing
//                records, which are drawn as in any metafile;
//   OnlyEmfPlus  an EMF+ header not marked dual, or one marked dual with no
//                GDI drawing record after it: drawing it shows none of its picture.
enum class TEmfPlusContent : uint8_t { None, Dual, OnlyEmfPlus };

// What a playback left out.
struct TPlaybackReport {
  // Each record type the player has no handler for, with how many records of
  // it came. Records read and deliberately left (comments, colour
  // management, layout) are not counted.
  std::map<uint32_t, uint64_t> skipped;
  // The well-formed EMF+ records in the comments played, none of them drawn.
  uint64_t emfPlusRecords = 0;
};

class TMetafile : public TGraphic {
 public:
  TMetafile() = default;
  const char* ClassName() const override { return "TMetafile"; }
  int32_t Width() const override { return width_; }
  int32_t Height() const override { return height_; }
  bool Empty() const override { return !data_; }

  // Plays the records so that the frame covers columns r.left..r.right-1 and
  // rows r.top..r.bottom-1, aliased, changing only the pixels they paint;
  // the canvas's own state is restored afterwards.
  void Draw(TCanvas& canvas, const TRect& r) const override;
  std::unique_ptr<TGraphic> Clone() const override;
  // Draws as Draw does and adds to `report` what the playback left out.
  void DrawReporting(TCanvas& canvas, const TRect& r, TPlaybackReport& report) const;
  // The same, adding only the skipped record types to `skipped`.
  void DrawReportingSkipped(TCanvas& canvas, const TRect& r, std::map<uint32_t, uint64_t>& skipped) const;

  // Loads an EMF (the header's byte count of the data), a placeable WMF (the
  // placeable header and the byte count of the metafile header's size) or a
  // standard WMF (the byte count of its header's size), or any of them
  // gzip-compressed (.emz, .wmz: the gzip magic 1F 8B first), inflated only
  // as far as the header inside claims and never beyond 1 GiB
  // (EOutOfMemory; see InflateAsClaimed in graphics/detail/GzipStream.h).
  // Data, or a gzip stream, that ends before its byte count or its end:
  // EReadError "Stream-Lesefehler"; anything else that is no metafile, whose
  // records are malformed, a corrupt gzip stream (bad data or check value)
  // or one holding no metafile: EInvalidGraphic "Metadatei ist ungültig". A
  // standard WMF with neither a window nor any drawing has no size and is
  // invalid too. On failure the metafile keeps its content.
  void LoadFromBytes(const uint8_t* data, size_t size) override;

  // The EMF bytes (empty when empty).
  const std::vector<uint8_t>* Data() const { return data_.get(); }

  // What the metafile holds of EMF+ (None when empty).
  TEmfPlusContent EmfPlusContent() const;

 public:
  // Of a gzip stream only `size`: readers inflate it as they read it
  // (graphics/PictureReading.h), as far as the metafile inside claims.
  uint64_t FileBytesClaimed(const uint8_t* head, size_t size) const override;

 private:
  void LoadUncompressed(const uint8_t* data, size_t size);

  std::shared_ptr<const std::vector<uint8_t>> data_;
  // Converted from a WMF: rectangles keep the compatible graphics
  // mode's rules when played.
  bool fromWindowsMetafile_ = false;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
