#pragma once
// PNG output through libpng: 8 bits a channel, RGB or RGBA.

#include <cstdint>
#include <string>
#include <vector>

namespace orvanetools {

struct PngImage {
  int32_t width = 0;
  int32_t height = 0;
  int channels = 3;            // 3: RGB, 4: RGBA
  std::vector<uint8_t> pixels;  // rows top first, width * channels bytes each
};

// The PNG file bytes of an image; raises orvane::rtl::EOutOfResources if libpng fails.
std::vector<uint8_t> EncodePng(const PngImage& image);

// Writes the PNG so that the file appears complete or not at all.
void WritePngFile(const std::string& path, const PngImage& image);

// Reads an 8-bit RGB or RGBA PNG (for tests); false when it cannot.
bool ReadPngFile(const std::string& path, PngImage& image);

}  // namespace orvanetools
