// Ending the OpenVPN program: it has no other control channel than its window, so the
// client asks that window to close.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kestrun {

// Text the client always looks for in the OpenVPN program's window title.
constexpr const char* kOpenVpnWindowText = "OpenVPN";

// Walks the top-level windows in Z order and posts WM_CLOSE to the first one whose line
// "[<n>]Title=<title>\n" (n counted from 1) contains text, case-sensitively. Returns the
// result of that post (nonzero when posted), or 0 when no window matches.
int CloseWindowByTitle(platform::Ui& ui, const std::string& text);

}  // namespace kestrun
