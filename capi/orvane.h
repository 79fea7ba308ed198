#ifndef ORVANE_ORVANE_H
#define ORVANE_ORVANE_H
/*
 * The C interface of liborvane: load a picture (EMF, WMF with or without
 * the placeable header, their gzip-compressed forms .emz and .wmz, BMP,
 * icon) and draw it anti-aliased into RGBA pixels (R, G, B, A bytes a
 * pixel, rows top first).
 *
 * Every function that can fail returns an orvane_status; on failure it
 * leaves its outputs unchanged (but for orvane_render's buffer) and records
 * the error's text for orvane_last_error on the calling thread. No
 * function keeps state shared between pictures: different pictures may be
 * used from different threads at once, one picture by one thread at a time.
 */

#include <stddef.h>
#include <stdint.h>

#include <orvane/Version.h> /* ORVANE_VERSION_MAJOR, _MINOR, _PATCH, _STRING */

#if defined(__GNUC__)
#define ORVANE_C_API __attribute__((visibility("default")))
#else
#define ORVANE_C_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef enum orvane_status {
  ORVANE_OK = 0,
  ORVANE_ERROR_INVALID_ARGUMENT = 1, /* a null pointer, a bad option, a buffer of the wrong size */
  ORVANE_ERROR_OUT_OF_MEMORY = 2,
  ORVANE_ERROR_FILE = 3,           /* the file cannot be opened or read */
  ORVANE_ERROR_UNKNOWN_FORMAT = 4, /* neither the content nor the file name tells a known kind */
  ORVANE_ERROR_INVALID_PICTURE = 5,
  ORVANE_ERROR_CUT_SHORT = 6, /* the data ends before its header says it does */
  ORVANE_ERROR_TOO_LARGE = 7, /* the size to draw is above 16384 pixels a side */
  ORVANE_ERROR_INTERNAL = 8
} orvane_status;

/* The library's version, "MAJOR.MINOR.PATCH" (the macros give the header's). */
ORVANE_C_API const char* orvane_version(void);

/* A fixed English sentence for a status; "unknown status" for other values. */
ORVANE_C_API const char* orvane_status_text(orvane_status status);

/*
 * The text of the last failure on this thread: in English when runtime_text
 * is 0, else the runtime's own (German) text where the error came from the
 * runtime (the English one otherwise). "" before any failure. Valid until
 * the next failing call on the thread.
 */
ORVANE_C_API const char* orvane_last_error(int runtime_text);

typedef struct orvane_picture orvane_picture;

/* Loads a copy of `size` bytes; the kind is told by the content. */
ORVANE_C_API orvane_status orvane_picture_load_bytes(const void* data, size_t size, orvane_picture** picture);
/* Loads a regular file, read only as far as its header claims; the kind is
 * told by the content, by the name's extension when the content says nothing. */
ORVANE_C_API orvane_status orvane_picture_load_file(const char* path, orvane_picture** picture);
/* Frees a picture; NULL is ignored. */
ORVANE_C_API void orvane_picture_free(orvane_picture* picture);

/* The picture's own size in pixels. */
ORVANE_C_API orvane_status orvane_picture_size(const orvane_picture* picture, int32_t* width, int32_t* height);

/*
 * The physical size in inches: a metafile's frame, a bitmap's pixels at its
 * resolution. A picture that states none (an icon, a bitmap without a
 * resolution) is taken at 96 dpi and sets *stated to 0, others to 1;
 * `stated` may be NULL.
 */
ORVANE_C_API orvane_status orvane_picture_physical_size(const orvane_picture* picture, double* inches_wide,
                                                        double* inches_high, int* stated);

typedef enum orvane_emf_plus {
  ORVANE_EMF_PLUS_NONE = 0, /* no EMF+ drawing (any picture but an EMF with EMF+ records) */
  ORVANE_EMF_PLUS_DUAL = 1, /* EMF+ with GDI drawing records beside it, which are drawn */
  ORVANE_EMF_PLUS_ONLY = 2  /* EMF+ drawing only: drawing it shows none of its picture */
} orvane_emf_plus;

ORVANE_C_API orvane_status orvane_picture_emf_plus(const orvane_picture* picture, orvane_emf_plus* content);

/* A metafile record type that drawing leaves out, with how many records of it there are. */
typedef struct orvane_record_count {
  uint32_t type; /* the EMF record type (a WMF is drawn as its EMF conversion) */
  uint64_t count;
} orvane_record_count;

/*
 * The record types drawing the picture leaves out, in ascending order:
 * sets *count to how many types there are and fills up to `capacity` of
 * them into `records` (which may be NULL when capacity is 0). Pictures that
 * are not metafiles have none.
 */
ORVANE_C_API orvane_status orvane_picture_records_not_drawn(const orvane_picture* picture,
                                                            orvane_record_count* records, size_t capacity,
                                                            size_t* count);

typedef enum orvane_size_rule {
  ORVANE_SIZE_NATURAL = 0, /* the picture's own size, scaled down to fit 2048 x 2048 */
  ORVANE_SIZE_EXACT = 1,   /* width x height; one of them 0 keeps the aspect ratio */
  ORVANE_SIZE_FIT = 2,     /* the largest size inside the width x height box, aspect ratio kept */
  ORVANE_SIZE_DPI = 3      /* the physical size at `dpi` dots per inch */
} orvane_size_rule;

typedef enum orvane_thin_lines {
  ORVANE_THIN_LINES_ONE_PIXEL = 0, /* pens thinner than an output pixel drawn one pixel wide */
  ORVANE_THIN_LINES_EXACT = 1      /* as thin as the picture says */
} orvane_thin_lines;

typedef enum orvane_alpha {
  ORVANE_ALPHA_STRAIGHT = 0,      /* colour as drawn, coverage as alpha */
  ORVANE_ALPHA_PREMULTIPLIED = 1, /* colour multiplied by the coverage */
  ORVANE_ALPHA_OPAQUE = 2         /* laid over `background`, alpha 255 */
} orvane_alpha;

/*
 * What to draw at. Set struct_size to sizeof(orvane_render_options) (the
 * init function does, with the defaults): later versions add fields at the
 * end and read those a smaller struct lacks as their defaults.
 */
typedef struct orvane_render_options {
  size_t struct_size;
  int32_t size_rule; /* orvane_size_rule */
  int32_t width;     /* EXACT and FIT */
  int32_t height;
  double dpi;          /* DPI */
  int32_t quality;     /* 0 (very low) to 4 (very high): 1, 2, 4, 8, 16 samples a pixel along each axis */
  int32_t thin_lines;  /* orvane_thin_lines */
  int32_t alpha;       /* orvane_alpha */
  uint32_t background; /* 0xRRGGBB, for ORVANE_ALPHA_OPAQUE */
} orvane_render_options;

/* The defaults: natural size, quality 3 (high), one-pixel thin lines, straight alpha, white. */
static inline void orvane_render_options_init(orvane_render_options* options) {
  options->struct_size = sizeof(orvane_render_options);
  options->size_rule = ORVANE_SIZE_NATURAL;
  options->width = 0;
  options->height = 0;
  options->dpi = 0;
  options->quality = 3;
  options->thin_lines = ORVANE_THIN_LINES_ONE_PIXEL;
  options->alpha = ORVANE_ALPHA_STRAIGHT;
  options->background = 0xFFFFFF;
}

/* The size in pixels `options` (NULL: the defaults) give for the picture. */
ORVANE_C_API orvane_status orvane_render_size(const orvane_picture* picture, const orvane_render_options* options,
                                              int32_t* width, int32_t* height);

/*
 * Draws the picture into `pixels`: `height` rows of `width` RGBA pixels,
 * each row starting `stride` bytes after the one above (at least width * 4).
 * width and height must be those orvane_render_size gives for `options`
 * (NULL: the defaults). Bytes between the rows are left alone; on failure
 * the rows' content is unspecified.
 */
ORVANE_C_API orvane_status orvane_render(const orvane_picture* picture, const orvane_render_options* options,
                                         uint8_t* pixels, int32_t width, int32_t height, size_t stride);

#ifdef __cplusplus
}
#endif

#endif /* ORVANE_ORVANE_H */
