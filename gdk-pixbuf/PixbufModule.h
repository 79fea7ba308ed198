#pragma once
// The two entry points gdk-pixbuf looks up in a loader module it opens.
// fill_info describes the format (names, MIME types, extensions, content
// signatures); fill_vtable hands over the incremental loading functions,
// which collect the bytes and draw the picture once all have come, at the
// size the program asks for through the size callback.

#define GDK_PIXBUF_ENABLE_BACKEND  // the module interface
#include <gdk-pixbuf/gdk-pixbuf.h>

extern "C" {
G_MODULE_EXPORT void fill_info(GdkPixbufFormat* info);
G_MODULE_EXPORT void fill_vtable(GdkPixbufModule* module);
}
