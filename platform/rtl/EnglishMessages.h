#pragma once
// English for the runtime's messages, for command-line tools and bindings
// whose users mostly read English. The runtime's own texts (Messages.h)
// stay what its exceptions carry; a user whose locale asks for German gets
// those unchanged.

#include <string>

#include <orvane/rtl/Visibility.h>

ORVANE_PUBLIC_BEGIN

namespace orvane::rtl {

// The English text of a runtime message (one of Messages.h, its formats
// filled in); any other text comes back as it is.
std::string EnglishMessage(const std::string& runtimeText);

// Whether the locale asks for German: the first of LC_ALL, LC_MESSAGES and
// LANG that is set and not empty begins with "de".
bool LocaleIsGerman();

// The message a user of a tool or binding is shown: the runtime's text for
// a German locale, English otherwise.
std::string UserMessage(const std::string& runtimeText);

}  // namespace orvane::rtl

ORVANE_PUBLIC_END
