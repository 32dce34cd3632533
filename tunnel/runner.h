// The two ways the client starts another program: hidden and waited for, or hidden and
// left running.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace kestrun {

// Starts commandLine hidden and blocks until it has ended. A start failure is only traced.
void RunCommand(platform::Platform& platform, const std::string& commandLine);

// Starts commandLine hidden and returns at once with WinExec's result (above 31: started).
std::uint32_t RunDetached(platform::Platform& platform, const std::string& commandLine);

}  // namespace kestrun
