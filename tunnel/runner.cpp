#include "tunnel/runner.h"

#include "platform/format.h"

namespace kestrun {

void RunCommand(platform::Platform& platform, const std::string& commandLine) {
    const std::uint32_t error = platform.runner.RunAndWait(commandLine, kCommandTimeoutMs);
    if (error == platform::kRunTimedOut) {
        platform.trace.Output(Format("RunCommand: %s did not end within %u s and was ended.\n",
                                     commandLine.c_str(), kCommandTimeoutMs / 1000));
    } else if (error != 0) {
        platform.trace.Output(Format("CreateProcess failed (%d).\n", static_cast<int>(error)));
    }
}

std::uint32_t RunDetached(platform::Platform& platform, const std::string& commandLine) {
    return platform.runner.StartHidden(commandLine);
}

}  // namespace kestrun
