#pragma once
// Every C entry point runs its body through CallGuard: whatever the body
// throws becomes a status and this thread's last-error text, so no
// exception crosses the C interface.

#include <string>

#include <orvane/orvane.h>
#include <orvane/rtl/Exceptions.h>

namespace orvane::capi {

// A failure of the C interface's own making (a bad argument, a size above
// the limit), with its English text.
struct ApiFailure {
  orvane_status status;
  std::string english;
};

// Content no reader knows, with the runtime's text for it.
class UnknownFormat : public rtl::EInvalidGraphic {
 public:
  using rtl::EInvalidGraphic::EInvalidGraphic;
};

// A file that could not be read to its end (rather than data cut short).
class FileReadFailure : public rtl::EStreamError {
 public:
  using rtl::EStreamError::EStreamError;
};

// Throws ApiFailure{ORVANE_ERROR_INVALID_ARGUMENT, "invalid argument: " + what} unless `condition`.
void Require(bool condition, const char* what);

// The status of the exception being handled, its texts stored as the last error.
orvane_status StatusOfCurrentException() noexcept;

template <typename Body>
orvane_status CallGuard(Body&& body) noexcept {
  try {
    body();
    return ORVANE_OK;
  } catch (...) {
    return StatusOfCurrentException();
  }
}

// This thread's last error (see orvane_last_error).
const char* LastError(bool runtimeText) noexcept;

}  // namespace orvane::capi
