// Starting other programs. Both ways start the command hidden.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kestrun::platform {

// A program started without waiting for it. Destroying the object closes its handle; the
// program goes on.
class StartedProgram {
  public:
    virtual ~StartedProgram() = default;
    // It has not ended yet; asking does not wait.
    virtual bool Running() = 0;
};

class Runner {
  public:
    virtual ~Runner() = default;
    // CreateProcessA hidden, then waits for the process without a time limit.
    // Returns 0, or the system error code when the process could not be started.
    virtual std::uint32_t RunAndWait(const std::string& commandLine) = 0;
    // WinExec(commandLine, SW_HIDE); returns WinExec's result (above 31 means started).
    virtual std::uint32_t StartHidden(const std::string& commandLine) = 0;
    // CreateProcessA hidden, not waited for, so that the caller can tell when it has ended.
    // nullptr, with error set to the system error code, when it could not be started.
    virtual std::unique_ptr<StartedProgram> StartWatched(const std::string& commandLine,
                                                         std::uint32_t& error) = 0;
};

}  // namespace kestrun::platform
