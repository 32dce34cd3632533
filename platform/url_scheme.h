// The scheme an address names, read the way a browser reads it, so that an address the
// client hands to the browser cannot make it run another protocol handler (script,
// compiled help, archive) inside the client's process.
#pragma once

#include <optional>
#include <string>

namespace kestrun {

// The text before the first ':' when it is all letters, digits, '+', '-' and '.' and the
// ':' is not followed by a port number (digits up to the end, '/', '?' or '#'), so that a
// bare host name with a port names none; a script scheme ("javascript", "vbscript" ...)
// is named whatever follows it. Tabs and line breaks count as absent, as
// browsers drop them from an address.
std::optional<std::string> NamedScheme(const std::string& address);

// An address naming a scheme other than https (letter case aside), or holding a control
// character, which no honest address has and browsers would silently drop.
bool NamesOtherThanHttps(const std::string& address);

}  // namespace kestrun
