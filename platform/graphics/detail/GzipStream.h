#pragma once
// gzip streams (RFC 1952) as .emz and .wmz files hold a metafile, inflated
// with zlib only as far as the picture inside claims, so that a small file
// that would inflate to gigabytes costs what its picture's header says.

#include <cstddef>
#include <cstdint>
#include <vector>

#include <orvane/rtl/FileStream.h>

namespace orvane::vcl {

// Whether `data` starts with the gzip magic 1F 8B.
bool IsGzip(const uint8_t* data, size_t size);

// The picture inside the gzip stream read from `compressed`: its first
// `headBytes` inflated bytes, then as far as `claimedSize` says of them, as
// rtl::ReadAsClaimed reads a source of unknown size: a claim over 1 GiB
// raises EOutOfMemory before more is inflated, and memory follows the bytes
// the stream gives, never past the claim. Once the claim is met, the
// stream's end (with its check value and length) is read too when it comes
// within a few kilobytes more; what lies further is not inflated, as a
// file's bytes past its claim are not read. At most 1 GiB of compressed
// bytes is read (EOutOfMemory).
// A stream that ends before its end (cut short): EReadError; one that is
// no gzip deflate stream, whose data is corrupt, or whose check value or
// length does not match: EInvalidGraphic "Metadatei ist ungültig".
std::vector<uint8_t> InflateAsClaimed(const rtl::ReadSomeBytes& compressed, size_t headBytes,
                                      const rtl::ClaimedFileSize& claimedSize);

}  // namespace orvane::vcl
