// The two command-line forms the program understands; the text is the whole command line
// after the program name.
#pragma once

#include <string>

namespace kestrun {

// "-r", in either letter case, and nothing else: ask a running instance to exit.
bool IsRemoveRequest(const std::string& commandLine);

// Begins with "https" in lower case: a portal address handed over by the portal.
bool IsPortalAddress(const std::string& commandLine);

}  // namespace kestrun
