#pragma once
// The reading that loading a graphic from a file or a stream shares with
// PictureReading.h: sources over memory, a std::istream and bytes already
// taken, and one graphic's bytes read as far as its header claims.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <vector>

#include <orvane/graphics/Graphic.h>
#include <orvane/rtl/FileStream.h>

namespace orvane::vcl {

// The bytes data..data+size, one piece after another.
rtl::ReadSomeBytes MemoryReader(const uint8_t* data, size_t size);
// The stream's bytes: a stream already failed, or one that fails while it is
// read, raises EReadError.
rtl::ReadSomeBytes StreamReader(std::istream& in);
// `size` bytes already read from the start of `rest` (copied), then `rest`
// itself unless it `ended` with them. `rest` must outlive the result.
rtl::ReadSomeBytes HeadThen(const uint8_t* head, size_t size, bool ended, const rtl::ReadSomeBytes& rest);

// What `graphic` (nullptr: no reader, only the first bytes) takes from
// `source`: its first TGraphic::kClaimHeadBytes, then as far as
// graphic->FileBytesClaimed says (see rtl::ReadAsClaimed; `available` is
// what the source is known to hold). A metafile's gzip stream is inflated
// as it is read (InflateAsClaimed); the bytes returned are then the
// metafile inside, and content that is no metafile (nor another gzip
// stream) raises EInvalidGraphic "Metadatei ist ungültig".
std::vector<uint8_t> ReadGraphicBytes(const rtl::ReadSomeBytes& source, uint64_t available, const TGraphic* graphic);

}  // namespace orvane::vcl
