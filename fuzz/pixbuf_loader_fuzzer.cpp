// Fuzz target: any bytes through the gdk-pixbuf loader module's own entry
// points, as gdk-pixbuf calls them: begin_load, the bytes in two pieces,
// stop_load, the size callback asking for at most 40 x 40. A refusal must
// come as a GdkPixbufError; a success must hand over an image of the size
// asked for. Anything else, or a sanitizer report, is a bug.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "PixbufModule.h"

namespace {

struct Outcome {
  int askedWidth = 0;
  int askedHeight = 0;
  GdkPixbuf* pixbuf = nullptr;
};

void AskSmall(gint* width, gint* height, gpointer data) {
  auto* outcome = static_cast<Outcome*>(data);
  *width = outcome->askedWidth = std::min(*width, 40);
  *height = outcome->askedHeight = std::min(*height, 40);
}

void Prepared(GdkPixbuf* pixbuf, GdkPixbufAnimation*, gpointer data) {
  auto* outcome = static_cast<Outcome*>(data);
  if (outcome->pixbuf) std::abort();  // handed over twice
  outcome->pixbuf = GDK_PIXBUF(g_object_ref(pixbuf));
}

void Updated(GdkPixbuf*, int, int, int, int, gpointer) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static GdkPixbufModule module = [] {
    GdkPixbufModule m{};
    fill_vtable(&m);
    return m;
  }();
  Outcome outcome;
  GError* error = nullptr;
  gpointer context = module.begin_load(AskSmall, Prepared, Updated, &outcome, &error);
  if (!context) std::abort();
  const size_t half = size / 2;
  const bool fed = module.load_increment(context, data, static_cast<guint>(half), &error) &&
                   module.load_increment(context, data + half, static_cast<guint>(size - half), &error);
  if (!fed) std::abort();  // collecting bytes fails only without memory
  const bool loaded = module.stop_load(context, &error);
  if (loaded != (error == nullptr)) std::abort();
  if (error && error->domain != GDK_PIXBUF_ERROR) std::abort();
  if (loaded && (!outcome.pixbuf || gdk_pixbuf_get_width(outcome.pixbuf) != outcome.askedWidth ||
                 gdk_pixbuf_get_height(outcome.pixbuf) != outcome.askedHeight))
    std::abort();
  if (outcome.pixbuf) g_object_unref(outcome.pixbuf);
  g_clear_error(&error);
  return 0;
}
