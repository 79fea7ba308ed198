#pragma once
// TPicture: the picture container. It holds one graphic at most and owns it.
// Loading a file picks the graphic class by the file's extension, without
// regard to case ("wmf", "emf", "wmz", "emz" -> TMetafile, "bmp" -> TBitmap,
// "ico" -> TIcon); loading bytes or a stream picks it by their content
// (PictureFormat.h). The new graphic replaces the held one only once it has
// loaded.

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

class TMetafile;

class TPicture {
 public:
  TPicture() = default;
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // "Unbekannte Bilddateierweiterung (.%s)" for an unknown extension,
  // EFOpenError with the name as passed when the file cannot be opened, and
  // the graphic's own errors for bad data.
  void LoadFromFile(const std::string& fileName);
  // The picture `data` holds, of the kind its content shows, with the limits
  // and errors of loading a file: the graphic's own errors for bad data, and
  // EOutOfMemory for a header claiming more than 1 GiB of what is there.
  // Content no reader knows: "Unbekannte Bilddateierweiterung (.)".
  void LoadFromBytes(const uint8_t* data, size_t size);
  // The same from the stream's current position on, read as files are (see
  // PictureReading.h): only as far as the header claims, a gzip stream
  // inflated on the way. A failed stream, or one that fails as it is read:
  // EReadError "Stream-Lesefehler".
  void LoadFromStream(std::istream& in);

  TGraphic* Graphic() const { return graphic_.get(); }
  // The held graphic as a metafile: a graphic of another class, or none, is
  // first replaced by a new, empty metafile.
  TMetafile* Metafile();

  int32_t Width() const { return graphic_ ? graphic_->Width() : 0; }
  int32_t Height() const { return graphic_ ? graphic_->Height() : 0; }

  // Takes a copy of another picture's graphic, of a graphic, or (nullptr) empties.
  void Assign(const TPicture* other);
  void Assign(const TGraphic* graphic);

  // The picture record of a form definition: class-name length (1 byte), the
  // class name, then the graphic's own data (for a metafile a 32-bit
  // little-endian byte count that includes itself, then the metafile). An
  // unknown class name leaves the picture empty; bad data raises.
  void ReadData(const uint8_t* data, size_t size);
  std::vector<uint8_t> WriteData() const;

 private:
  std::unique_ptr<TGraphic> graphic_;
};

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
