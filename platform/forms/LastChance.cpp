#include <orvane/forms/LastChance.h>

#include <cinttypes>
#include <cstdio>
#include <new>

#include <orvane/backend/Backend.h>
#include <orvane/forms/Application.h>
#include <orvane/rtl/Exceptions.h>
#include <orvane/rtl/Messages.h>

namespace orvane::vcl {

std::string LastChanceText(const std::string& className, const std::string& moduleName, const void* address,
                           const std::string& message) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "%016" PRIXPTR, reinterpret_cast<uintptr_t>(address));
  std::string text = rtl::msg::LastChanceFmt;
  text = rtl::msg::FormatS(text.c_str(), className);
  text = rtl::msg::FormatS(text.c_str(), moduleName);
  text.replace(text.find("%p"), 2, hex);
  text += "\n";
  text += message;
  if (message.empty() || message.back() != '.') text += ".";
  return text;
}

int HandleLastChance(std::exception_ptr error, backend::Backend& backend) {
  std::string className = "Exception", message;
  const void* address = nullptr;
  try {
    if (error) std::rethrow_exception(error);
  } catch (const rtl::Exception& e) {
    className = e.ClassName();
    message = e.what();
    address = &e;
  } catch (const std::bad_alloc& e) {
    className = "EOutOfMemory";
    message = rtl::msg::OutOfMemory;
    address = &e;
  } catch (const std::exception& e) {
    message = e.what();
    address = &e;
  } catch (...) {
    message = rtl::msg::UnknownException;
  }
  backend.MessageBox(rtl::msg::AppErrorCaption, LastChanceText(className, ExeFileName(), address, message),
                     backend::MessageIcon::Error, backend::MessageButtons::Ok);
  return 1;
}

int HandleLastChance(std::exception_ptr error) {
  if (Application) return HandleLastChance(error, Application->Backend());
  const auto backend = backend::CreateDefaultBackend();
  return HandleLastChance(error, *backend);
}

}  // namespace orvane::vcl
