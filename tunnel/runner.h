// The two ways the client starts another program: hidden and waited for, or hidden and
// left running.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace kestrun {

// Generous for the slowest honest script (netsh on a slow machine); a command still running
// then is hung or waits for input nobody can give, and would block the window for good.
constexpr std::uint32_t kCommandTimeoutMs = 120000;

// Starts commandLine hidden and blocks until it has ended or, past kCommandTimeoutMs, has
// been ended with all it started. A start failure or a time-out is only traced; the caller
// goes on either way.
void RunCommand(platform::Runner& runner, platform::Trace& trace, const std::string& commandLine);

// Starts commandLine hidden and returns at once with WinExec's result (above 31: started).
std::uint32_t RunDetached(platform::Runner& runner, const std::string& commandLine);

}  // namespace kestrun
