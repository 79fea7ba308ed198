// Fuzz target: any bytes through the C interface as a program uses it:
// loaded from memory and, when they load, asked what they hold and drawn
// into a small RGBA buffer, once fitted into a box and once at an exact
// size with the options taken from the input's last bytes. Every call must
// return a status with a message; a crash, an exception or a sanitizer
// report is a bug.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "FuzzHelpers.h"
#include <orvane/orvane.h>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// A failed call leaves a message behind.
void CheckStatus(orvane_status status) {
  Check(status >= ORVANE_OK && status <= ORVANE_ERROR_INTERNAL);
  Check(status == ORVANE_OK || *orvane_last_error(0) != '\0');
}

void Draw(const orvane_picture* picture, const orvane_render_options& options) {
  int32_t width = 0, height = 0;
  const orvane_status sized = orvane_render_size(picture, &options, &width, &height);
  CheckStatus(sized);
  if (sized != ORVANE_OK) return;
  Check(width > 0 && height > 0);
  if (options.size_rule == ORVANE_SIZE_FIT) Check(width <= options.width && height <= options.height);
  // An exact width with the aspect ratio's height may be tall: only a slow run.
  if (int64_t{width} * height > 64 * 64) return;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * 4 * static_cast<size_t>(height));
  CheckStatus(orvane_render(picture, &options, pixels.data(), width, height, static_cast<size_t>(width) * 4));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Bitmaps that claim far more pixels than they hold reach no new code, only a slow run.
  if (size >= 14 && data[0] == 'B' && data[1] == 'M' && fuzzhelp::ClaimsHugeImage(data + 14, size - 14)) return 0;
  if (fuzzhelp::IconClaimsHugeImage(data, size)) return 0;
  orvane_picture* picture = nullptr;
  const orvane_status loaded = orvane_picture_load_bytes(size ? data : reinterpret_cast<const uint8_t*>(""), size,
                                                         &picture);
  CheckStatus(loaded);
  if (loaded != ORVANE_OK) return 0;

  orvane_emf_plus content;
  CheckStatus(orvane_picture_emf_plus(picture, &content));
  size_t count = 0;
  CheckStatus(orvane_picture_records_not_drawn(picture, nullptr, 0, &count));
  orvane_record_count first[2];
  CheckStatus(orvane_picture_records_not_drawn(picture, first, 2, &count));

  orvane_render_options options;
  orvane_render_options_init(&options);
  options.size_rule = ORVANE_SIZE_FIT;
  options.width = 24;
  options.height = 16;
  options.quality = 1;
  Draw(picture, options);
  const uint8_t tail = size ? data[size - 1] : 0;
  options.size_rule = ORVANE_SIZE_EXACT;
  options.width = 1 + tail % 17;
  options.height = tail % 5;  // 0: the aspect ratio decides
  options.quality = tail % 3;
  options.alpha = tail % 3;
  options.thin_lines = (tail >> 2) & 1;
  options.background = 0x123456;
  Draw(picture, options);
  orvane_picture_free(picture);
  return 0;
}
