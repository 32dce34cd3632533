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
void WaitUntilRunning(platform::Clock& clock, platform::Service& service, std::uint32_t limitMs) {
    const std::uint32_t begin = clock.TickCount();
    std::uint32_t state = 0;
    while (service.QueryState(state) == 0 && state != platform::kServiceRunning &&
           clock.TickCount() - begin < limitMs) {
        clock.Sleep(kPollMs);
    }
}

int StartService(platform::Clock& clock, platform::Trace& trace, platform::Service& service) {
    const std::uint32_t error = service.Start();
    if (error != 0) {
        trace.Output(Format("Start IPSec Service Failed (%d)\n", static_cast<int>(error)));
        return 0;
    }
    trace.Output("Start IPSec Service Success.\n");
    WaitUntilRunning(clock, service, kStartWaitMs);
    return 1;
}

// Polls until the service has left the running and stopping states, tracing each state
// it sees once, then starts it. One still running at the limit is left so and counts as
// success; one still stopping is met with a start, which Windows refuses.
int StartOnceStopped(platform::Clock& clock, platform::Trace& trace, platform::Service& service,
                     std::uint32_t limitMs) {
    const std::uint32_t begin = clock.TickCount();
    std::string statusLine;
    for (;;) {
        std::uint32_t state = 0;
        if (service.QueryState(state) != 0) {
            trace.Output("Query Service Fail.\n");
            return 0;
        }
        const std::string line = Format("IPSec Service Status=%d\n", static_cast<int>(state));
        if (line != statusLine) {
            statusLine = line;
            trace.Output(statusLine);
        }
        const bool waiting =
            state == platform::kServiceRunning || state == platform::kServiceStopPending;
        const bool timedOut = clock.TickCount() - begin >= limitMs;
        if (!waiting || (timedOut && state != platform::kServiceRunning)) {
            return StartService(clock, trace, service);
        }
        if (timedOut) {
            // It would not stop: leave it running, which still protects the tunnel.
            trace.Output(statusLine);
            return 1;
        }
        clock.Sleep(kPollMs);
    }
}

// Everything after the service is open; the caller's handles close when it returns.
int RestartService(platform::Clock& clock, platform::Trace& trace, platform::Service& service) {
    std::uint32_t startType = 0;
    if (service.QueryStartType(startType) != 0) {
        trace.Output("Query Service Confige Fail.\n");
        return 0;
    }
    if (startType == platform::kServiceDisabled) {
        if (service.ChangeStartType(platform::kServiceAutoStart) != 0) {
            trace.Output("Change Service Confige Fail.\n");
            return 0;
        }
        clock.Sleep(500);
    }
    std::uint32_t state = 0;
    if (service.QueryState(state) != 0) {
        trace.Output("Query Service Fail.\n");
        return 0;
    }
    trace.Output(Format("Current Status=%d\n", static_cast<int>(state)));
    if (state != platform::kServiceRunning) {
        return StartOnceStopped(clock, trace, service, kStopPollsMs);
    }
    const std::uint32_t error = service.Stop();
    if (error != 0) {
        trace.Output(Format("ControlService failed (%d)\n", static_cast<int>(error)));
        return 0;
    }
    trace.Output("Stop IPSec Service Success.\n");
    return StartOnceStopped(clock, trace, service, kStopSettleMs + kStopPollsMs);
}

}  // namespace

int SetOakleyLogging(platform::Registry& registry, platform::Trace& trace, int flag) {
    auto key =
        registry.Create(platform::RegRoot::LocalMachine, kOakleyKey, platform::kKeyAllAccess);
    if (!key) {
        trace.Output("Can't Create IPSec Reg Key Failed!!!\n");
        return 0;
    }
    if (!key->SetDword("EnableLogging", flag == 1 ? 1 : 0)) {
        trace.Output("Can't Set IPSec Reg Key!!!\n");
        return 0;
    }
    trace.Output("Set IPSec Reg Key Success!!!\n");
    return 1;
}

int CheckIPsecService(platform::Clock& clock, platform::Services& services, platform::Trace& trace,
                      int osType) {
    if (!IsNt4ToServer2003(osType)) {
        return 1;
    }
    std::uint32_t error = 0;
    auto manager = services.OpenManager(error);
    if (!manager) {
        trace.Output(Format("OpenSCManager failed (%d)\n", static_cast<int>(error)));
        return 0;
    }
    auto service = manager->OpenService(kServiceName, error);
    if (!service) {
        trace.Output(Format("OpenService failed (%d)\n", static_cast<int>(error)));
        return 0;
    }
    return RestartService(clock, trace, *service);
}

}  // namespace kestrun
