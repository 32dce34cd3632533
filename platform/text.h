// Helpers for the ASCII texts the system compares without regard to case (registry names,
// adapter GUIDs, INI keys) and for the blanks around INI names and values.
#pragma once

#include <string>

namespace kestrun {

std::string ToLowerAscii(std::string text);
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// What the profile (INI) functions trim around section names, keys and values: isspace and
// the end-of-file character 0x1A.
bool IsProfileBlank(char c);
std::string TrimProfileBlanks(const std::string& text);

}  // namespace kestrun
