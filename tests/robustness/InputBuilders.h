#pragma once
// Small builders for the files the readers take in: BMP, icon, placeable
// WMF, sprite and picture-record bytes, and an outcome runner that feeds
// bytes to one reader and reports what happened.

#include <cstdint>
#include <string>
#include <vector>

namespace robust {

using Bytes = std::vector<uint8_t>;

// Little-endian appenders.
void Put16(Bytes& b, uint32_t v);
void Put32(Bytes& b, uint32_t v);
void Patch32(Bytes& b, size_t at, uint32_t v);
Bytes Cat(const Bytes& a, const Bytes& b);

// A BMP file of `width` x `height` 24-bit pixels (bottom-up), every pixel
// blue-green-red = 0x20, 0x40, 0x60; header fields can be patched afterwards.
Bytes Bmp24(int32_t width, int32_t height);
// The same pixels as an icon file with one image (colour bits, then an AND
// mask with every pixel opaque).
Bytes Icon24(int32_t width, int32_t height);
// A placeable WMF with the given records (function, parameter words), box
// 0, 0, right, bottom at `inch` units an inch, ending with the end record.
struct WmfRecord {
  uint16_t function;
  std::vector<uint16_t> params;
};
Bytes PlaceableWmf(const std::vector<WmfRecord>& records, int16_t right = 96, int16_t bottom = 96,
                   uint16_t inch = 96);
constexpr size_t kWmfHeadersSize = 22 + 18;
// A sprite file: width, height, colour plane (r, g, b), coverage plane.
Bytes Sprite(int32_t width, int32_t height);
// A picture record of `className` with `payload` and its byte count (4 + payload).
Bytes PictureRecord(const std::string& className, const Bytes& payload);

// Where each record of a WMF / EMF ends (offsets after each record).
std::vector<size_t> WmfRecordEnds(const Bytes& wmf);
std::vector<size_t> EmfRecordEnds(const Bytes& emf);

enum class Reader { Metafile, Bitmap, Icon, Sprite, PictureRecord, FormDefinition };
const char* ReaderName(Reader reader);

// What a reader made of some bytes: loaded (with its size) or an exception
// of the runtime (its class and text). Whatever loads is also drawn.
struct Outcome {
  bool loaded = false;
  int32_t width = 0, height = 0;
  std::string errorClass;
  std::string message;
};
Outcome RunReader(Reader reader, const Bytes& bytes);
std::string Describe(const Outcome& outcome);

// Runs orvane-render with `arguments` (already quoted) under a German
// locale; its exit status and stderr.
struct ToolResult {
  int status;
  std::string err;
};
ToolResult RunRenderTool(const std::string& arguments);

// Writes a file in one piece.
void WriteFile(const std::string& path, const Bytes& bytes);

// Pages first touched by this process (RUSAGE_SELF) or its finished children
// (RUSAGE_CHILDREN). Work that touched gigabytes would show hundreds of
// thousands of them.
int64_t MinorFaults(int who);
constexpr int64_t kFewFaults = 65536;  // 256 MiB of 4 KiB pages

// Whether page counts measure what a run keeps: AddressSanitizer keeps freed
// memory from being reused and touches its shadow memory along with every
// allocation, so there pages count every short-lived allocation too.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPagesMeasureWhatIsKept = false;
#elif defined(__has_feature)
constexpr bool kPagesMeasureWhatIsKept = !__has_feature(address_sanitizer);
#else
constexpr bool kPagesMeasureWhatIsKept = true;
#endif

}  // namespace robust
