#pragma once
// TGraphic: the base of every picture kind (bitmap, metafile, icon). A
// graphic reports its size in pixels and draws itself stretched into a
// rectangle of a canvas.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include <orvane/graphics/GraphicsTypes.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TCanvas;

class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual const char* ClassName() const = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual bool Empty() const { return Width() == 0 || Height() == 0; }
  // Draws the graphic so that it covers columns r.left..r.right-1 and rows r.top..r.bottom-1.
  virtual void Draw(TCanvas& canvas, const TRect& r) const = 0;
  // A copy of the graphic (immutable data may be shared).
  virtual std::unique_ptr<TGraphic> Clone() const = 0;
  // Replaces the content by the data of a file of this kind; raises on bad data.
  virtual void LoadFromBytes(const uint8_t* data, size_t size) = 0;
  // Reads the file only as far as its header says it reaches (see
  // rtl::ReadFileAsClaimed), then loads those bytes. Memory that cannot be had
  // raises EOutOfMemory. A metafile's gzip stream is inflated as it is read,
  // only as far as the metafile inside claims (PictureReading.h).
  void LoadFromFile(const std::string& fileName);
  // The same from the stream's current position on, the stream left after
  // the bytes taken (a gzip stream's compressed bytes are taken 64 KiB at a
  // time, so there it may be left further on). A stream does not say how
  // much it holds: a claim over 1 GiB raises EOutOfMemory before more is
  // read. A stream that is already failed, or fails as it is read, raises
  // EReadError "Stream-Lesefehler"; one that ends before its header's claim
  // is refused as a file cut short is.
  void LoadFromStream(std::istream& in);

  // Enough of a file's start for FileBytesClaimed to find the size it claims.
  static constexpr size_t kClaimHeadBytes = 64;
  // The bytes a file of this kind holds, by its first bytes `head` (at most
  // kClaimHeadBytes). Kinds without a size in their header read the whole file.
  virtual uint64_t FileBytesClaimed(const uint8_t* head, size_t size) const;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
