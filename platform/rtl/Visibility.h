#pragma once
// The library is built with hidden symbols; the declarations between
// ORVANE_PUBLIC_BEGIN and ORVANE_PUBLIC_END in the installed headers are
// its exported interface. Harmless in static builds and for users.

#define ORVANE_PUBLIC_BEGIN _Pragma("GCC visibility push(default)")
#define ORVANE_PUBLIC_END _Pragma("GCC visibility pop")
