// The version, the statuses' texts and the last error.

#include <orvane/orvane.h>
#include "CallGuard.h"

extern "C" {

const char* orvane_version(void) { return ORVANE_VERSION_STRING; }

const char* orvane_status_text(orvane_status status) {
  switch (status) {
    case ORVANE_OK: return "no error";
    case ORVANE_ERROR_INVALID_ARGUMENT: return "invalid argument";
    case ORVANE_ERROR_OUT_OF_MEMORY: return "out of memory";
    case ORVANE_ERROR_FILE: return "the file cannot be opened or read";
    case ORVANE_ERROR_UNKNOWN_FORMAT: return "not a picture of a known kind";
    case ORVANE_ERROR_INVALID_PICTURE: return "the picture is not valid";
    case ORVANE_ERROR_CUT_SHORT: return "the picture's data is cut short";
    case ORVANE_ERROR_TOO_LARGE: return "the size to draw is above the limit of 16384 pixels a side";
    case ORVANE_ERROR_INTERNAL: return "internal error";
  }
  return "unknown status";
}

const char* orvane_last_error(int runtime_text) { return orvane::capi::LastError(runtime_text != 0); }

}  // extern "C"
