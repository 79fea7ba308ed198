#pragma once
// The runtime's exception classes. Every failure of the platform and of the
// package travels as one of these; each carries its class name (for the
// last-chance display) and a message text from Messages.h.

#include <stdexcept>
#include <string>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::rtl {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  const std::string Message() const { return what(); }
  virtual const char* ClassName() const { return "Exception"; }
};

#define RTL_EXCEPTION(Name, Base)                                   \
  class Name : public Base {                                        \
   public:                                                          \
    using Base::Base;                                               \
    const char* ClassName() const override { return #Name; }        \
  };

// Silent exception: the application's default display shows nothing for it.
class EAbort : public Exception {
 public:
  EAbort();
  const char* ClassName() const override { return "EAbort"; }
};

class EOutOfMemory : public Exception {
 public:
  EOutOfMemory();
  const char* ClassName() const override { return "EOutOfMemory"; }
};

// An I/O error of the runtime's file access, with its numeric code.
class EInOutError : public Exception {
 public:
  explicit EInOutError(int code);
  int ErrorCode() const { return code_; }
  const char* ClassName() const override { return "EInOutError"; }

 private:
  int code_;
};

RTL_EXCEPTION(EMathError, Exception)
class EZeroDivide : public EMathError {
 public:
  EZeroDivide();
  const char* ClassName() const override { return "EZeroDivide"; }
};
class EInvalidOp : public EMathError {
 public:
  EInvalidOp();
  const char* ClassName() const override { return "EInvalidOp"; }
};

RTL_EXCEPTION(EStreamError, Exception)
// "Datei %s kann nicht geöffnet werden", filled with the name as passed.
class EFOpenError : public EStreamError {
 public:
  explicit EFOpenError(const std::string& fileName);
  const char* ClassName() const override { return "EFOpenError"; }
};
class EReadError : public EStreamError {
 public:
  EReadError();
  const char* ClassName() const override { return "EReadError"; }
};

RTL_EXCEPTION(EInvalidGraphic, Exception)
RTL_EXCEPTION(EInvalidOperation, Exception)
RTL_EXCEPTION(EFormDefinitionError, Exception)

// A platform object that cannot be created; the text is the system's, or
// "Systemressourcen erschöpft." when there is none.
class EOutOfResources : public Exception {
 public:
  EOutOfResources();
  explicit EOutOfResources(const std::string& systemText);
  const char* ClassName() const override { return "EOutOfResources"; }
};

class EResNotFound : public Exception {
 public:
  explicit EResNotFound(const std::string& resourceName);
  const char* ClassName() const override { return "EResNotFound"; }
};

#undef RTL_EXCEPTION

// The text with a full stop added when its last character sorts after ".",
// as the application's error displays show it.
std::string WithFullStop(const std::string& message);

}  // namespace orvane::rtl

ORVANE_PUBLIC_END
