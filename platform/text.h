// Letter-case helpers for the ASCII texts the system compares without regard to case
// (registry names, adapter GUIDs, INI keys).
#pragma once

#include <string>

namespace kestrun {

std::string ToLowerAscii(std::string text);
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

}  // namespace kestrun
