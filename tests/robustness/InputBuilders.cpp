#include "InputBuilders.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>

#include <orvane/FilteredDraw.h>
#include <orvane/OrvaneBitmap.h>
#include <orvane/backend/HeadlessBackend.h>
#include <orvane/forms/Application.h>
#include <orvane/forms/Form.h>
#include <orvane/forms/FormReader.h>
#include <orvane/graphics/Bitmap.h>
#include <orvane/graphics/Icon.h>
#include <orvane/graphics/Metafile.h>
#include <orvane/graphics/Picture.h>
#include <orvane/rtl/Exceptions.h>

namespace robust {

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Patch32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + static_cast<size_t>(i)) = static_cast<uint8_t>(v >> (8 * i));
}

Bytes Cat(const Bytes& a, const Bytes& b) {
  Bytes out = a;
  out.insert(out.end(), b.begin(), b.end());
  return out;
}

namespace {

// BITMAPINFOHEADER of a 24-bit image whose stored height is `height`.
void InfoHeader(Bytes& b, int32_t width, int32_t height, uint32_t imageBytes) {
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, 0);  // BI_RGB
  Put32(b, imageBytes);
  for (int i = 0; i < 4; ++i) Put32(b, 0);
}

// Bottom-up 24-bit rows of the builders' colour, padded to 4 bytes.
Bytes Pixels24(int32_t width, int32_t height) {
  const size_t row = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
  Bytes bits(row * static_cast<size_t>(height), 0);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = bits.data() + static_cast<size_t>(y) * row + static_cast<size_t>(x) * 3;
      p[0] = 0x20;
      p[1] = 0x40;
      p[2] = 0x60;
    }
  return bits;
}

}  // namespace

Bytes Bmp24(int32_t width, int32_t height) {
  const Bytes bits = Pixels24(width, height);
  Bytes b{'B', 'M'};
  Put32(b, static_cast<uint32_t>(54 + bits.size()));
  Put32(b, 0);
  Put32(b, 54);
  InfoHeader(b, width, height, static_cast<uint32_t>(bits.size()));
  return Cat(b, bits);
}

Bytes Icon24(int32_t width, int32_t height) {
  const Bytes colour = Pixels24(width, height);
  const Bytes mask(static_cast<size_t>((width + 31) / 32 * 4 * height), 0);
  Bytes image;
  InfoHeader(image, width, 2 * height, 0);
  image = Cat(Cat(image, colour), mask);
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, 1);
  b.push_back(static_cast<uint8_t>(width));
  b.push_back(static_cast<uint8_t>(height));
  b.push_back(0);
  b.push_back(0);
  Put16(b, 1);
  Put16(b, 24);
  Put32(b, static_cast<uint32_t>(image.size()));
  Put32(b, 22);
  return Cat(b, image);
}

Bytes PlaceableWmf(const std::vector<WmfRecord>& records, int16_t right, int16_t bottom, uint16_t inch) {
  Bytes body;
  uint32_t largest = 3;
  for (const WmfRecord& r : records) {
    const uint32_t words = 3 + static_cast<uint32_t>(r.params.size());
    largest = std::max(largest, words);
    Put32(body, words);
    Put16(body, r.function);
    for (uint16_t p : r.params) Put16(body, p);
  }
  Put32(body, 3);
  Put16(body, 0);
  Bytes b;
  Put32(b, 0x9AC6CDD7);
  Put16(b, 0);  // hmf
  for (int16_t v : {int16_t{0}, int16_t{0}, right, bottom}) Put16(b, static_cast<uint16_t>(v));
  Put16(b, inch);
  Put32(b, 0);
  Put16(b, 0);  // checksum: not checked
  Put16(b, 1);
  Put16(b, 9);
  Put16(b, 0x300);
  Put32(b, static_cast<uint32_t>(9 + body.size() / 2));
  Put16(b, 8);  // objects
  Put32(b, largest);
  Put16(b, 0);
  return Cat(b, body);
}

Bytes Sprite(int32_t width, int32_t height) {
  Bytes b;
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < pixels; ++i) b.insert(b.end(), {0xC0, 0x80, 0x40});
  b.insert(b.end(), pixels, 0xFF);
  return b;
}

Bytes PictureRecord(const std::string& className, const Bytes& payload) {
  Bytes b{static_cast<uint8_t>(className.size())};
  b.insert(b.end(), className.begin(), className.end());
  Put32(b, static_cast<uint32_t>(4 + payload.size()));
  return Cat(b, payload);
}

std::vector<size_t> WmfRecordEnds(const Bytes& wmf) {
  std::vector<size_t> ends;
  for (size_t pos = kWmfHeadersSize; pos + 6 <= wmf.size();) {
    uint32_t words;
    std::memcpy(&words, wmf.data() + pos, 4);
    if (words < 3) break;
    pos += 2 * size_t{words};
    ends.push_back(pos);
  }
  return ends;
}

std::vector<size_t> EmfRecordEnds(const Bytes& emf) {
  std::vector<size_t> ends;
  for (size_t pos = 0; pos + 8 <= emf.size();) {
    uint32_t size;
    std::memcpy(&size, emf.data() + pos + 4, 4);
    if (size < 8) break;
    pos += size;
    ends.push_back(pos);
  }
  return ends;
}

const char* ReaderName(Reader reader) {
  switch (reader) {
    case Reader::Metafile: return "metafile";
    case Reader::Bitmap: return "bitmap";
    case Reader::Icon: return "icon";
    case Reader::Sprite: return "sprite";
    case Reader::PictureRecord: return "picture record";
    case Reader::FormDefinition: return "form definition";
  }
  return "?";
}

namespace {

// Plain and filtered drawing, and a sprite render. The filtered paths divide
// by the graphic's size and may refuse it (a 0 side); the loaded graphic
// stands either way.
void DrawGraphic(const orvane::vcl::TGraphic* graphic) {
  if (!graphic) return;
  orvane::vcl::TBitmap target;
  target.SetSize(24, 24);
  target.Canvas().StretchDraw(orvane::vcl::Rect(0, 0, 24, 24), graphic);
  target.Canvas().StretchDraw(orvane::vcl::Rect(20, 18, -3, 2), graphic);
  try {
    orvane::OrvaneStretchDraw(target.Canvas(), orvane::vcl::Rect(2, 2, 17, 13), graphic, orvane::opqLow);
  } catch (const orvane::rtl::Exception&) {
  }
  try {
    orvane::TOrvaneBitmap sprite;
    sprite.Render(graphic, 7, 5, orvane::opqMed);
    sprite.Draw(target.Canvas(), 3, 3);
  } catch (const orvane::rtl::Exception&) {
  }
}

template <typename Graphic>
Outcome LoadGraphic(const Bytes& bytes) {
  Graphic graphic;
  graphic.LoadFromBytes(bytes.data(), bytes.size());
  DrawGraphic(&graphic);
  return Outcome{true, graphic.Width(), graphic.Height(), {}, {}};
}

Outcome LoadSprite(const Bytes& bytes) {
  const std::string path = "/tmp/orvane-robust-sprite-" + std::to_string(getpid()) + ".obm";
  WriteFile(path, bytes);
  struct Remove {
    std::string path;
    ~Remove() { std::remove(path.c_str()); }
  } remove{path};
  orvane::TOrvaneBitmap sprite;
  sprite.LoadSpriteFile(path);
  orvane::vcl::TBitmap target;
  target.SetSize(16, 16);
  sprite.Draw(target.Canvas(), -2, 3);
  return Outcome{true, sprite.Width(), sprite.Height(), {}, {}};
}

Outcome LoadPictureRecord(const Bytes& bytes) {
  orvane::vcl::TPicture picture;
  picture.ReadData(bytes.data(), bytes.size());
  DrawGraphic(picture.Graphic());
  return Outcome{true, picture.Width(), picture.Height(), {}, {}};
}

Outcome LoadForm(const Bytes& bytes) {
  static orvane::backend::HeadlessBackend backend;
  static orvane::vcl::TApplication application(backend);
  auto form = std::make_unique<orvane::vcl::TForm>(&application);
  orvane::vcl::ReadFormDefinition(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), *form);
  form->Show();
  application.ProcessMessages();
  backend.ClearMessageBoxes();
  return Outcome{true, form->Width(), form->Height(), {}, {}};
}

}  // namespace

Outcome RunReader(Reader reader, const Bytes& bytes) {
  try {
    switch (reader) {
      case Reader::Metafile: return LoadGraphic<orvane::vcl::TMetafile>(bytes);
      case Reader::Bitmap: return LoadGraphic<orvane::vcl::TBitmap>(bytes);
      case Reader::Icon: return LoadGraphic<orvane::vcl::TIcon>(bytes);
      case Reader::Sprite: return LoadSprite(bytes);
      case Reader::PictureRecord: return LoadPictureRecord(bytes);
      case Reader::FormDefinition: return LoadForm(bytes);
    }
  } catch (const orvane::rtl::Exception& e) {
    return Outcome{false, 0, 0, e.ClassName(), e.Message()};
  }
  return {};
}

ToolResult RunRenderTool(const std::string& arguments) {
  const std::string errFile = "/tmp/orvane-robust-stderr-" + std::to_string(getpid()) + ".txt";
  // Under a German locale: its messages are the runtime's own texts.
  const std::string command = "env -u LC_ALL -u LC_MESSAGES LANG=de_DE.UTF-8 " + std::string(ORVANE_RENDER_PATH) + " " +
                              arguments + " 2>" + errFile + " >/dev/null";
  const int raw = std::system(command.c_str());
  std::ifstream in(errFile);
  std::string err((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(errFile.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, err};
}

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string Describe(const Outcome& o) {
  if (o.loaded) return "loaded " + std::to_string(o.width) + "x" + std::to_string(o.height);
  return o.errorClass + " \"" + o.message + "\"";
}

int64_t MinorFaults(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return usage.ru_minflt;
}

}  // namespace robust
