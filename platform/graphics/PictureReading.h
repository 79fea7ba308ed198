#pragma once
// Reading a picture whose kind its content tells (PictureFormat.h) from a
// file or any other source, the way TGraphic::LoadFromFile reads a file:
// the first TGraphic::kClaimHeadBytes, then only as far as the header of the
// kind they show claims (of bytes no reader knows, only those first bytes),
// never beyond 1 GiB. A gzip stream is inflated as it is read, only as far
// as the header of the metafile inside claims (see Metafile.h for its
// errors); what is returned is then that metafile's bytes. The result goes
// to TPicture::LoadFromBytes or to the graphic of its kind.

#include <cstdint>
#include <string>
#include <vector>

#include <orvane/graphics/PictureFormat.h>
#include <orvane/rtl/FileStream.h>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::vcl {

// From `source` (see rtl::ReadSomeBytes), of unknown size: a claim over
// 1 GiB raises EOutOfMemory before the rest is read, and memory follows the
// bytes that arrive. Bytes whose content shows no kind are read as
// `fallback` claims (Unknown: only their first bytes).
std::vector<uint8_t> ReadPicture(const rtl::ReadSomeBytes& source, TPictureFormat fallback = TPictureFormat::Unknown);

// The same of a regular file (rtl::ReadFileAsClaimed: EFOpenError for a path
// that cannot be opened or is no regular file, EReadError when a read fails;
// a claim beyond the file's end reads to its end).
std::vector<uint8_t> ReadPictureFile(const std::string& path, TPictureFormat fallback = TPictureFormat::Unknown);

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
