// Pictures read as far as their headers claim, from files, streams and
// memory alike; gzip streams inflated on the way.

#include <orvane/graphics/PictureReading.h>

#include <algorithm>
#include <cstring>
#include <istream>
#include <memory>

#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/detail/GraphicReading.h>
#include <orvane/graphics/detail/GzipStream.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

rtl::ReadSomeBytes MemoryReader(const uint8_t* data, size_t size) {
  return [data, size, at = size_t{0}](uint8_t* buffer, size_t count) mutable {
    const size_t n = std::min(count, size - at);
    if (n) std::memcpy(buffer, data + at, n);
    at += n;
    return n;
  };
}

rtl::ReadSomeBytes StreamReader(std::istream& in) {
  return [&in](uint8_t* buffer, size_t count) -> size_t {
    if (in.eof()) return 0;
    if (!in) throw rtl::EReadError();
    try {
      in.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(count));
    } catch (...) {
      // A stream told to raise at its end has still delivered what it held;
      // anything else (its buffer raising, say) is a failed read.
      if (in.bad() || !in.eof()) throw rtl::EReadError();
    }
    if (in.bad()) throw rtl::EReadError();
    return static_cast<size_t>(in.gcount());
  };
}

rtl::ReadSomeBytes HeadThen(const uint8_t* head, size_t size, bool ended, const rtl::ReadSomeBytes& rest) {
  return [taken = std::vector<uint8_t>(head, head + size), ended, &rest, at = size_t{0}](uint8_t* buffer,
                                                                                          size_t count) mutable {
    const size_t n = std::min(count, taken.size() - at);
    if (n) std::memcpy(buffer, taken.data() + at, n);
    at += n;
    // A source that has ended is not asked again (a terminal would wait for more).
    if (n == count || ended) return n;
    return n + rest(buffer + n, count - n);
  };
}

std::vector<uint8_t> ReadGraphicBytes(const rtl::ReadSomeBytes& source, uint64_t available, const TGraphic* graphic) {
  const rtl::ClaimedFileSize claimed = [graphic](const uint8_t* head, size_t size) {
    return graphic ? graphic->FileBytesClaimed(head, size) : uint64_t{size};
  };
  if (!dynamic_cast<const TMetafile*>(graphic)) {
    return rtl::ReadAsClaimed(source, TGraphic::kClaimHeadBytes, claimed, available);
  }
  // Metafiles alone come compressed; the first bytes tell.
  uint8_t head[TGraphic::kClaimHeadBytes];
  const size_t wanted = static_cast<size_t>(std::min<uint64_t>(sizeof head, available));
  const size_t got = source(head, wanted);
  const rtl::ReadSomeBytes whole = HeadThen(head, got, got < wanted, source);
  if (IsGzip(head, got)) {
    std::vector<uint8_t> inflated = InflateAsClaimed(whole, TGraphic::kClaimHeadBytes, claimed);
    // What comes out is a metafile (not, say, another gzip stream), so that
    // whoever takes the bytes sees the kind the metafile reader would.
    const TPictureFormat inner = RecognizePictureFormat(inflated.data(), inflated.size());
    if (inner != TPictureFormat::Emf && inner != TPictureFormat::PlaceableWmf && inner != TPictureFormat::StandardWmf)
      throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile);
    return inflated;
  }
  return rtl::ReadAsClaimed(whole, TGraphic::kClaimHeadBytes, claimed, available);
}

namespace {

std::vector<uint8_t> ReadPictureOf(const rtl::ReadSomeBytes& source, uint64_t available, TPictureFormat fallback) {
  uint8_t head[TGraphic::kClaimHeadBytes];
  const size_t wanted = static_cast<size_t>(std::min<uint64_t>(sizeof head, available));
  const size_t got = source(head, wanted);
  TPictureFormat format = RecognizePictureFormat(head, got);
  if (format == TPictureFormat::Unknown) format = fallback;
  const std::unique_ptr<TGraphic> graphic = NewGraphicFor(format);
  return ReadGraphicBytes(HeadThen(head, got, got < wanted, source), available, graphic.get());
}

}  // namespace

std::vector<uint8_t> ReadPicture(const rtl::ReadSomeBytes& source, TPictureFormat fallback) {
  return ReadPictureOf(source, UINT64_MAX, fallback);
}

std::vector<uint8_t> ReadPictureFile(const std::string& path, TPictureFormat fallback) {
  rtl::RegularFileReader file(path);
  return ReadPictureOf([&file](uint8_t* buffer, size_t count) { return file.ReadSome(buffer, count); }, file.Size(),
                       fallback);
}

}  // namespace orvane::vcl
