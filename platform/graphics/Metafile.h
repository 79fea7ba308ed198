#pragma once
// TMetafile: an enhanced metafile (EMF), or a placeable Windows metafile
// (WMF) converted to one, held as immutable bytes that copies share. Its
// size in pixels comes from the header: frame extent (0.01 mm) x device
// pixels / (device millimetres x 100), a 64-bit product rounded half away
// from zero. An empty metafile is 0 x 0 and draws nothing.

#include <map>
#include <memory>
#include <vector>

#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

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
  // Draws as Draw does and adds to `skipped` each record type the player has
  // no handler for, with how many records of it came.
  void DrawReportingSkipped(TCanvas& canvas, const TRect& r, std::map<uint32_t, uint64_t>& skipped) const;

  // Loads an EMF (the header's byte count of the data) or a placeable WMF (the
  // placeable header and the byte count of the metafile header's size). Data
  // that ends before that byte count: EReadError "Stream-Lesefehler"; anything
  // else that is no metafile, or whose records are malformed: EInvalidGraphic
  // "Metadatei ist ungültig". On failure the metafile keeps its content.
  void LoadFromBytes(const uint8_t* data, size_t size) override;

  // The EMF bytes (empty when empty).
  const std::vector<uint8_t>* Data() const { return data_.get(); }

 public:
  uint64_t FileBytesClaimed(const uint8_t* head, size_t size) const override;

 private:
  std::shared_ptr<const std::vector<uint8_t>> data_;
  // Converted from a placeable WMF: rectangles keep the compatible graphics
  // mode's rules when played.
  bool fromWindowsMetafile_ = false;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
