// The application behind every entry point: the composition root calls it with the real
// services, the tests with their own.
#pragma once

#include <string>

#include "platform/framework.h"
#include "platform/platform.h"

namespace kestrun {

// Start-up, then the message loop until the main window is gone. Returns the exit code.
int RunProgram(platform::Platform& platform, platform::Desktop& desktop,
               const std::string& commandLine);

}  // namespace kestrun
