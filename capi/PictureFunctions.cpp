// Loading pictures and what can be asked of them.

#include <map>
#include <string>
#include <vector>

#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/PictureReading.h>
#include <orvane/orvane.h>
#include <orvane/rtl/Exceptions.h>
#include "CallGuard.h"
#include "PictureHandle.h"

namespace {

using orvane::capi::CallGuard;
using orvane::capi::Require;
namespace vcl = orvane::vcl;

// The extension of a path's last component, lower case ("" for none).
std::string LowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/'), dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return ext;
}

const vcl::TMetafile* MetafileOf(const orvane_picture* picture) {
  return dynamic_cast<const vcl::TMetafile*>(picture->graphic.get());
}

}  // namespace

extern "C" {

orvane_status orvane_picture_load_bytes(const void* data, size_t size, orvane_picture** picture) {
  return CallGuard([&] {
    Require(data && picture, "data and picture must not be NULL");
    *picture = orvane::capi::LoadPicture(static_cast<const uint8_t*>(data), size, vcl::TPictureFormat::Unknown, "")
                   .release();
  });
}

orvane_status orvane_picture_load_file(const char* path, orvane_picture** picture) {
  return CallGuard([&] {
    Require(path && picture, "path and picture must not be NULL");
    const vcl::TPictureFormat byName = vcl::PictureFormatOfName(path);
    std::vector<uint8_t> bytes;
    try {
      bytes = vcl::ReadPictureFile(path, byName);
    } catch (const orvane::rtl::EReadError& e) {
      throw orvane::capi::FileReadFailure(e.what());  // a failed read, not data cut short
    }
    *picture = orvane::capi::LoadPicture(bytes.data(), bytes.size(), byName, LowerExtension(path)).release();
  });
}

void orvane_picture_free(orvane_picture* picture) { delete picture; }

orvane_status orvane_picture_size(const orvane_picture* picture, int32_t* width, int32_t* height) {
  return CallGuard([&] {
    Require(picture && width && height, "picture, width and height must not be NULL");
    *width = picture->graphic->Width();
    *height = picture->graphic->Height();
  });
}

orvane_status orvane_picture_physical_size(const orvane_picture* picture, double* inches_wide, double* inches_high,
                                           int* stated) {
  return CallGuard([&] {
    Require(picture && inches_wide && inches_high, "picture, inches_wide and inches_high must not be NULL");
    *inches_wide = picture->inchesWide;
    *inches_high = picture->inchesHigh;
    if (stated) *stated = picture->stated ? 1 : 0;
  });
}

orvane_status orvane_picture_emf_plus(const orvane_picture* picture, orvane_emf_plus* content) {
  return CallGuard([&] {
    Require(picture && content, "picture and content must not be NULL");
    const vcl::TMetafile* metafile = MetafileOf(picture);
    switch (metafile ? metafile->EmfPlusContent() : vcl::TEmfPlusContent::None) {
      case vcl::TEmfPlusContent::None: *content = ORVANE_EMF_PLUS_NONE; break;
      case vcl::TEmfPlusContent::Dual: *content = ORVANE_EMF_PLUS_DUAL; break;
      case vcl::TEmfPlusContent::OnlyEmfPlus: *content = ORVANE_EMF_PLUS_ONLY; break;
    }
  });
}

orvane_status orvane_picture_records_not_drawn(const orvane_picture* picture, orvane_record_count* records,
                                               size_t capacity, size_t* count) {
  return CallGuard([&] {
    Require(picture && count && (records || capacity == 0), "picture, count and records must not be NULL");
    std::map<uint32_t, uint64_t> skipped;
    if (const vcl::TMetafile* metafile = MetafileOf(picture)) {
      // The player skips by record type whatever the target: one pixel tells.
      vcl::TBitmap scratch;
      scratch.SetSize(1, 1);
      metafile->DrawReportingSkipped(scratch.Canvas(), vcl::Rect(0, 0, 1, 1), skipped);
    }
    size_t i = 0;
    for (auto it = skipped.begin(); it != skipped.end() && i < capacity; ++it, ++i)
      records[i] = orvane_record_count{it->first, it->second};
    *count = skipped.size();
  });
}

}  // extern "C"
