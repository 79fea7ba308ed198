#include <orvane/graphics/detail/GzipStream.h>

#include <zlib.h>

#include <algorithm>
#include <new>

#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

namespace {

constexpr size_t kInputChunk = 64 * 1024;
// How far past the claim the stream's end is looked for.
constexpr size_t kEndWindow = 4096;

[[noreturn]] void Corrupt() { throw rtl::EInvalidGraphic(rtl::msg::InvalidMetafile); }

// One gzip member inflated piece by piece from its source.
class Inflater {
 public:
  explicit Inflater(const rtl::ReadSomeBytes& compressed) : compressed_(compressed), input_(kInputChunk) {
    // 15 window bits, +16: the gzip wrapper only, its check value tested at the end.
    const int rc = inflateInit2(&stream_, 15 + 16);
    if (rc == Z_MEM_ERROR) throw rtl::EOutOfMemory();
    if (rc != Z_OK) Corrupt();
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;

  // As rtl::ReadSomeBytes: 0 once the stream has ended.
  size_t ReadSome(uint8_t* out, size_t count) {
    size_t done = 0;
    while (done < count && !ended_) done += Step(out + done, count - done);
    return done;
  }

  // Inflates on, into scratch memory, to the stream's end if it comes within `window` more bytes.
  void ReadEndWithin(size_t window) {
    uint8_t scratch[kEndWindow];
    while (!ended_ && window > 0) window -= Step(scratch, std::min(window, sizeof scratch));
  }

 private:
  // One call of inflate, with more input first when it has used all it had;
  // returns the bytes it gave.
  size_t Step(uint8_t* out, size_t count) {
    if (stream_.avail_in == 0) {
      const size_t got = compressed_(input_.data(), input_.size());
      if (got == 0) throw rtl::EReadError();  // the source ends inside the stream
      read_ += got;
      if (read_ > rtl::kLargestReadableFile) throw rtl::EOutOfMemory();
      stream_.next_in = input_.data();
      stream_.avail_in = static_cast<uInt>(got);
    }
    const uInt room = static_cast<uInt>(std::min<size_t>(count, kInputChunk * 16));
    const uInt inputBefore = stream_.avail_in;
    stream_.next_out = out;
    stream_.avail_out = room;
    const int rc = inflate(&stream_, Z_NO_FLUSH);
    const size_t made = room - stream_.avail_out;
    if (rc == Z_STREAM_END) {
      ended_ = true;
    } else if (rc == Z_MEM_ERROR) {
      throw rtl::EOutOfMemory();
    } else if (rc != Z_OK && !(rc == Z_BUF_ERROR && (made > 0 || stream_.avail_in != inputBefore))) {
      Corrupt();  // bad data, a wrong check value, or no progress possible
    }
    return made;
  }

  const rtl::ReadSomeBytes& compressed_;
  std::vector<uint8_t> input_;
  z_stream stream_{};
  uint64_t read_ = 0;
  bool ended_ = false;
};

}  // namespace

bool IsGzip(const uint8_t* data, size_t size) { return data && size >= 2 && data[0] == 0x1F && data[1] == 0x8B; }

std::vector<uint8_t> InflateAsClaimed(const rtl::ReadSomeBytes& compressed, size_t headBytes,
                                      const rtl::ClaimedFileSize& claimedSize) {
  try {
    Inflater inflater(compressed);
    std::vector<uint8_t> picture = rtl::ReadAsClaimed(
        [&inflater](uint8_t* buffer, size_t count) { return inflater.ReadSome(buffer, count); }, headBytes,
        claimedSize);
    inflater.ReadEndWithin(kEndWindow);
    return picture;
  } catch (const std::bad_alloc&) {
    throw rtl::EOutOfMemory();
  }
}

}  // namespace orvane::vcl
