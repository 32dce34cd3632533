// Starting other programs. Both ways start the command hidden, through the system's own
// command interpreter with the script or tool named by its full path.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kestrun::platform {

// RunAndWait's result when the command ran past its bound and was ended (ERROR_TIMEOUT).
constexpr std::uint32_t kRunTimedOut = 1460;
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
    // Starts command (a script of the program folder or a system tool, see
    // BuildInterpreterCommand) hidden and waits for it at most timeoutMilliseconds; past that
    // the command and every process it started are ended and kRunTimedOut is returned.
    // Returns 0, or the system error code when the process could not be started or waited
    // for (it is then ended as one that overran).
    virtual std::uint32_t RunAndWait(const std::string& command,
                                     std::uint32_t timeoutMilliseconds) = 0;
    // Starts command hidden and returns at once with a WinExec-style result (above 31 means
    // started).
    virtual std::uint32_t StartHidden(const std::string& command) = 0;
    // Starts command hidden without waiting, so that the caller can tell when it has ended.
    // nullptr, with error set to the system error code, when it could not be started.
    virtual std::unique_ptr<StartedProgram> StartWatched(const std::string& command,
                                                         std::uint32_t& error) = 0;
};

}  // namespace kestrun::platform
