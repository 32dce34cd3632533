#include "netprobe/reachability.h"

#include "platform/format.h"

namespace kestrun {

bool ClaimEcho(Liveness& liveness) {
    // Testing that none runs and taking the right away from the next one is one step.
    return liveness.m_bPingIdle.exchange(0) == 1;
}

int PingRemoteLAN(Liveness& liveness, platform::Echo& echo, platform::Trace& trace,
                  const std::string& target) {
    trace.Output(Format("PingRemoteLAN=[%s]\n", target.c_str()));
    const platform::EchoReply reply = echo.Send(target, kEchoTimeoutMs);
    if (!reply.opened) {
        trace.Output("\tUnable to open file.\n");
    } else {
        trace.Output("\tFile created.\n");
        // A router also replies for a host it cannot reach; only a success is an answer.
        if (reply.replies > 0 && reply.status == platform::kIpSuccess) {
            trace.Output(Format("\tReceived %u icmp message responses from %s\n",
                                static_cast<unsigned>(reply.replies), target.c_str()));
            trace.Output("LAN Connected!!!\n");
            liveness.m_bLANConnected = 1;
            liveness.m_bPingIdle = 1;
            return 1;
        }
        const std::uint32_t cause = reply.replies > 0 ? reply.status : reply.error;
        trace.Output(
            Format("\tCall to IcmpSendEcho() failed.\n\tError: %ld\n", static_cast<long>(cause)));
    }
    liveness.m_bLANConnected = 0;
    liveness.m_bPingIdle = 1;
    return 0;
}

}  // namespace kestrun
