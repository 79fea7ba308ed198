// The gdk-pixbuf loader module as programs meet it, through gdk-pixbuf
// with the build's loader cache (GDK_PIXBUF_MODULE_FILE). Each picture,
// loaded at its own size, at a size asked for, and fed to a loader in small
// pieces, has the pixels orvane-render draws of it at the same size (the
// tool's PNG read back with gdk-pixbuf's PNG loader). Malformed files give
// a GdkPixbufError with an English message.
//
// Usage: pixbuf_loader_test RENDER SOURCE_DIR WORK_DIR
//          WORK_DIR holds shapes.emz (made by the test's setup) and gets
//          the tool's PNGs and the malformed files
//        pixbuf_loader_test --same-as-render RENDER PICTURE PNG BOX
//          PNG (a thumbnail) fits BOX x BOX, touches it with one side, and
//          has the pixels the tool draws of PICTURE at the PNG's size

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;

static void Fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  fputs("FAIL: ", stderr);
  vfprintf(stderr, format, args);
  fputc('\n', stderr);
  va_end(args);
  ++failures;
}

// The tool's drawing of `picture` at width x height (0 x 0: its own size),
// written to `png` and read back.
static GdkPixbuf* DrawnByTool(const char* render, const char* picture, int width, int height, const char* png) {
  char size[32];
  snprintf(size, sizeof size, "%dx%d", width, height);
  char* withSize[] = {(char*)render, "--size", size, (char*)picture, (char*)png, NULL};
  char* natural[] = {(char*)render, (char*)picture, (char*)png, NULL};
  gint status = 0;
  GError* error = NULL;
  if (!g_spawn_sync(NULL, width > 0 ? withSize : natural, NULL, G_SPAWN_DEFAULT, NULL, NULL, NULL, NULL, &status,
                    &error) ||
      !g_spawn_check_wait_status(status, &error)) {
    Fail("%s: orvane-render %s: %s", picture, size, error->message);
    g_error_free(error);
    return NULL;
  }
  GdkPixbuf* drawn = gdk_pixbuf_new_from_file(png, &error);
  if (!drawn) {
    Fail("%s: reading %s: %s", picture, png, error->message);
    g_error_free(error);
  }
  return drawn;
}

// Whether `got` has the pixels of `want`; a difference is reported with its
// extent and the first pixel that differs.
static void ExpectSamePixels(const char* what, GdkPixbuf* got, GdkPixbuf* want) {
  if (!got || !want) return;
  const int width = gdk_pixbuf_get_width(want), height = gdk_pixbuf_get_height(want);
  if (gdk_pixbuf_get_width(got) != width || gdk_pixbuf_get_height(got) != height) {
    Fail("%s: %dx%d, the tool's PNG is %dx%d", what, gdk_pixbuf_get_width(got), gdk_pixbuf_get_height(got), width,
         height);
    return;
  }
  if (!gdk_pixbuf_get_has_alpha(got) || gdk_pixbuf_get_n_channels(got) != 4 || gdk_pixbuf_get_n_channels(want) != 4) {
    Fail("%s: not RGBA with alpha", what);
    return;
  }
  const guchar* gotPixels = gdk_pixbuf_read_pixels(got);
  const guchar* wantPixels = gdk_pixbuf_read_pixels(want);
  long differing = 0;
  int firstX = -1, firstY = -1, largest = 0;
  for (int y = 0; y < height; ++y) {
    const guchar* g = gotPixels + (size_t)y * gdk_pixbuf_get_rowstride(got);
    const guchar* w = wantPixels + (size_t)y * gdk_pixbuf_get_rowstride(want);
    for (int x = 0; x < width; ++x) {
      int pixelDiffers = 0;
      for (int c = 0; c < 4; ++c) {
        const int d = abs(g[x * 4 + c] - w[x * 4 + c]);
        if (d > largest) largest = d;
        pixelDiffers |= d != 0;
      }
      if (pixelDiffers && differing++ == 0) firstX = x, firstY = y;
    }
  }
  if (differing)
    Fail("%s: %ld of %d pixels differ from the tool's (largest channel difference %d, first at %d,%d)", what,
         differing, width * height, largest, firstX, firstY);
}

// The pictures and the box each is asked to fit; the boxes are smaller than
// the pictures and of another aspect ratio.
static const struct {
  const char* name;
  const char* path;  // below SOURCE_DIR, or (in_work) WORK_DIR
  gboolean in_work;
  int box_width, box_height;
} kPictures[] = {
    {"EMF", "demo/data/Socer.EMF", FALSE, 150, 90},
    {"WMF", "fuzz/corpus/wmf/shapes.wmf", FALSE, 100, 100},
    {"EMZ", "shapes.emz", TRUE, 70, 40},
};

// The picture fed to a loader of the module's format in pieces of `piece`
// bytes, asked for width x height.
static GdkPixbuf* LoadInPieces(const char* path, int width, int height, gsize piece) {
  gchar* bytes = NULL;
  gsize length = 0;
  GError* error = NULL;
  GdkPixbuf* result = NULL;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("orvane-metafile", &error);
  if (loader && g_file_get_contents(path, &bytes, &length, &error)) {
    gdk_pixbuf_loader_set_size(loader, width, height);
    gboolean written = TRUE;
    for (gsize at = 0; written && at < length; at += piece)
      written = gdk_pixbuf_loader_write(loader, (const guchar*)bytes + at, MIN(piece, length - at), &error);
    if (gdk_pixbuf_loader_close(loader, written ? &error : NULL) && written) {
      result = gdk_pixbuf_loader_get_pixbuf(loader);
      if (result) g_object_ref(result);
    }
  }
  if (error) {
    Fail("%s in pieces: %s", path, error->message);
    g_error_free(error);
  } else if (!result) {
    Fail("%s in pieces: closed without an image", path);
  }
  if (loader) g_object_unref(loader);
  g_free(bytes);
  return result;
}

static void CheckPicture(const char* render, const char* sourceDir, const char* workDir, int i) {
  gchar* path = g_build_filename(kPictures[i].in_work ? workDir : sourceDir, kPictures[i].path, NULL);
  gchar* naturalPng = g_strdup_printf("%s/%s-natural.png", workDir, kPictures[i].name);
  gchar* sizedPng = g_strdup_printf("%s/%s-sized.png", workDir, kPictures[i].name);
  GError* error = NULL;

  // Its own size, as gdk-pixbuf reports it and draws it.
  int naturalWidth = 0, naturalHeight = 0;
  GdkPixbufFormat* format = gdk_pixbuf_get_file_info(path, &naturalWidth, &naturalHeight);
  gchar* formatName = format ? gdk_pixbuf_format_get_name(format) : NULL;
  if (!formatName || strcmp(formatName, "orvane-metafile") != 0)
    Fail("%s: read as format %s, not by the module", path, formatName ? formatName : "(none)");
  g_free(formatName);
  GdkPixbuf* natural = gdk_pixbuf_new_from_file(path, &error);
  if (!natural) {
    Fail("%s: %s", path, error->message);
    g_clear_error(&error);
  }
  GdkPixbuf* naturalByTool = DrawnByTool(render, path, 0, 0, naturalPng);
  if (naturalByTool && (naturalWidth != gdk_pixbuf_get_width(naturalByTool) ||
                        naturalHeight != gdk_pixbuf_get_height(naturalByTool)))
    Fail("%s: file info says %dx%d, the tool draws it %dx%d", path, naturalWidth, naturalHeight,
         gdk_pixbuf_get_width(naturalByTool), gdk_pixbuf_get_height(naturalByTool));
  gchar* what = g_strdup_printf("%s at its own size", kPictures[i].name);
  ExpectSamePixels(what, natural, naturalByTool);
  g_free(what);

  // Asked to fit a box: drawn at the size gdk-pixbuf settles on, not scaled afterwards.
  const int boxWidth = kPictures[i].box_width, boxHeight = kPictures[i].box_height;
  GdkPixbuf* sized = gdk_pixbuf_new_from_file_at_size(path, boxWidth, boxHeight, &error);
  if (!sized) {
    Fail("%s at %dx%d: %s", path, boxWidth, boxHeight, error->message);
    g_clear_error(&error);
  } else {
    const int width = gdk_pixbuf_get_width(sized), height = gdk_pixbuf_get_height(sized);
    if (width > boxWidth || height > boxHeight || (width != boxWidth && height != boxHeight) ||
        (width == naturalWidth && height == naturalHeight))
      Fail("%s: %dx%d for a box of %dx%d (own size %dx%d)", path, width, height, boxWidth, boxHeight, naturalWidth,
           naturalHeight);
    GdkPixbuf* sizedByTool = DrawnByTool(render, path, width, height, sizedPng);
    what = g_strdup_printf("%s at %dx%d", kPictures[i].name, width, height);
    ExpectSamePixels(what, sized, sizedByTool);
    g_free(what);
    // The same through a loader fed 97 bytes at a time.
    GdkPixbuf* pieces = LoadInPieces(path, width, height, 97);
    what = g_strdup_printf("%s at %dx%d in pieces", kPictures[i].name, width, height);
    ExpectSamePixels(what, pieces, sizedByTool);
    g_free(what);
    if (pieces) g_object_unref(pieces);
    if (sizedByTool) g_object_unref(sizedByTool);
    g_object_unref(sized);
  }
  if (natural) g_object_unref(natural);
  if (naturalByTool) g_object_unref(naturalByTool);
  g_free(sizedPng);
  g_free(naturalPng);
  g_free(path);
}

static void Put32(guchar* at, guint32 value) {
  for (int i = 0; i < 4; ++i) at[i] = (guchar)(value >> (8 * i));
}
static guint32 Get32(const guchar* at) {
  return at[0] | (guint32)at[1] << 8 | (guint32)at[2] << 16 | (guint32)at[3] << 24;
}

// Malformed files, made from nothing or from a picture of the tree.
typedef GByteArray* (*MakeFile)(const guchar* emf, gsize size);

// An EMF's first words (type 1, " EMF" at 40, its byte count), the rest
// noise from a fixed seed.
static GByteArray* GarbageWithSignature(const guchar* emf, gsize size) {
  (void)emf, (void)size;
  GByteArray* bytes = g_byte_array_sized_new(400);
  guint32 state = 12345;
  for (int i = 0; i < 400; ++i) {
    state = state * 1103515245u + 12345u;
    const guchar noise = (guchar)(state >> 16);
    g_byte_array_append(bytes, &noise, 1);
  }
  Put32(bytes->data, 1);
  memcpy(bytes->data + 40, " EMF", 4);
  Put32(bytes->data + 48, bytes->len);  // as many bytes as it claims
  return bytes;
}

static GByteArray* FirstHalf(const guchar* emf, gsize size) {
  return g_byte_array_append(g_byte_array_new(), emf, (guint)(size / 2));
}

// The picture with an EMF+ header comment, not marked dual, after its
// header: a picture of EMF+ records only.
static GByteArray* OnlyEmfPlus(const guchar* emf, gsize size) {
  enum { kCommentBytes = 44, kGdiComment = 70, kPlusHeader = 0x4001 };
  guchar comment[kCommentBytes] = {0};
  Put32(comment, kGdiComment);
  Put32(comment + 4, kCommentBytes);
  Put32(comment + 8, kCommentBytes - 12);  // identifier and the EMF+ record
  memcpy(comment + 12, "EMF+", 4);
  Put32(comment + 16, kPlusHeader);        // type, flags 0 (not dual)
  Put32(comment + 20, 28);                 // record size
  Put32(comment + 24, 16);                 // data size: four words
  const guint32 headerSize = Get32(emf + 4);
  GByteArray* bytes = g_byte_array_append(g_byte_array_new(), emf, headerSize);
  g_byte_array_append(bytes, comment, kCommentBytes);
  g_byte_array_append(bytes, emf + headerSize, (guint)(size - headerSize));
  Put32(bytes->data + 48, Get32(emf + 48) + kCommentBytes);  // nBytes
  Put32(bytes->data + 52, Get32(emf + 52) + 1);              // nRecords
  return bytes;
}

static const struct {
  const char* what;
  const char* file;
  MakeFile make;
  GdkPixbufError code;
  const char* message_part;  // NULL: any English message
} kMalformed[] = {
    {"garbage with an EMF signature", "garbage.emf", GarbageWithSignature, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, NULL},
    {"a truncated EMF", "truncated.emf", FirstHalf, GDK_PIXBUF_ERROR_CORRUPT_IMAGE, "cut short"},
    {"an EMF of EMF+ records only", "emfplus.emf", OnlyEmfPlus, GDK_PIXBUF_ERROR_UNKNOWN_TYPE, "EMF+"},
};

static gboolean IsPlainEnglish(const char* text) {
  if (!*text) return FALSE;
  for (const char* c = text; *c; ++c)
    if ((unsigned char)*c >= 0x80) return FALSE;  // the runtime's German texts have umlauts
  return TRUE;
}

static void CheckMalformed(const char* sourceDir, const char* workDir) {
  gchar* emfPath = g_build_filename(sourceDir, "demo/data/Socer.EMF", NULL);
  gchar* emf = NULL;
  gsize size = 0;
  GError* error = NULL;
  if (!g_file_get_contents(emfPath, &emf, &size, &error)) {
    Fail("%s: %s", emfPath, error->message);
    g_error_free(error);
    g_free(emfPath);
    return;
  }
  for (size_t i = 0; i < G_N_ELEMENTS(kMalformed); ++i) {
    GByteArray* bytes = kMalformed[i].make((const guchar*)emf, size);
    gchar* path = g_build_filename(workDir, kMalformed[i].file, NULL);
    if (!g_file_set_contents(path, (const gchar*)bytes->data, bytes->len, &error)) {
      Fail("%s: %s", path, error->message);
      g_clear_error(&error);
    }
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file_at_size(path, 64, 64, &error);
    if (pixbuf) {
      Fail("%s: loaded as %dx%d", kMalformed[i].what, gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf));
      g_object_unref(pixbuf);
    } else if (!error || error->domain != GDK_PIXBUF_ERROR || error->code != (gint)kMalformed[i].code) {
      Fail("%s: error %s %d (%s), not GdkPixbufError %d", kMalformed[i].what,
           error ? g_quark_to_string(error->domain) : "none", error ? error->code : 0,
           error ? error->message : "", kMalformed[i].code);
    } else if (!IsPlainEnglish(error->message) ||
               (kMalformed[i].message_part && !strstr(error->message, kMalformed[i].message_part))) {
      Fail("%s: message \"%s\"", kMalformed[i].what, error->message);
    } else {
      printf("%s: refused: %s\n", kMalformed[i].what, error->message);
    }
    g_clear_error(&error);
    g_free(path);
    g_byte_array_unref(bytes);
  }
  g_free(emf);
  g_free(emfPath);
}

// A thumbnail (or any PNG) against the tool's drawing of the picture.
static void CheckSameAsRender(const char* render, const char* picture, const char* png, int box) {
  GError* error = NULL;
  GdkPixbuf* given = gdk_pixbuf_new_from_file(png, &error);
  if (!given) {
    Fail("%s: %s", png, error->message);
    g_error_free(error);
    return;
  }
  const int width = gdk_pixbuf_get_width(given), height = gdk_pixbuf_get_height(given);
  if (width > box || height > box || (width != box && height != box))
    Fail("%s: %dx%d, not fitted to %dx%d", png, width, height, box, box);
  gchar* toolPng = g_strdup_printf("%s.by-tool.png", png);
  GdkPixbuf* byTool = DrawnByTool(render, picture, width, height, toolPng);
  ExpectSamePixels(png, given, byTool);
  if (byTool) g_object_unref(byTool);
  g_object_unref(given);
  g_free(toolPng);
}

int main(int argc, char** argv) {
  if (argc == 6 && strcmp(argv[1], "--same-as-render") == 0) {
    CheckSameAsRender(argv[2], argv[3], argv[4], atoi(argv[5]));
  } else if (argc == 4) {
    for (size_t i = 0; i < G_N_ELEMENTS(kPictures); ++i) CheckPicture(argv[1], argv[2], argv[3], (int)i);
    CheckMalformed(argv[2], argv[3]);
  } else {
    fprintf(stderr,
            "usage: pixbuf_loader_test RENDER SOURCE_DIR WORK_DIR\n"
            "       pixbuf_loader_test --same-as-render RENDER PICTURE PNG BOX\n");
    return 2;
  }
  if (failures) fprintf(stderr, "%d failure(s)\n", failures);
  return failures ? 1 : 0;
}
