// printf-style formatting into std::string, for the fixed trace lines and script texts.
#pragma once

#include <string>

namespace kestrun {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Format(const char* fmt, ...);

}  // namespace kestrun
