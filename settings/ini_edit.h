// One value set in the bytes of an INI file, as the profile functions would leave it, for a
// file that must be written through a handle the caller has already checked.
#pragma once

#include <string>

namespace kestrun::settings {

// bytes with key = value in section: the key's line is replaced where the section has it,
// else the key is added after the section's last line, else the section is added at the end.
// Everything else is kept byte for byte; names compare without regard to case; new lines end
// in CR LF.
std::string WithValue(const std::string& bytes, const std::string& section, const std::string& key,
                      const std::string& value);

}  // namespace kestrun::settings
