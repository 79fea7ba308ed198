// TPicture: choosing a graphic class by extension, by content or by class
// name, and the picture record of form definitions:
//   1 byte   length n of the class name
//   n bytes  class name ("TMetafile", "TBitmap", "TIcon")
//   4 bytes  little-endian byte count c, counting these 4 bytes themselves
//   c - 4    the graphic's file bytes (EMF, BMP or icon file)

#include <orvane/graphics/Picture.h>

#include <algorithm>
#include <new>

#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/PictureFormat.h>
#include <orvane/graphics/PictureReading.h>
#include <orvane/graphics/detail/GraphicReading.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/FileStream.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

namespace {

constexpr size_t kCountSize = 4;

// The extension as written, without its dot; empty when the file name (the
// part after the last path separator) has none.
std::string ExtensionOf(const std::string& fileName) {
  const size_t slash = fileName.find_last_of('/');
  const size_t dot = fileName.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return fileName.substr(dot + 1);
}

std::unique_ptr<TGraphic> GraphicForClassName(const std::string& name) {
  if (name == "TMetafile") return std::make_unique<TMetafile>();
  if (name == "TBitmap") return std::make_unique<TBitmap>();
  if (name == "TIcon") return std::make_unique<TIcon>();
  return nullptr;
}

}  // namespace

TPicture::~TPicture() = default;

void TPicture::LoadFromFile(const std::string& fileName) {
  std::unique_ptr<TGraphic> graphic = NewGraphicFor(PictureFormatOfName(fileName));
  if (!graphic) throw rtl::EInvalidGraphic(rtl::msg::FormatS(rtl::msg::UnknownExtensionFmt, ExtensionOf(fileName)));
  graphic->LoadFromFile(fileName);
  graphic_ = std::move(graphic);
}

void TPicture::LoadFromBytes(const uint8_t* data, size_t size) {
  std::unique_ptr<TGraphic> graphic = NewGraphicFor(RecognizePictureFormat(data, size));
  if (!graphic) throw rtl::EInvalidGraphic(rtl::msg::FormatS(rtl::msg::UnknownExtensionFmt, ""));
  // What a file read would have refused before reading it.
  if (std::min<uint64_t>(graphic->FileBytesClaimed(data, size), size) > rtl::kLargestReadableFile)
    throw rtl::EOutOfMemory();
  try {
    graphic->LoadFromBytes(data, size);
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
  graphic_ = std::move(graphic);
}

void TPicture::LoadFromStream(std::istream& in) {
  const std::vector<uint8_t> bytes = ReadPicture(StreamReader(in));
  LoadFromBytes(bytes.data(), bytes.size());
}

TMetafile* TPicture::Metafile() {
  if (auto* metafile = dynamic_cast<TMetafile*>(graphic_.get())) return metafile;
  auto fresh = std::make_unique<TMetafile>();
  TMetafile* result = fresh.get();
  graphic_ = std::move(fresh);
  return result;
}

void TPicture::Assign(const TPicture* other) {
  if (other == this) return;
  Assign(other ? other->Graphic() : nullptr);
}

void TPicture::Assign(const TGraphic* graphic) {
  // The copy is made before the held graphic goes, which may be `graphic` itself.
  std::unique_ptr<TGraphic> copy = graphic ? graphic->Clone() : nullptr;
  graphic_ = std::move(copy);
}

void TPicture::ReadData(const uint8_t* data, size_t size) {
  if (!data || size < 1) throw rtl::EReadError();
  const size_t nameLength = data[0];
  if (1 + nameLength > size) throw rtl::EReadError();
  const std::string name(reinterpret_cast<const char*>(data + 1), nameLength);
  std::unique_ptr<TGraphic> graphic = GraphicForClassName(name);
  if (!graphic) {
    graphic_.reset();
    return;
  }
  const uint8_t* p = data + 1 + nameLength;
  const size_t rest = size - 1 - nameLength;
  if (rest < kCountSize) throw rtl::EReadError();
  const uint32_t count = uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
  if (count < kCountSize || count > rest) throw rtl::EReadError();
  // A count of 4 alone stands for an empty graphic of the class.
  try {
    if (count > kCountSize) graphic->LoadFromBytes(p + kCountSize, count - kCountSize);
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
  graphic_ = std::move(graphic);
}

std::vector<uint8_t> TPicture::WriteData() const {
  std::vector<uint8_t> payload;
  if (const auto* metafile = dynamic_cast<const TMetafile*>(graphic_.get())) {
    if (metafile->Data()) payload = *metafile->Data();
  } else if (const auto* bitmap = dynamic_cast<const TBitmap*>(graphic_.get())) {
    payload = bitmap->SaveToBytes();
  } else if (const auto* icon = dynamic_cast<const TIcon*>(graphic_.get())) {
    payload = icon->SaveToBytes();
  } else {
    return {0};  // no graphic (or one without a record form): an empty class name
  }
  const std::string name = graphic_->ClassName();
  const uint64_t count = uint64_t{kCountSize} + payload.size();
  if (count > UINT32_MAX) throw rtl::EOutOfResources();
  std::vector<uint8_t> out;
  out.reserve(1 + name.size() + static_cast<size_t>(count));
  out.push_back(static_cast<uint8_t>(name.size()));
  out.insert(out.end(), name.begin(), name.end());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(count >> (8 * i)));
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

}  // namespace orvane::vcl
