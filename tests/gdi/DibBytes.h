#pragma once
// Byte builders for DIB, BMP and icon data in tests: little-endian fields
// appended to a vector, so each test spells out exactly the bytes a file holds.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace dibtest {

using Bytes = std::vector<uint8_t>;

inline void Add8(Bytes& b, uint32_t v) { b.push_back(static_cast<uint8_t>(v)); }
inline void Add16(Bytes& b, uint32_t v) {
  Add8(b, v);
  Add8(b, v >> 8);
}
inline void Add32(Bytes& b, uint32_t v) {
  Add16(b, v);
  Add16(b, v >> 16);
}
inline void AddBytes(Bytes& b, std::initializer_list<uint8_t> bytes) { b.insert(b.end(), bytes); }
inline void Append(Bytes& b, const Bytes& more) {
  for (uint8_t v : more) b.push_back(v);
}

// A BITMAPINFOHEADER (40 bytes).
inline Bytes InfoHeader(int32_t width, int32_t height, int bitCount, uint32_t compression = 0, uint32_t colorsUsed = 0,
                        uint32_t sizeImage = 0) {
  Bytes b;
  Add32(b, 40);
  Add32(b, static_cast<uint32_t>(width));
  Add32(b, static_cast<uint32_t>(height));
  Add16(b, 1);
  Add16(b, static_cast<uint32_t>(bitCount));
  Add32(b, compression);
  Add32(b, sizeImage);
  Add32(b, 2835);
  Add32(b, 2835);
  Add32(b, colorsUsed);
  Add32(b, 0);
  return b;
}

// RGBQUAD entries from colour values (red in bits 0-7).
inline void AddPalette(Bytes& b, std::initializer_list<uint32_t> colours) {
  for (uint32_t c : colours) {
    Add8(b, c >> 16);  // blue
    Add8(b, c >> 8);   // green
    Add8(b, c);        // red
    Add8(b, 0);
  }
}

// A BMP file: the 14-byte file header in front of a packed DIB whose bits
// begin at `bitsAt` bytes into the DIB.
inline Bytes BmpFile(const Bytes& dib, uint32_t bitsAt) {
  Bytes b;
  AddBytes(b, {'B', 'M'});
  Add32(b, static_cast<uint32_t>(14 + dib.size()));
  Add32(b, 0);
  Add32(b, 14 + bitsAt);
  Append(b, dib);
  return b;
}

// An icon file with one image.
inline Bytes IconFile(const Bytes& image, int width, int height, int bitCount) {
  Bytes b;
  Add16(b, 0);
  Add16(b, 1);
  Add16(b, 1);
  Add8(b, static_cast<uint32_t>(width));
  Add8(b, static_cast<uint32_t>(height));
  Add8(b, 0);
  Add8(b, 0);
  Add16(b, 1);
  Add16(b, static_cast<uint32_t>(bitCount));
  Add32(b, static_cast<uint32_t>(image.size()));
  Add32(b, 22);
  Append(b, image);
  return b;
}

// A 2 x 1 BMP: blue, then red.
inline Bytes SmallBmp() {
  Bytes dib = InfoHeader(2, 1, 24);
  AddBytes(dib, {0xFF, 0, 0, 0, 0, 0xFF, 0, 0});
  return BmpFile(dib, 40);
}

// A 1 x 1 one-bit icon (colours black and green), its pixel green.
inline Bytes SmallIcon() {
  Bytes image = InfoHeader(1, 2, 1, 0, 2);
  AddPalette(image, {0x000000, 0x00FF00});
  AddBytes(image, {0x80, 0, 0, 0, 0x00, 0, 0, 0});
  return IconFile(image, 1, 1, 1);
}

}  // namespace dibtest
