#include <orvane/rtl/Exceptions.h>

#include <orvane/rtl/Messages.h>

namespace orvane::rtl {

EAbort::EAbort() : Exception("Operation abgebrochen") {}
EOutOfMemory::EOutOfMemory() : Exception(msg::OutOfMemory) {}
EInOutError::EInOutError(int code) : Exception(msg::InOutErrorText(code)), code_(code) {}
EZeroDivide::EZeroDivide() : EMathError(msg::ZeroDivide) {}
EInvalidOp::EInvalidOp() : EMathError(msg::InvalidOp) {}
EFOpenError::EFOpenError(const std::string& fileName)
    : EStreamError(msg::FormatS(msg::FOpenErrorFmt, fileName)) {}
EReadError::EReadError() : EStreamError(msg::ReadError) {}
EOutOfResources::EOutOfResources() : Exception(msg::OutOfResources) {}
EOutOfResources::EOutOfResources(const std::string& systemText)
    : Exception(systemText.empty() ? std::string(msg::OutOfResources) : systemText) {}
EResNotFound::EResNotFound(const std::string& resourceName)
    : Exception(msg::FormatS(msg::ResNotFoundFmt, resourceName)) {}

std::string WithFullStop(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
  return message;
}

}  // namespace orvane::rtl
