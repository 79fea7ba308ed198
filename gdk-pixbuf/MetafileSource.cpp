#include "MetafileSource.h"

#include <cstring>
#include <exception>
#include <new>

#include <orvane/FilteredDraw.h>
#include <orvane/RgbaImage.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/PictureFormat.h>
#include <orvane/rtl/EnglishMessages.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::pixbufloader {

namespace {

bool IsMetafileFormat(vcl::TPictureFormat format) {
  using vcl::TPictureFormat;
  return format == TPictureFormat::Emf || format == TPictureFormat::PlaceableWmf ||
         format == TPictureFormat::StandardWmf || format == TPictureFormat::Gzip;
}

LoadFailure InvalidMetafile() { return {FailureKind::Corrupt, rtl::EnglishMessage(rtl::msg::InvalidMetafile)}; }

// The failure the exception being handled stands for; called only inside a catch.
LoadFailure CurrentFailure() {
  try {
    throw;
  } catch (const rtl::EOutOfMemory& e) {
    return {FailureKind::OutOfMemory, rtl::EnglishMessage(e.Message())};
  } catch (const std::bad_alloc&) {
    return {FailureKind::OutOfMemory, rtl::EnglishMessage(rtl::EOutOfMemory().Message())};
  } catch (const rtl::EMathError&) {
    // A header whose physical size is 0: no pixel size can be worked out.
    return InvalidMetafile();
  } catch (const rtl::EInvalidGraphic& e) {
    return {FailureKind::Corrupt, rtl::EnglishMessage(e.Message())};
  } catch (const rtl::EStreamError& e) {
    return {FailureKind::Corrupt, rtl::EnglishMessage(e.Message())};
  } catch (const rtl::Exception& e) {
    return {FailureKind::Other, rtl::EnglishMessage(e.Message())};
  } catch (const std::exception& e) {
    return {FailureKind::Other, e.what()};
  } catch (...) {
    return {FailureKind::Other, rtl::EnglishMessage(rtl::msg::UnknownException)};
  }
}

std::string SizeText(PixelSize size) { return std::to_string(size.width) + "x" + std::to_string(size.height); }

}  // namespace

bool MetafileSource::Load(const uint8_t* data, size_t size) {
  try {
    // TPicture reads bitmaps and icons too; gdk-pixbuf has its own loaders for those.
    if (!IsMetafileFormat(vcl::RecognizePictureFormat(data, size))) {
      failure_ = {FailureKind::NotAMetafile, "not an EMF or WMF picture"};
      return false;
    }
    picture_.LoadFromBytes(data, size);
    const auto* metafile = dynamic_cast<const vcl::TMetafile*>(picture_.Graphic());
    if (!metafile) {
      failure_ = {FailureKind::NotAMetafile, "not an EMF or WMF picture"};
      return false;
    }
    if (metafile->Width() <= 0 || metafile->Height() <= 0) {
      failure_ = InvalidMetafile();
      return false;
    }
    if (metafile->EmfPlusContent() == vcl::TEmfPlusContent::OnlyEmfPlus) {
      failure_ = {FailureKind::Unsupported, "the picture holds only EMF+ records, which are not drawn"};
      return false;
    }
    return true;
  } catch (...) {
    failure_ = CurrentFailure();
    return false;
  }
}

PixelSize MetafileSource::NaturalSize() const {
  return SizeFor(PictureSize::Natural(), PixelSize{picture_.Width(), picture_.Height()});
}

bool MetafileSource::CanDraw(PixelSize size) {
  if (IsDrawableSize(size)) return true;
  failure_ = {FailureKind::TooLarge, "the size asked for, " + SizeText(size) + ", is outside 1x1 to " +
                                         SizeText({kLargestPictureSide, kLargestPictureSide})};
  return false;
}

bool MetafileSource::Draw(PixelSize size, uint8_t* pixels, size_t stride) {
  if (!CanDraw(size)) return false;
  try {
    const RgbaOptions options{{opqHigh, ThinLines::OnePixel}, AlphaMode::Straight};
    const auto rowBytes = static_cast<size_t>(size.width) * 4;
    const PixelSize drawn = DrawRgbaRows(
        *picture_.Graphic(), PictureSize::Exact(static_cast<int32_t>(size.width), static_cast<int32_t>(size.height)),
        options, [&](const RgbaRows& rows) {
          if (rows.width != size.width || rows.top < 0 || rows.count < 0 || rows.top + rows.count > size.height)
            throw rtl::EInvalidOperation(rtl::msg::NegativeSize);
          for (int32_t i = 0; i < rows.count; ++i)
            std::memcpy(pixels + static_cast<size_t>(rows.top + i) * stride, rows.Row(i), rowBytes);
        });
    if (drawn != size) throw rtl::EInvalidOperation(rtl::msg::NegativeSize);
    return true;
  } catch (...) {
    failure_ = CurrentFailure();
    return false;
  }
}

}  // namespace orvane::pixbufloader
