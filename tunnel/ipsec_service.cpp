#include "tunnel/ipsec_service.h"

#include "netprobe/os_type.h"
#include "platform/format.h"

namespace kestrun {
namespace {

constexpr const char* kOakleyKey = "SYSTEM\\CurrentControlSet\\Services\\PolicyAgent\\Oakley";
constexpr const char* kServiceName = "PolicyAgent";
constexpr std::uint32_t kPollMs = 100;
// The waits keep the bounds of the fixed pauses they replace: a stop used to be given
// 1000 ms and then five polls 2000 ms apart, a start the 500 ms pause before it.
constexpr std::uint32_t kStopSettleMs = 1000;
constexpr std::uint32_t kStopPollsMs = 5 * 2000;
constexpr std::uint32_t kStartWaitMs = 500;

// Polls until the service runs or limitMs have passed; the start has already succeeded,
// so neither a slow start nor a failed query changes the result.
void WaitUntilRunning(platform::Platform& platform, platform::Service& service,
                      std::uint32_t limitMs) {
    const std::uint32_t begin = platform.clock.TickCount();
    std::uint32_t state = 0;
    while (service.QueryState(state) == 0 && state != platform::kServiceRunning &&
           platform.clock.TickCount() - begin < limitMs) {
        platform.clock.Sleep(kPollMs);
    }
}

int StartService(platform::Platform& platform, platform::Service& service) {
    const std::uint32_t error = service.Start();
    if (error != 0) {
        platform.trace.Output(Format("Start IPSec Service Failed (%d)\n", static_cast<int>(error)));
        return 0;
    }
    platform.trace.Output("Start IPSec Service Success.\n");
    WaitUntilRunning(platform, service, kStartWaitMs);
    return 1;
}

// Polls until the service has left the running and stopping states, tracing each state
// it sees once, then starts it. One still running at the limit is left so and counts as
// success; one still stopping is met with a start, which Windows refuses.
int StartOnceStopped(platform::Platform& platform, platform::Service& service,
                     std::uint32_t limitMs) {
    const std::uint32_t begin = platform.clock.TickCount();
    std::string statusLine;
    for (;;) {
        std::uint32_t state = 0;
        if (service.QueryState(state) != 0) {
            platform.trace.Output("Query Service Fail.\n");
            return 0;
        }
        const std::string line = Format("IPSec Service Status=%d\n", static_cast<int>(state));
        if (line != statusLine) {
            statusLine = line;
            platform.trace.Output(statusLine);
        }
        const bool waiting =
            state == platform::kServiceRunning || state == platform::kServiceStopPending;
        const bool timedOut = platform.clock.TickCount() - begin >= limitMs;
        if (!waiting || (timedOut && state != platform::kServiceRunning)) {
            return StartService(platform, service);
        }
        if (timedOut) {
            // It would not stop: leave it running, which still protects the tunnel.
            platform.trace.Output(statusLine);
            return 1;
        }
        platform.clock.Sleep(kPollMs);
    }
}

// Everything after the service is open; the caller's handles close when it returns.
int RestartService(platform::Platform& platform, platform::Service& service) {
    std::uint32_t startType = 0;
    if (service.QueryStartType(startType) != 0) {
        platform.trace.Output("Query Service Confige Fail.\n");
        return 0;
    }
    if (startType == platform::kServiceDisabled) {
        if (service.ChangeStartType(platform::kServiceAutoStart) != 0) {
            platform.trace.Output("Change Service Confige Fail.\n");
            return 0;
        }
        platform.clock.Sleep(500);
    }
    std::uint32_t state = 0;
    if (service.QueryState(state) != 0) {
        platform.trace.Output("Query Service Fail.\n");
        return 0;
    }
    platform.trace.Output(Format("Current Status=%d\n", static_cast<int>(state)));
    if (state != platform::kServiceRunning) {
        return StartOnceStopped(platform, service, kStopPollsMs);
    }
    const std::uint32_t error = service.Stop();
    if (error != 0) {
        platform.trace.Output(Format("ControlService failed (%d)\n", static_cast<int>(error)));
        return 0;
    }
    platform.trace.Output("Stop IPSec Service Success.\n");
    return StartOnceStopped(platform, service, kStopSettleMs + kStopPollsMs);
}

}  // namespace

int SetOakleyLogging(platform::Platform& platform, int flag) {
    auto key = platform.registry.Create(platform::RegRoot::LocalMachine, kOakleyKey,
                                        platform::kKeyAllAccess);
    if (!key) {
        platform.trace.Output("Can't Create IPSec Reg Key Failed!!!\n");
        return 0;
    }
    if (!key->SetDword("EnableLogging", flag == 1 ? 1 : 0)) {
        platform.trace.Output("Can't Set IPSec Reg Key!!!\n");
        return 0;
    }
    platform.trace.Output("Set IPSec Reg Key Success!!!\n");
    return 1;
}

int CheckIPsecService(platform::Platform& platform, int osType) {
    if (!IsNt4ToServer2003(osType)) {
        return 1;
    }
    std::uint32_t error = 0;
    auto manager = platform.services.OpenManager(error);
    if (!manager) {
        platform.trace.Output(Format("OpenSCManager failed (%d)\n", static_cast<int>(error)));
        return 0;
    }
    auto service = manager->OpenService(kServiceName, error);
    if (!service) {
        platform.trace.Output(Format("OpenService failed (%d)\n", static_cast<int>(error)));
        return 0;
    }
    return RestartService(platform, *service);
}

}  // namespace kestrun
