#include "tunnel/ipsec_service.h"

#include "netprobe/os_type.h"
#include "platform/format.h"

namespace kestrun {
namespace {

constexpr const char* kOakleyKey = "SYSTEM\\CurrentControlSet\\Services\\PolicyAgent\\Oakley";
constexpr const char* kServiceName = "PolicyAgent";
constexpr int kStopPolls = 5;

int StartService(platform::Platform& platform, platform::Service& service) {
    platform.clock.Sleep(500);
    const std::uint32_t error = service.Start();
    if (error != 0) {
        platform.trace.Output(Format("Start IPSec Service Failed (%d)\n", static_cast<int>(error)));
        return 0;
    }
    platform.trace.Output("Start IPSec Service Success.\n");
    return 1;
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
    if (state == platform::kServiceRunning) {
        const std::uint32_t error = service.Stop();
        if (error != 0) {
            platform.trace.Output(Format("ControlService failed (%d)\n", static_cast<int>(error)));
            return 0;
        }
        platform.trace.Output("Stop IPSec Service Success.\n");
        platform.clock.Sleep(1000);
    }
    std::string statusLine;
    for (int poll = 0; poll < kStopPolls; ++poll) {
        platform.clock.Sleep(2000);
        if (service.QueryState(state) != 0) {
            platform.trace.Output("Query Service Fail.\n");
            return 0;
        }
        statusLine = Format("IPSec Service Status=%d\n", static_cast<int>(state));
        platform.trace.Output(statusLine);
        if (state != platform::kServiceRunning) {
            return StartService(platform, service);
        }
    }
    // It would not stop: leave it running, which still protects the tunnel.
    platform.trace.Output(statusLine);
    return 1;
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
