/*
 * The C interface as a C program uses it, written against the installed
 * header and library only. Pixels are compared with the PNG files the
 * render tool draws with the same options.
 * Usage: capi_test SOURCE_DIR ORVANE_RENDER WORK_DIR
 */
#include <orvane/orvane.h>

#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures = 0;
static const char* source_dir;
static const char* render_tool;
static const char* work_dir;

#define CHECK(condition, ...)                                    \
  do {                                                           \
    if (!(condition)) {                                          \
      ++failures;                                                \
      fprintf(stderr, "%s:%d: %s: ", __FILE__, __LINE__, #condition); \
      fprintf(stderr, __VA_ARGS__);                              \
      fputc('\n', stderr);                                       \
    }                                                            \
  } while (0)

typedef struct bytes {
  unsigned char* data;
  size_t size;
} bytes;

static bytes read_source_file(const char* relative) {
  char path[4096];
  bytes b = {NULL, 0};
  FILE* f;
  long size;
  snprintf(path, sizeof path, "%s/%s", source_dir, relative);
  f = fopen(path, "rb");
  if (!f || fseek(f, 0, SEEK_END) != 0 || (size = ftell(f)) < 0 || fseek(f, 0, SEEK_SET) != 0) {
    fprintf(stderr, "cannot read %s\n", path);
    exit(2);
  }
  b.size = (size_t)size;
  b.data = malloc(b.size + 64);
  if (!b.data || fread(b.data, 1, b.size, f) != b.size) exit(2);
  fclose(f);
  return b;
}

static uint32_t get32(const unsigned char* p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}
static void put32(unsigned char* p, uint32_t v) {
  p[0] = (unsigned char)v;
  p[1] = (unsigned char)(v >> 8);
  p[2] = (unsigned char)(v >> 16);
  p[3] = (unsigned char)(v >> 24);
}

/* An EMF with `records` (whole records, `count` of them) put after its header record. */
static bytes with_records_after_header(bytes emf, const unsigned char* records, size_t size, uint32_t count) {
  bytes b;
  const size_t header = get32(emf.data + 4);
  b.size = emf.size + size;
  b.data = malloc(b.size);
  if (!b.data) exit(2);
  memcpy(b.data, emf.data, header);
  memcpy(b.data + header, records, size);
  memcpy(b.data + header + size, emf.data + header, emf.size - header);
  put32(b.data + 48, get32(b.data + 48) + (uint32_t)size); /* nBytes */
  put32(b.data + 52, get32(b.data + 52) + count);          /* nRecords */
  return b;
}

/* A comment record holding an EMF+ header record, marked dual or not. */
static bytes with_emf_plus_header(bytes emf, int dual) {
  unsigned char r[44] = {0};
  put32(r, 70);      /* EMR_GDICOMMENT */
  put32(r + 4, 44);
  put32(r + 8, 32);  /* data bytes: identifier and the EMF+ record */
  memcpy(r + 12, "EMF+", 4);
  put32(r + 16, 0x4001u | (dual ? 1u << 16 : 0u)); /* EmfPlusHeader, flags */
  put32(r + 20, 28);
  put32(r + 24, 16);
  return with_records_after_header(emf, r, sizeof r, 1);
}

typedef struct draw_case {
  const char* file;
  orvane_size_rule rule;
  int32_t width, height;
  double dpi;
  int32_t quality;
  orvane_thin_lines thin_lines;
  orvane_alpha alpha;
  uint32_t background;
  const char* tool_options; /* the same for the render tool */
} draw_case;

static const draw_case draw_cases[] = {
    {"demo/data/Socer.EMF", ORVANE_SIZE_EXACT, 123, 97, 0, 3, ORVANE_THIN_LINES_ONE_PIXEL, ORVANE_ALPHA_STRAIGHT, 0,
     "--size 123x97"},
    {"demo/data/Socer.EMF", ORVANE_SIZE_EXACT, 123, 97, 0, 3, ORVANE_THIN_LINES_ONE_PIXEL,
     ORVANE_ALPHA_PREMULTIPLIED, 0, "--size 123x97"},
    {"demo/data/Socer.EMF", ORVANE_SIZE_FIT, 64, 40, 0, 2, ORVANE_THIN_LINES_ONE_PIXEL, ORVANE_ALPHA_OPAQUE,
     0x336699, "--fit 64x40 --quality med --background '#336699'"},
    {"fuzz/corpus/metafile/shapes.emf", ORVANE_SIZE_DPI, 0, 0, 37.5, 4, ORVANE_THIN_LINES_EXACT,
     ORVANE_ALPHA_STRAIGHT, 0, "--dpi 37.5 --quality very-high --thin-lines exact"},
    {"fuzz/corpus/picture_bytes/shapes.wmz", ORVANE_SIZE_NATURAL, 0, 0, 0, 1, ORVANE_THIN_LINES_ONE_PIXEL,
     ORVANE_ALPHA_STRAIGHT, 0, "--quality low"},
};

/* The tool's PNG of `file` with `options`, read as RGBA. */
static unsigned char* tool_pixels(const char* file, const char* options, int index, png_image* image) {
  char command[8192], png_path[4096];
  unsigned char* pixels;
  snprintf(png_path, sizeof png_path, "%s/capi-case-%d.png", work_dir, index);
  snprintf(command, sizeof command, "'%s' %s '%s/%s' '%s'", render_tool, options, source_dir, file, png_path);
  if (system(command) != 0) {
    fprintf(stderr, "failed: %s\n", command);
    exit(2);
  }
  memset(image, 0, sizeof *image);
  image->version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(image, png_path)) exit(2);
  image->format = PNG_FORMAT_RGBA;
  pixels = malloc(PNG_IMAGE_SIZE(*image));
  if (!pixels || !png_image_finish_read(image, NULL, pixels, 0, NULL)) exit(2);
  return pixels;
}

static void test_drawings_match_the_tool(void) {
  size_t i;
  for (i = 0; i < sizeof draw_cases / sizeof draw_cases[0]; ++i) {
    const draw_case* c = &draw_cases[i];
    bytes file = read_source_file(c->file);
    orvane_picture* picture = NULL;
    orvane_render_options options;
    int32_t width = 0, height = 0, x, y;
    size_t stride, mismatches = 0;
    unsigned char *expected, *pixels;
    png_image image;

    orvane_render_options_init(&options);
    options.size_rule = c->rule;
    options.width = c->width;
    options.height = c->height;
    options.dpi = c->dpi;
    options.quality = c->quality;
    options.thin_lines = c->thin_lines;
    options.alpha = c->alpha;
    options.background = c->background;
    CHECK(orvane_picture_load_bytes(file.data, file.size, &picture) == ORVANE_OK, "%s: %s", c->file,
          orvane_last_error(0));
    free(file.data); /* the picture holds its own copy */
    if (!picture) continue;
    expected = tool_pixels(c->file, c->tool_options, (int)i, &image);
    CHECK(orvane_render_size(picture, &options, &width, &height) == ORVANE_OK, "%s", orvane_last_error(0));
    CHECK(width == (int32_t)image.width && height == (int32_t)image.height, "case %d: %dx%d, the tool %ux%u",
          (int)i, width, height, image.width, image.height);
    if (width == (int32_t)image.width && height == (int32_t)image.height) {
      /* Rows padded by 12 bytes, which must stay as they were. */
      stride = (size_t)width * 4 + 12;
      pixels = malloc(stride * (size_t)height);
      if (!pixels) exit(2);
      memset(pixels, 0xA5, stride * (size_t)height);
      CHECK(orvane_render(picture, &options, pixels, width, height, stride) == ORVANE_OK, "%s",
            orvane_last_error(0));
      for (y = 0; y < height; ++y) {
        const unsigned char* row = pixels + (size_t)y * stride;
        for (x = 0; x < width; ++x) {
          const unsigned char* want = expected + ((size_t)y * (size_t)width + (size_t)x) * 4;
          unsigned char rgba[4];
          int k;
          memcpy(rgba, want, 4);
          if (c->alpha == ORVANE_ALPHA_PREMULTIPLIED)
            for (k = 0; k < 3; ++k) rgba[k] = (unsigned char)(rgba[k] * rgba[3] / 255);
          if (memcmp(row + x * 4, rgba, 4) != 0) ++mismatches;
        }
        for (x = 0; x < 12; ++x) mismatches += row[width * 4 + x] != 0xA5;
      }
      CHECK(mismatches == 0, "case %d (%s %s): %zu bytes differ from the tool's", (int)i, c->file,
            c->tool_options, mismatches);
      free(pixels);
    }
    free(expected);
    orvane_picture_free(picture);
  }
}

typedef struct load_case {
  const char* name;
  bytes data;
  orvane_status status;
  const char* english; /* part of orvane_last_error(0) */
  const char* runtime; /* part of orvane_last_error(1) */
} load_case;

static void test_bad_input_is_refused(void) {
  bytes shapes = read_source_file("fuzz/corpus/metafile/shapes.emf");
  bytes small_count = read_source_file("fuzz/corpus/metafile/shapes.emf");
  static unsigned char garbage[] = "these bytes are no picture of any kind at all, honestly";
  load_case cases[4];
  orvane_picture* picture;
  size_t i;
  put32(small_count.data + 48, 100); /* an EMF of 100 bytes or less is none */
  cases[0] = (load_case){"empty", {garbage, 0}, ORVANE_ERROR_UNKNOWN_FORMAT, "unknown picture", "Unbekannte"};
  cases[1] = (load_case){"garbage", {garbage, sizeof garbage}, ORVANE_ERROR_UNKNOWN_FORMAT, "unknown picture",
                         "Unbekannte"};
  cases[2] = (load_case){"cut short", {shapes.data, shapes.size / 2}, ORVANE_ERROR_CUT_SHORT, "cut short",
                         "Stream-Lesefehler"};
  cases[3] = (load_case){"byte count 100", small_count, ORVANE_ERROR_INVALID_PICTURE, "not a valid metafile",
                         "Metadatei ist ung"};
  for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    picture = NULL;
    CHECK(orvane_picture_load_bytes(cases[i].data.data, cases[i].data.size, &picture) == cases[i].status,
          "%s: %s", cases[i].name, orvane_last_error(0));
    CHECK(picture == NULL, "%s", cases[i].name);
    CHECK(strstr(orvane_last_error(0), cases[i].english) != NULL, "%s: '%s'", cases[i].name, orvane_last_error(0));
    CHECK(strstr(orvane_last_error(1), cases[i].runtime) != NULL, "%s: '%s'", cases[i].name, orvane_last_error(1));
  }
  CHECK(orvane_picture_load_file("/nonexistent/picture.emf", &picture) == ORVANE_ERROR_FILE, "%s",
        orvane_last_error(0));
  CHECK(strcmp(orvane_last_error(0), "cannot open file /nonexistent/picture.emf") == 0, "'%s'",
        orvane_last_error(0));
  CHECK(orvane_picture_load_bytes(NULL, 10, &picture) == ORVANE_ERROR_INVALID_ARGUMENT, "NULL data");
  CHECK(orvane_picture_load_bytes(shapes.data, shapes.size, NULL) == ORVANE_ERROR_INVALID_ARGUMENT, "NULL out");
  free(shapes.data);
  free(small_count.data);
}

static void test_render_arguments_are_checked(void) {
  static const char* const faults[] = {"struct size 0", "struct size too large", "quality 5", "alpha 3",
                                       "fit without a width", "exact 0x0", "dpi 0", "exact 16385 high"};
  char path[4096];
  orvane_picture* picture = NULL;
  uint8_t pixels[64 * 64 * 4];
  int32_t w = 0, h = 0;
  size_t i;
  snprintf(path, sizeof path, "%s/fuzz/corpus/metafile/shapes.emf", source_dir);
  CHECK(orvane_picture_load_file(path, &picture) == ORVANE_OK, "%s", orvane_last_error(0));
  if (!picture) return;
  CHECK(orvane_render_size(picture, NULL, &w, &h) == ORVANE_OK && w == 64 && h == 64, "%dx%d", w, h);
  CHECK(orvane_render(picture, NULL, pixels, 64, 64, 64 * 4) == ORVANE_OK, "%s", orvane_last_error(0));
  CHECK(orvane_render(picture, NULL, pixels, 63, 64, 64 * 4) == ORVANE_ERROR_INVALID_ARGUMENT, "wrong width");
  CHECK(orvane_render(picture, NULL, pixels, 64, 64, 64 * 4 - 1) == ORVANE_ERROR_INVALID_ARGUMENT, "stride");
  CHECK(orvane_render(picture, NULL, NULL, 64, 64, 64 * 4) == ORVANE_ERROR_INVALID_ARGUMENT, "NULL pixels");
  CHECK(orvane_render_size(NULL, NULL, &w, &h) == ORVANE_ERROR_INVALID_ARGUMENT, "NULL picture");
  for (i = 0; i < sizeof faults / sizeof faults[0]; ++i) {
    orvane_render_options o;
    orvane_status expected = ORVANE_ERROR_INVALID_ARGUMENT;
    orvane_render_options_init(&o);
    switch (i) {
      case 0: o.struct_size = 0; break;
      case 1: o.struct_size = sizeof o + 8; break;
      case 2: o.quality = 5; break;
      case 3: o.alpha = 3; break;
      case 4: o.size_rule = ORVANE_SIZE_FIT, o.height = 9; break;
      case 5: o.size_rule = ORVANE_SIZE_EXACT; break;
      case 6: o.size_rule = ORVANE_SIZE_DPI; break;
      default: o.size_rule = ORVANE_SIZE_EXACT, o.height = 16385, expected = ORVANE_ERROR_TOO_LARGE;
    }
    CHECK(orvane_render_size(picture, &o, &w, &h) == expected, "%s", faults[i]);
    CHECK(orvane_render(picture, &o, pixels, 64, 64, 64 * 4) == expected, "%s", faults[i]);
  }
  orvane_picture_free(picture);
}

static void test_queries(void) {
  bytes shapes = read_source_file("fuzz/corpus/metafile/shapes.emf");
  bytes plus_only = with_emf_plus_header(shapes, 0), dual = with_emf_plus_header(shapes, 1), unknown;
  const struct {
    bytes data;
    orvane_emf_plus content;
  } emf_plus_cases[] = {{shapes, ORVANE_EMF_PLUS_NONE}, {plus_only, ORVANE_EMF_PLUS_ONLY}, {dual, ORVANE_EMF_PLUS_DUAL}};
  unsigned char records[24] = {0};
  orvane_record_count counts[2] = {{0, 0}, {0, 0}};
  orvane_picture* picture;
  orvane_emf_plus content;
  size_t i, count = 99;
  double wide = 0, high = 0;
  int stated = -1;

  for (i = 0; i < 3; ++i) {
    picture = NULL;
    content = (orvane_emf_plus)-1;
    CHECK(orvane_picture_load_bytes(emf_plus_cases[i].data.data, emf_plus_cases[i].data.size, &picture) == ORVANE_OK,
          "%s", orvane_last_error(0));
    CHECK(orvane_picture_emf_plus(picture, &content) == ORVANE_OK && content == emf_plus_cases[i].content,
          "EMF+ case %d: %d", (int)i, (int)content);
    orvane_picture_free(picture);
  }

  /* Two records of an unknown type 200, one of 201. */
  put32(records, 200), put32(records + 4, 8), put32(records + 8, 201), put32(records + 12, 8);
  put32(records + 16, 200), put32(records + 20, 8);
  unknown = with_records_after_header(shapes, records, sizeof records, 3);
  picture = NULL;
  CHECK(orvane_picture_load_bytes(unknown.data, unknown.size, &picture) == ORVANE_OK, "%s", orvane_last_error(0));
  CHECK(orvane_picture_records_not_drawn(picture, NULL, 0, &count) == ORVANE_OK && count == 2, "%zu types", count);
  CHECK(orvane_picture_records_not_drawn(picture, counts, 1, &count) == ORVANE_OK && count == 2, "%zu types", count);
  CHECK(counts[0].type == 200 && counts[0].count == 2 && counts[1].type == 0, "first type %u x%llu",
        (unsigned)counts[0].type, (unsigned long long)counts[0].count);
  CHECK(orvane_picture_records_not_drawn(picture, NULL, 1, &count) == ORVANE_ERROR_INVALID_ARGUMENT, "NULL array");

  /* shapes.emf's frame is 1690 x 1693 hundredths of a millimetre. */
  CHECK(orvane_picture_physical_size(picture, &wide, &high, &stated) == ORVANE_OK, "%s", orvane_last_error(0));
  CHECK(wide * 2540 > 1689.999 && wide * 2540 < 1690.001 && high * 2540 > 1692.999 && high * 2540 < 1693.001 &&
            stated == 1,
        "%f x %f inches, stated %d", wide, high, stated);
  orvane_picture_free(picture);
  orvane_picture_free(NULL);

  CHECK(strcmp(orvane_version(), ORVANE_VERSION_STRING) == 0, "version %s", orvane_version());
  free(shapes.data);
  free(plus_only.data);
  free(dual.data);
  free(unknown.data);
}

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: capi_test SOURCE_DIR ORVANE_RENDER WORK_DIR\n");
    return 2;
  }
  source_dir = argv[1];
  render_tool = argv[2];
  work_dir = argv[3];
  test_drawings_match_the_tool();
  test_bad_input_is_refused();
  test_render_arguments_are_checked();
  test_queries();
  if (failures) fprintf(stderr, "%d checks failed\n", failures);
  else printf("capi_test: all checks passed\n");
  return failures ? 1 : 0;
}
