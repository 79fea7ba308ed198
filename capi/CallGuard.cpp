#include "CallGuard.h"

#include <cstring>
#include <exception>
#include <new>

#include <orvane/rtl/EnglishMessages.h>
#include <orvane/rtl/Messages.h>

namespace orvane::capi {

namespace {

// Fixed buffers: storing an error never allocates, so it works after
// std::bad_alloc too. Longer texts (a long file name) are cut at a
// character boundary.
constexpr size_t kTextBytes = 1024;
thread_local char englishText[kTextBytes];
thread_local char runtimeText[kTextBytes];

void Store(char (&buffer)[kTextBytes], const char* text) noexcept {
  size_t length = std::strlen(text);
  if (length >= kTextBytes) {
    length = kTextBytes - 1;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

orvane_status Fail(orvane_status status, const char* english, const char* runtime) noexcept {
  Store(englishText, english);
  Store(runtimeText, runtime);
  return status;
}

orvane_status StatusOfRuntimeError(const rtl::Exception& e) noexcept {
  orvane_status status = ORVANE_ERROR_INTERNAL;
  if (dynamic_cast<const rtl::EOutOfMemory*>(&e) || dynamic_cast<const rtl::EOutOfResources*>(&e))
    status = ORVANE_ERROR_OUT_OF_MEMORY;
  else if (dynamic_cast<const UnknownFormat*>(&e)) status = ORVANE_ERROR_UNKNOWN_FORMAT;
  else if (dynamic_cast<const rtl::EFOpenError*>(&e) || dynamic_cast<const rtl::EInOutError*>(&e) ||
           dynamic_cast<const FileReadFailure*>(&e))
    status = ORVANE_ERROR_FILE;
  else if (dynamic_cast<const rtl::EReadError*>(&e)) status = ORVANE_ERROR_CUT_SHORT;
  else if (dynamic_cast<const rtl::EInvalidGraphic*>(&e) || dynamic_cast<const rtl::EMathError*>(&e))
    status = ORVANE_ERROR_INVALID_PICTURE;
  try {
    return Fail(status, rtl::EnglishMessage(e.what()).c_str(), e.what());
  } catch (...) {
    // No memory for the translation: the runtime's text in both.
    return Fail(status, e.what(), e.what());
  }
}

}  // namespace

void Require(bool condition, const char* what) {
  if (!condition) throw ApiFailure{ORVANE_ERROR_INVALID_ARGUMENT, std::string("invalid argument: ") + what};
}

orvane_status StatusOfCurrentException() noexcept {
  try {
    throw;
  } catch (const ApiFailure& failure) {
    return Fail(failure.status, failure.english.c_str(), failure.english.c_str());
  } catch (const std::bad_alloc&) {
    return Fail(ORVANE_ERROR_OUT_OF_MEMORY, "out of memory", rtl::msg::OutOfMemory);
  } catch (const rtl::Exception& e) {
    return StatusOfRuntimeError(e);
  } catch (const std::exception& e) {
    return Fail(ORVANE_ERROR_INTERNAL, e.what(), e.what());
  } catch (...) {
    return Fail(ORVANE_ERROR_INTERNAL, "unknown exception", rtl::msg::UnknownException);
  }
}

const char* LastError(bool runtime) noexcept { return runtime ? runtimeText : englishText; }

}  // namespace orvane::capi
