// Hostile input, reader by reader: every row names the bytes, the reader,
// and what it must come to (a clean load of a given size, or the exception
// class and text the user sees). Files cut short at every record boundary
// must fail with the reader's own error or load what is there. Whatever
// loads is drawn as well, so the sanitizer build sees the playback too.

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "InputBuilders.h"
#include "emf/EmfWriter.h"

using namespace robust;

namespace {

constexpr const char* kMetafileInvalid = "Metadatei ist ungültig";
constexpr const char* kReadError = "Stream-Lesefehler";
constexpr const char* kBitmapInvalid = "Bitmap ist ungültig";
constexpr const char* kIconInvalid = "Symbol ist ungültig";
constexpr const char* kPastEnd = "Versuch hinter dem Dateiende zu lesen";
const std::string kFormLine2 = "Fehler in Formulardefinition, Zeile 2: ";

struct Expect {
  bool loads;
  int32_t width = 0, height = 0;
  std::string errorClass, message;
};
Expect Loads(int32_t w, int32_t h) { return Expect{true, w, h, {}, {}}; }
Expect Fails(const char* cls, const std::string& message) { return Expect{false, 0, 0, cls, message}; }

struct Row {
  const char* name;
  Reader reader;
  Bytes bytes;
  Expect expect;
};

// The fuzz target whose regression folder keeps a row's input.
std::string TargetOf(const Row& row) {
  switch (row.reader) {
    case Reader::Metafile: return row.bytes.size() >= 4 && row.bytes[0] == 0xD7 ? "wmf" : "metafile";
    case Reader::Bitmap: return "bmp";
    case Reader::Icon: return "icon";
    case Reader::Sprite: return "sprite";
    case Reader::PictureRecord: return "picture_record";
    case Reader::FormDefinition: return "form_definition";
  }
  return "";
}

// With ORVANE_DUMP_BAD_INPUTS=<folder>, each hostile row's bytes are also
// written to <folder>/<target>/<row name>, for the fuzz regression folders.
// Sprite rows that load are left out: that folder holds refused files only.
void Dump(const Row& row) {
  const char* folder = std::getenv("ORVANE_DUMP_BAD_INPUTS");
  const std::string name = row.name;
  if (!folder || name.rfind("a valid", 0) == 0 || (row.reader == Reader::Sprite && row.expect.loads)) return;
  std::string file;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) file += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    else if (!file.empty() && file.back() != '-') file += '-';
  }
  while (!file.empty() && file.back() == '-') file.pop_back();
  const std::filesystem::path dir = std::filesystem::path(folder) / TargetOf(row);
  std::filesystem::create_directories(dir);
  WriteFile((dir / file).string(), row.bytes);
}

void Check(const Row& row) {
  Dump(row);
  const Outcome o = RunReader(row.reader, row.bytes);
  const std::string where = std::string(ReaderName(row.reader)) + ": " + row.name + " -> " + Describe(o);
  if (row.expect.loads) {
    ASSERT_TRUE(o.loaded) << where;
    EXPECT_EQ(o.width, row.expect.width) << where;
    EXPECT_EQ(o.height, row.expect.height) << where;
  } else {
    ASSERT_FALSE(o.loaded) << where;
    EXPECT_EQ(o.errorClass, row.expect.errorClass) << where;
    EXPECT_EQ(o.message, row.expect.message) << where;
  }
}

Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A 4 x 4 metafile (one logical unit a pixel): a red rectangle, with `between`
// recorded before it.
Bytes Emf(const std::function<void(orvane::emf::EmfWriter&)>& between = {}) {
  orvane::emf::EmfWriter w(orvane::emf::HeaderForPixels(4, 4, {1000, 1000}, {100, 100}));
  if (between) between(w);
  w.SelectObject(w.CreateBrushIndirect(orvane::emf::BS_SOLID, 0x0000FF));
  w.Rectangle({0, 0, 4, 4});
  return w.Finish();
}

Bytes Words32(std::initializer_list<uint32_t> values) {
  Bytes b;
  for (uint32_t v : values) Put32(b, v);
  return b;
}

// WMF record functions.
constexpr uint16_t kRectangle = 0x041B, kPolygon = 0x0324, kSelectObject = 0x012D, kDeleteObject = 0x01F0,
                   kCreateBrush = 0x02FC, kTextOut = 0x0521, kStretchDib = 0x0F43;

const std::vector<WmfRecord> kWmfRecords = {
    {kCreateBrush, {0, 0x00FF, 0, 0}}, {kSelectObject, {0}}, {kRectangle, {80, 80, 10, 10}}};

std::vector<Row> MetafileRows() {
  std::vector<Row> rows;
  const Bytes good = Emf();
  rows.push_back({"a valid metafile", Reader::Metafile, good, Loads(4, 4)});
  Bytes b = good;
  Patch32(b, orvane::emf::header::kBytes, 0xFFFFFFFF);
  rows.push_back({"byte count 2^32 - 1", Reader::Metafile, b, Fails("EReadError", kReadError)});
  b = good;
  Patch32(b, orvane::emf::header::kBytes, 0);
  rows.push_back({"byte count 0", Reader::Metafile, b, Fails("EInvalidGraphic", kMetafileInvalid)});
  b = good;
  Patch32(b, 4, 0);  // the header record's own size
  rows.push_back({"header record size 0", Reader::Metafile, b, Loads(4, 4)});
  // Frame right at 2^31 - 1 on a device of 2^31 - 1 pixels a millimetre: clamped.
  b = good;
  Patch32(b, 24 + 8, INT32_MAX);
  Patch32(b, 24 + 12, INT32_MAX);
  Patch32(b, 72, INT32_MAX);
  Patch32(b, 76, INT32_MAX);
  Patch32(b, 80, 1);
  Patch32(b, 84, 1);
  rows.push_back({"a 2^31-pixel frame", Reader::Metafile, b, Loads(INT32_MAX, INT32_MAX)});
  // Negative reference millimetres: 40 x 1000 / (-100 x 100) = -4.
  b = good;
  Patch32(b, 80, static_cast<uint32_t>(-100));
  rows.push_back({"negative device size", Reader::Metafile, b, Loads(-4, 4)});
  b = good;
  Patch32(b, 72, 0);
  rows.push_back({"device of 0 pixels", Reader::Metafile, b, Loads(0, 4)});

  const auto withRecord = [&](const char* name, const std::function<void(orvane::emf::EmfWriter&)>& between) {
    rows.push_back({name, Reader::Metafile, Emf(between), Loads(4, 4)});
  };
  withRecord("record size 0", [](orvane::emf::EmfWriter& w) { w.Raw(Words32({orvane::emf::EMR_SAVEDC, 0})); });
  withRecord("record size not a multiple of 4", [](orvane::emf::EmfWriter& w) { w.Raw(Words32({orvane::emf::EMR_SAVEDC, 10, 0})); });
  withRecord("record size 2^32 - 4", [](orvane::emf::EmfWriter& w) { w.Raw(Words32({orvane::emf::EMR_SAVEDC, 0xFFFFFFFC})); });
  withRecord("a million points in a short record",
             [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_POLYGON, Words32({0, 0, 0, 0, 1000000, 1, 1})); });
  withRecord("16-bit point count over 2^32 bytes",
             [](orvane::emf::EmfWriter& w) { w.Record(orvane::emf::EMR_POLYGON16, Words32({0, 0, 0, 0, 0xFFFFFFFF, 0})); });
  withRecord("handle number out of range", [](orvane::emf::EmfWriter& w) {
    w.SelectObject(0xFFFF);
    w.DeleteObject(0x7FFFFFFF);
  });
  withRecord("stock object number as a table index", [](orvane::emf::EmfWriter& w) {
    w.Record(orvane::emf::EMR_CREATEPEN, Words32({orvane::emf::kStockObjectFlag | orvane::emf::BLACK_PEN, 0, 1, 0, 0}));
    w.DeleteObject(orvane::emf::kStockObjectFlag | orvane::emf::WHITE_BRUSH);
  });
  withRecord("2^32 - 1 pen style entries", [](orvane::emf::EmfWriter& w) {
    w.Record(orvane::emf::EMR_EXTCREATEPEN,
             Words32({1, 0, 0, 0, 0, orvane::emf::PS_GEOMETRIC | orvane::emf::PS_USERSTYLE, 3, 0, 0xFF, 0, 0xFFFFFFFF, 1, 1}));
    w.SelectObject(1);
  });
  withRecord("a 2^31-pixel coordinate", [](orvane::emf::EmfWriter& w) {
    w.Rectangle({INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
    w.MoveToEx(INT32_MAX, INT32_MAX);
    w.LineTo(INT32_MIN, 0);
  });
  withRecord("negative pen width and extents", [](orvane::emf::EmfWriter& w) {
    w.SelectObject(w.CreatePen(orvane::emf::PS_SOLID, -5, 0));
    w.SetMapMode(orvane::emf::MM_ANISOTROPIC);
    w.SetWindowExtEx(-1, INT32_MIN);
    w.SetViewportExtEx(INT32_MIN, -1);
  });
  return rows;
}

std::vector<Row> WmfRows() {
  std::vector<Row> rows;
  // 96 units at 96 an inch: one inch, 96 pixels of the 96-dpi reference device.
  rows.push_back({"a valid placeable WMF", Reader::Metafile, PlaceableWmf(kWmfRecords), Loads(96, 96)});
  rows.push_back({"0 units an inch", Reader::Metafile, PlaceableWmf(kWmfRecords, 96, 96, 0),
                  Fails("EInvalidGraphic", kMetafileInvalid)});
  Bytes b = PlaceableWmf(kWmfRecords);
  b[22 + 2] = 0xFF;  // header of 65535 words
  b[22 + 3] = 0xFF;
  rows.push_back({"header size past the end", Reader::Metafile, b, Fails("EInvalidGraphic", kMetafileInvalid)});
  b = PlaceableWmf(kWmfRecords);
  Patch32(b, kWmfHeadersSize, 0);
  rows.push_back({"record size 0", Reader::Metafile, b, Loads(96, 96)});
  b = PlaceableWmf(kWmfRecords);
  Patch32(b, kWmfHeadersSize, 0xFFFFFFFF);
  rows.push_back({"record size 2^32 - 1 words", Reader::Metafile, b, Loads(96, 96)});
  rows.push_back({"32767 points claimed in a short record", Reader::Metafile,
                  PlaceableWmf({{kPolygon, {0x7FFF, 1, 1, 2, 2}}, kWmfRecords[2]}), Loads(96, 96)});
  rows.push_back({"negative point count", Reader::Metafile, PlaceableWmf({{kPolygon, {0x8000, 1, 1}}}),
                  Loads(96, 96)});
  rows.push_back({"object index out of range", Reader::Metafile,
                  PlaceableWmf({{kSelectObject, {0xFFFF}}, {kDeleteObject, {0x8000}}, kWmfRecords[2]}), Loads(96, 96)});
  rows.push_back({"text of 32767 characters in a short record", Reader::Metafile,
                  PlaceableWmf({{kTextOut, {0x7FFF, 0x6261, 10, 10}}, kWmfRecords[2]}), Loads(96, 96)});
  // STRETCHDIB of a 2^16 x 2^16 24-bit image with no bits at all.
  std::vector<uint16_t> dib = {0x0020, 0x00CC, 0, 16, 16, 0, 0, 50, 50, 0, 0};
  for (uint32_t v : {40u, 65536u, 65536u, 1u | (24u << 16), 0u, 0u, 0u, 0u, 0u, 0u}) {
    dib.push_back(static_cast<uint16_t>(v));
    dib.push_back(static_cast<uint16_t>(v >> 16));
  }
  rows.push_back({"an image of 2^32 pixels in a short record", Reader::Metafile,
                  PlaceableWmf({{kStretchDib, dib}, kWmfRecords[2]}), Loads(96, 96)});
  // The box spans 65535 units at 1 an inch: 6291360 pixels.
  Bytes wide = PlaceableWmf(kWmfRecords, 32767, 32767, 1);
  wide[6] = 0x00;
  wide[7] = 0x80;  // left -32768
  wide[8] = 0x00;
  wide[9] = 0x80;  // top -32768
  rows.push_back({"a box of 65535 inches", Reader::Metafile, wide, Loads(6291360, 6291360)});
  return rows;
}

std::vector<Row> BitmapRows() {
  std::vector<Row> rows;
  rows.push_back({"a valid BMP", Reader::Bitmap, Bmp24(2, 2), Loads(2, 2)});
  const auto patched = [&](const char* name, size_t at, uint32_t value) {
    Bytes b = Bmp24(2, 2);
    Patch32(b, at, value);
    rows.push_back({name, Reader::Bitmap, b, Fails("EInvalidGraphic", kBitmapInvalid)});
  };
  patched("width 2^16 and height 2^16: 2^32 pixels in 70 bytes", 18, 65536);
  Patch32(rows.back().bytes, 22, 65536);
  patched("width 2^31 - 1", 18, INT32_MAX);
  patched("negative width", 18, static_cast<uint32_t>(-2));
  patched("height -2^31", 22, 0x80000000);
  patched("data offset 2^32 - 1", 10, 0xFFFFFFFF);
  patched("header size 2^32 - 1", 14, 0xFFFFFFFF);
  patched("header size 0", 14, 0);
  Bytes indexed = Bmp24(2, 2);
  indexed[28] = 8;
  Patch32(indexed, 46, 0xFFFFFFFF);  // colours used
  rows.push_back({"2^32 - 1 palette entries", Reader::Bitmap, indexed, Fails("EInvalidGraphic", kBitmapInvalid)});
  return rows;
}

std::vector<Row> IconRows() {
  std::vector<Row> rows;
  rows.push_back({"a valid icon", Reader::Icon, Icon24(2, 2), Loads(2, 2)});
  const auto patched = [&](const char* name, size_t at, uint32_t value, int width = 4) {
    Bytes b = Icon24(2, 2);
    for (int i = 0; i < width; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
    rows.push_back({name, Reader::Icon, b, Fails("EInvalidGraphic", kIconInvalid)});
  };
  patched("no images", 4, 0, 2);
  patched("65535 images in a short file", 4, 0xFFFF, 2);
  patched("image bytes 2^32 - 1", 6 + 8, 0xFFFFFFFF);
  patched("image offset 2^32 - 1", 6 + 12, 0xFFFFFFFF);
  patched("negative width", 22 + 4, static_cast<uint32_t>(-2));
  patched("negative doubled height", 22 + 8, static_cast<uint32_t>(-4));
  patched("width 2^16 in a 2-pixel image", 22 + 4, 65536);
  patched("header size 2^32 - 1", 22, 0xFFFFFFFF);
  Bytes noMask = Icon24(2, 2);
  noMask.resize(noMask.size() - 8);
  Patch32(noMask, 6 + 8, static_cast<uint32_t>(noMask.size() - 22));
  rows.push_back({"a 24-bit image without its mask", Reader::Icon, noMask, Fails("EInvalidGraphic", kIconInvalid)});
  return rows;
}

std::vector<Row> SpriteRows() {
  std::vector<Row> rows;
  rows.push_back({"a valid sprite", Reader::Sprite, Sprite(2, 1), Loads(2, 1)});
  rows.push_back({"no pixels", Reader::Sprite, Sprite(0, 0), Loads(0, 0)});
  const auto header = [&](const char* name, int32_t w, int32_t h) {
    Bytes b;
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    rows.push_back({name, Reader::Sprite, b, Fails("EInOutError", kPastEnd)});
  };
  header("30000 x 30000 in 8 bytes", 30000, 30000);
  header("negative width", -1, 1);
  header("negative height", 1, -1);
  header("2^16 x 2^16: 2^32 pixels", 65536, 65536);
  header("2^31 - 1 on both sides", INT32_MAX, INT32_MAX);
  Bytes tall;
  Put32(tall, 0);
  Put32(tall, INT32_MAX);
  rows.push_back({"0 x 2^31 - 1", Reader::Sprite, tall, Fails("EOutOfMemory", "Zu wenig Arbeitsspeicher")});
  return rows;
}

std::vector<Row> PictureRecordRows() {
  std::vector<Row> rows;
  const Bytes bmp = Bmp24(2, 2);
  rows.push_back({"a bitmap record", Reader::PictureRecord, PictureRecord("TBitmap", bmp), Loads(2, 2)});
  const auto count = [&](const char* name, uint32_t value) {
    Bytes b = PictureRecord("TBitmap", bmp);
    Patch32(b, 8, value);
    rows.push_back({name, Reader::PictureRecord, b, Fails("EReadError", kReadError)});
  };
  count("byte count exceeding its data", static_cast<uint32_t>(4 + bmp.size() + 1));
  count("byte count 2^32 - 1", 0xFFFFFFFF);
  count("byte count under its own 4 bytes", 3);
  rows.push_back({"empty record", Reader::PictureRecord, {}, Fails("EReadError", kReadError)});
  rows.push_back({"class name longer than the record", Reader::PictureRecord, {255, 'T', 'B'},
                  Fails("EReadError", kReadError)});
  rows.push_back({"unknown class", Reader::PictureRecord, PictureRecord("TJpegImage", bmp), Loads(0, 0)});
  rows.push_back({"an empty icon", Reader::PictureRecord, PictureRecord("TIcon", {}), Loads(0, 0)});
  Bytes cutEmf = Emf();
  cutEmf.resize(cutEmf.size() - 20);
  rows.push_back({"a metafile cut short inside", Reader::PictureRecord, PictureRecord("TMetafile", cutEmf),
                  Fails("EReadError", kReadError)});
  Bytes huge = bmp;
  Patch32(huge, 18, 65536);
  Patch32(huge, 22, 65536);
  rows.push_back({"a 2^32-pixel bitmap inside", Reader::PictureRecord, PictureRecord("TBitmap", huge),
                  Fails("EInvalidGraphic", kBitmapInvalid)});
  return rows;
}

std::vector<Row> FormRows() {
  std::vector<Row> rows;
  const auto form = [](const std::string& body) { return FromText("object F: TForm\n" + body + "end\n"); };
  rows.push_back({"a valid form", Reader::FormDefinition, form("  Width = 120\n  Height = 80\n"), Loads(120, 80)});
  rows.push_back({"coordinate 2^31", Reader::FormDefinition, form("  Left = 2147483648\n"),
                  Fails("EFormDefinitionError", kFormLine2 + "Ungültiger Wert für Eigenschaft Left")});
  rows.push_back({"coordinate -2^31 - 1", Reader::FormDefinition, form("  Top = -2147483649\n"),
                  Fails("EFormDefinitionError", kFormLine2 + "Ungültiger Wert für Eigenschaft Top")});
  rows.push_back({"a number over 64 bits", Reader::FormDefinition, form("  Width = $1FFFFFFFFFFFFFFFF\n"),
                  Fails("EFormDefinitionError", kFormLine2 + "Zahl erwartet")});
  rows.push_back({"a code point past U+10FFFF", Reader::FormDefinition, form("  Caption = #1114112\n"),
                  Fails("EFormDefinitionError", kFormLine2 + "Ungültige Zeichenkette")});
  rows.push_back({"an unterminated string", Reader::FormDefinition, form("  Caption = 'abc\n"),
                  Fails("EFormDefinitionError", kFormLine2 + "Zeichenkette nicht abgeschlossen")});
  rows.push_back({"a NUL in the text", Reader::FormDefinition, Cat(form("  Width = 1"), Bytes{0, '\n'}),
                  Fails("EFormDefinitionError", kFormLine2 + "Zahl erwartet")});
  // Positions and sizes keep within 2^30 - 1 either way, so that sums of two still fit.
  rows.push_back({"a label at 2^31 - 1", Reader::FormDefinition,
                  form("  Width = 50\n  object L: TLabel\n    Left = 2147483647\n  end\n"),
                  Fails("EFormDefinitionError",
                        "Fehler in Formulardefinition, Zeile 4: Ungültiger Wert für Eigenschaft Left")});
  rows.push_back({"a width of 2^30", Reader::FormDefinition, form("  Width = 1073741824\n"),
                  Fails("EFormDefinitionError", kFormLine2 + "Ungültiger Wert für Eigenschaft Width")});
  rows.push_back({"a client height of -2^30", Reader::FormDefinition, form("  ClientHeight = -1073741824\n"),
                  Fails("EFormDefinitionError", kFormLine2 + "Ungültiger Wert für Eigenschaft ClientHeight")});
  rows.push_back({"a label at the edges of the range", Reader::FormDefinition,
                  form("  Width = 50\n  Height = 40\n  object L: TLabel\n    Left = 1073741823\n"
                       "    Top = -1073741823\n    Width = 1073741823\n    Height = 1073741823\n"
                       "    AutoSize = False\n    Caption = 'x'\n  end\n  object M: TLabel\n"
                       "    Left = -1073741823\n    Width = 1073741823\n    Caption = 'y'\n  end\n"),
                  Loads(50, 40)});
  rows.push_back({"fonts of extreme sizes", Reader::FormDefinition,
                  form("  Width = 50\n  Height = 40\n  object L: TLabel\n    Font.Height = -2147483648\n"
                       "    Caption = 'x'\n  end\n  object M: TLabel\n    Font.Size = 2147483647\n"
                       "    Caption = 'y'\n  end\n  object N: TLabel\n    Font.Height = 2147483647\n"
                       "    Caption = 'z'\n  end\n"),
                  Loads(50, 40)});
  // A window far too large for a surface: it loads; its paint fails and is reported.
  rows.push_back({"a window of 2^30 - 1 pixels square", Reader::FormDefinition,
                  form("  Width = 1073741823\n  Height = 1073741823\n"), Loads(1073741823, 1073741823)});
  return rows;
}

TEST(BadInputTableTest, MetafilesAndWindowsMetafiles) {
  for (const Row& row : MetafileRows()) Check(row);
  for (const Row& row : WmfRows()) Check(row);
}

TEST(BadInputTableTest, BitmapsAndIcons) {
  for (const Row& row : BitmapRows()) Check(row);
  for (const Row& row : IconRows()) Check(row);
}

TEST(BadInputTableTest, SpritesAndPictureRecords) {
  for (const Row& row : SpriteRows()) Check(row);
  for (const Row& row : PictureRecordRows()) Check(row);
}

TEST(BadInputTableTest, FormDefinitions) {
  for (const Row& row : FormRows()) Check(row);
}

// Cut points: for metafiles every record end, for the small formats every byte.
TEST(BadInputTableTest, TruncatedMetafilesFailOrPlayWhatIsThere) {
  const Bytes emf = Emf([](orvane::emf::EmfWriter& w) { w.Ellipse({0, 0, 3, 3}); });
  for (size_t end : EmfRecordEnds(emf)) {
    if (end >= emf.size()) continue;
    const Bytes cut(emf.begin(), emf.begin() + static_cast<ptrdiff_t>(end));
    // Not more than 100 bytes: no metafile; longer: fewer bytes than the header says.
    Check({"EMF cut", Reader::Metafile, cut,
           end > 100 ? Fails("EReadError", kReadError) : Fails("EInvalidGraphic", kMetafileInvalid)});
    Bytes patched = cut;
    if (end > 100) {
      Patch32(patched, orvane::emf::header::kBytes, static_cast<uint32_t>(end));
      Check({"EMF cut, byte count matching", Reader::Metafile, patched, Loads(4, 4)});
    }
  }
  const Bytes wmf = PlaceableWmf(kWmfRecords);
  std::vector<size_t> ends = WmfRecordEnds(wmf);
  ends.insert(ends.begin(), {0, 4, 21, 22, 30, kWmfHeadersSize});
  for (size_t end : ends) {
    Bytes cut(wmf.begin(), wmf.begin() + static_cast<ptrdiff_t>(std::min(end, wmf.size())));
    // Without the placeable key, no metafile; short of the whole file, the
    // file ends inside the headers or before the size they give.
    Check({"WMF cut", Reader::Metafile, cut,
           end == 0                ? Fails("EInvalidGraphic", kMetafileInvalid)
           : end < wmf.size() ? Fails("EReadError", kReadError)
                              : Loads(96, 96)});
    if (end >= kWmfHeadersSize) {
      Patch32(cut, 22 + 6, static_cast<uint32_t>((cut.size() - 22) / 2));
      Check({"WMF cut, size matching", Reader::Metafile, cut, Loads(96, 96)});
    }
  }
}

TEST(BadInputTableTest, TruncatedSmallFilesFailWithTheirReadersError) {
  const Bytes bmp = Bmp24(3, 2), ico = Icon24(3, 2), sprite = Sprite(3, 2);
  const Bytes record = PictureRecord("TIcon", ico);
  for (size_t end = 0; end < bmp.size(); ++end)
    Check({"BMP cut", Reader::Bitmap, Bytes(bmp.begin(), bmp.begin() + static_cast<ptrdiff_t>(end)),
           Fails("EInvalidGraphic", kBitmapInvalid)});
  for (size_t end = 0; end < ico.size(); ++end)
    Check({"icon cut", Reader::Icon, Bytes(ico.begin(), ico.begin() + static_cast<ptrdiff_t>(end)),
           Fails("EInvalidGraphic", kIconInvalid)});
  for (size_t end = 0; end < sprite.size(); ++end)
    Check({"sprite cut", Reader::Sprite, Bytes(sprite.begin(), sprite.begin() + static_cast<ptrdiff_t>(end)),
           Fails("EInOutError", kPastEnd)});
  for (size_t end = 0; end < record.size(); ++end)
    Check({"record cut", Reader::PictureRecord, Bytes(record.begin(), record.begin() + static_cast<ptrdiff_t>(end)),
           Fails("EReadError", kReadError)});
}

TEST(BadInputTableTest, TruncatedFormDefinitionsEndUnexpectedly) {
  const std::string text =
      "object F: TForm\n  Width = 120\n  Caption = 'a' +\n    'b'\n  object L: TLabel\n    Left = 3\n  end\nend\n";
  ASSERT_TRUE(RunReader(Reader::FormDefinition, FromText(text)).loaded);
  int line = 1;
  for (size_t end = 0; end + 1 < text.size(); ++end) {
    if (text[end] != '\n') continue;
    // Cut after each line: the reader runs out of text after line `line`.
    const Outcome o = RunReader(Reader::FormDefinition, FromText(text.substr(0, end + 1)));
    ASSERT_FALSE(o.loaded) << line;
    EXPECT_EQ(o.errorClass, "EFormDefinitionError");
    EXPECT_EQ(o.message.rfind("Fehler in Formulardefinition, Zeile ", 0), 0u) << o.message;
    EXPECT_NE(o.message.find(": Unerwartetes Ende der Formulardefinition"), std::string::npos) << o.message;
    ++line;
  }
  EXPECT_EQ(line, 8);
}

}  // namespace
