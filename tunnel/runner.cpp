#include "tunnel/runner.h"

#include "platform/format.h"

namespace kestrun {

void RunCommand(platform::Runner& runner, platform::Trace& trace, const std::string& commandLine) {
    const std::uint32_t error = runner.RunAndWait(commandLine, kCommandTimeoutMs);
    if (error == platform::kRunTimedOut) {
        trace.Output(Format("RunCommand: %s did not end within %u s and was ended.\n",
                            commandLine.c_str(), kCommandTimeoutMs / 1000));
    } else if (error != 0) {
        trace.Output(Format("CreateProcess failed (%d).\n", static_cast<int>(error)));
    }
}

std::uint32_t RunDetached(platform::Runner& runner, const std::string& commandLine) {
    return runner.StartHidden(commandLine);
}

}  // namespace kestrun
