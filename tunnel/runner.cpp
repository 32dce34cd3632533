#include "tunnel/runner.h"

#include "platform/format.h"

namespace kestrun {

void RunCommand(platform::Platform& platform, const std::string& commandLine) {
    const std::uint32_t error = platform.runner.RunAndWait(commandLine);
    if (error != 0) {
        platform.trace.Output(Format("CreateProcess failed (%d).\n", static_cast<int>(error)));
    }
}

std::uint32_t RunDetached(platform::Platform& platform, const std::string& commandLine) {
    return platform.runner.StartHidden(commandLine);
}

}  // namespace kestrun
