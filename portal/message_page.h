// The local page the embedded browser shows when the portal must leave the view.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kestrun {

// Name of the page in the program directory.
constexpr const char* kMessagePageName = "msg.html";

// The page's bytes around body: no line breaks, no escaping.
std::string MessagePageText(const std::string& body);

// Creates or truncates path and writes MessagePageText(body). Returns 1; on failure traces
// "Can't open file <path>, error = <code>\n", leaves any old page alone and returns 0.
int WriteMessagePage(platform::Files& files, platform::Trace& trace, const std::string& path,
                     const std::string& body);

}  // namespace kestrun
