#pragma once
// The last-chance handler for an exception that escapes before (or outside)
// the message loop, as a program's main uses it:
//
//   int main() {
//     vcl::TApplication application;
//     try { ...Initialize, CreateForm, Run... }
//     catch (...) { return vcl::HandleLastChance(std::current_exception()); }
//   }
//
// It shows a message box with the error icon captioned "Anwendungsfehler":
// "Exception <class> in Modul <executable> bei <address>." and on the next
// line the message, with "." added unless it already ends in one.

#include <exception>
#include <string>
#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::backend {
class Backend;
}  // namespace orvane::backend

namespace orvane::vcl {

// The box's text for the given parts.
std::string LastChanceText(const std::string& className, const std::string& moduleName, const void* address,
                           const std::string& message);
// Shows the box through `backend` and returns the exit code, 1.
int HandleLastChance(std::exception_ptr error, backend::Backend& backend);
// The same through the live application's backend (or the default one).
int HandleLastChance(std::exception_ptr error);

}  // namespace orvane::vcl

ORVANE_PUBLIC_END
