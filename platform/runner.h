// Starting other programs. Both ways start the command hidden.
#pragma once

#include <cstdint>
#include <string>

namespace kestrun::platform {

class Runner {
  public:
    virtual ~Runner() = default;
    // CreateProcessA hidden, then waits for the process without a time limit.
    // Returns 0, or the system error code when the process could not be started.
    virtual std::uint32_t RunAndWait(const std::string& commandLine) = 0;
    // WinExec(commandLine, SW_HIDE); returns WinExec's result (above 31 means started).
    virtual std::uint32_t StartHidden(const std::string& commandLine) = 0;
};

}  // namespace kestrun::platform
