#include "PixbufModule.h"

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "MetafileSource.h"

namespace {

using orvane::PixelSize;
using orvane::pixbufloader::FailureKind;
using orvane::pixbufloader::LoadFailure;
using orvane::pixbufloader::MetafileSource;

// What one load keeps between gdk-pixbuf's calls.
struct LoadContext {
  GdkPixbufModuleSizeFunc sizeFunc;
  GdkPixbufModulePreparedFunc preparedFunc;
  GdkPixbufModuleUpdatedFunc updatedFunc;
  gpointer userData;
  std::vector<uint8_t> bytes;  // the file so far
};

GdkPixbufError ErrorCodeFor(FailureKind kind) {
  switch (kind) {
    case FailureKind::NotAMetafile:
    case FailureKind::Unsupported: return GDK_PIXBUF_ERROR_UNKNOWN_TYPE;
    case FailureKind::Corrupt: return GDK_PIXBUF_ERROR_CORRUPT_IMAGE;
    case FailureKind::OutOfMemory: return GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY;
    case FailureKind::TooLarge:
    case FailureKind::Other: break;
  }
  return GDK_PIXBUF_ERROR_FAILED;
}

// Sets the error as a sentence (capital first letter) and returns FALSE.
gboolean Fail(GError** error, GdkPixbufError code, std::string message) {
  if (!message.empty() && message[0] >= 'a' && message[0] <= 'z') message[0] = static_cast<char>(message[0] - 'a' + 'A');
  g_set_error_literal(error, GDK_PIXBUF_ERROR, code, message.c_str());
  return FALSE;
}
gboolean Fail(GError** error, const LoadFailure& failure) {
  return Fail(error, ErrorCodeFor(failure.kind), failure.message);
}
gboolean FailOutOfMemory(GError** error) {
  g_set_error_literal(error, GDK_PIXBUF_ERROR, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY, "Out of memory");
  return FALSE;
}

gpointer BeginLoad(GdkPixbufModuleSizeFunc sizeFunc, GdkPixbufModulePreparedFunc preparedFunc,
                   GdkPixbufModuleUpdatedFunc updatedFunc, gpointer userData, GError** error) {
  auto* context = new (std::nothrow) LoadContext{sizeFunc, preparedFunc, updatedFunc, userData, {}};
  if (!context) FailOutOfMemory(error);
  return context;
}

gboolean LoadIncrement(gpointer data, const guchar* buffer, guint size, GError** error) {
  auto* context = static_cast<LoadContext*>(data);
  try {
    context->bytes.insert(context->bytes.end(), buffer, buffer + size);
    return TRUE;
  } catch (...) {
    return FailOutOfMemory(error);
  }
}

// Reads the collected bytes, offers the picture's size to the program and
// draws it at the size the program settles on.
gboolean LoadPicture(LoadContext& context, GError** error) {
  MetafileSource source;
  if (!source.Load(context.bytes.data(), context.bytes.size())) return Fail(error, source.Failure());
  std::vector<uint8_t>().swap(context.bytes);  // the picture keeps its own copy

  const PixelSize natural = source.NaturalSize();
  int width = static_cast<int>(natural.width), height = static_cast<int>(natural.height);
  if (context.sizeFunc) context.sizeFunc(&width, &height, context.userData);
  // A size of 0 tells that the program wanted only the size and is closing.
  if (width <= 0 || height <= 0) return TRUE;
  const PixelSize size{width, height};
  if (!source.CanDraw(size)) return Fail(error, source.Failure());

  GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
  if (!pixbuf)
    return Fail(error, GDK_PIXBUF_ERROR_INSUFFICIENT_MEMORY,
                "not enough memory for an image of " + std::to_string(width) + "x" + std::to_string(height));
  if (!source.Draw(size, gdk_pixbuf_get_pixels(pixbuf), static_cast<size_t>(gdk_pixbuf_get_rowstride(pixbuf)))) {
    g_object_unref(pixbuf);
    return Fail(error, source.Failure());
  }
  // Handed over whole: the program sees it only once it is drawn.
  if (context.preparedFunc) context.preparedFunc(pixbuf, nullptr, context.userData);
  if (context.updatedFunc) context.updatedFunc(pixbuf, 0, 0, width, height, context.userData);
  g_object_unref(pixbuf);  // the program took its own reference
  return TRUE;
}

gboolean StopLoad(gpointer data, GError** error) {
  const std::unique_ptr<LoadContext> context(static_cast<LoadContext*>(data));
  try {
    return LoadPicture(*context, error);
  } catch (...) {
    // MetafileSource catches everything of its own; this is the strings here.
    return FailOutOfMemory(error);
  }
}

char* Text(const char* text) { return const_cast<char*>(text); }

// An EMF begins with its header record (type 1, a 32-bit little-endian
// word) and has the signature " EMF" at offset 40. The prefix's bytes
// under 'z' and 'x' of the mask are placeholders.
constexpr size_t kEmfSignatureEnd = 44;
constexpr auto kEmfPrefix = [] {
  std::array<char, kEmfSignatureEnd + 1> prefix{};
  for (size_t i = 0; i < kEmfSignatureEnd; ++i) prefix[i] = '_';
  prefix[0] = '\x01';
  prefix[40] = ' ', prefix[41] = 'E', prefix[42] = 'M', prefix[43] = 'F';
  return prefix;
}();
constexpr auto kEmfMask = [] {
  std::array<char, kEmfSignatureEnd + 1> mask{};
  for (size_t i = 0; i < kEmfSignatureEnd; ++i) mask[i] = i == 0 || i >= 40 ? ' ' : i < 4 ? 'z' : 'x';
  return mask;
}();

}  // namespace

extern "C" {

void fill_info(GdkPixbufFormat* info) {
  static GdkPixbufModulePattern signature[] = {
      {Text(kEmfPrefix.data()), Text(kEmfMask.data()), 100},
      {Text("\xD7\xCD\xC6\x9A"), nullptr, 100},  // the placeable WMF key
      // A WMF header without the placeable one: type 1 (in memory) or 2
      // (on disk), then a header of 9 words.
      {Text("\x01_\x09_"), Text(" z z"), 80},
      {Text("\x02_\x09_"), Text(" z z"), 80},
      // gzip with deflate: .emz and .wmz, whose content only inflating tells.
      {Text("\x1F\x8B\x08"), nullptr, 50},
      {nullptr, nullptr, 0},
  };
  // gdk-pixbuf picks a module by the MIME type the shared MIME database
  // gives a file, the signature above only where it is built without one.
  // The compressed forms are named in orvane-picture-mime.xml.
  static char* mimeTypes[] = {Text("image/emf"),
                              Text("image/x-emf"),
                              Text("image/wmf"),
                              Text("image/x-wmf"),
                              Text("image/x-emf-compressed"),
                              Text("image/x-wmf-compressed"),
                              nullptr};
  static char* extensions[] = {Text("emf"), Text("wmf"), Text("emz"), Text("wmz"), nullptr};
  info->name = Text("orvane-metafile");
  info->signature = signature;
  info->domain = Text("orvane-picture");
  info->description = Text("EMF and WMF pictures");
  info->mime_types = mimeTypes;
  info->extensions = extensions;
  info->flags = GDK_PIXBUF_FORMAT_SCALABLE | GDK_PIXBUF_FORMAT_THREADSAFE;
  info->license = Text("");
}

void fill_vtable(GdkPixbufModule* module) {
  module->begin_load = BeginLoad;
  module->load_increment = LoadIncrement;
  module->stop_load = StopLoad;
}

}  // extern "C"
