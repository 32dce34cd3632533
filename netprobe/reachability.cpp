#include "netprobe/reachability.h"

#include "platform/format.h"

namespace kestrun {

void PingRemoteLAN(EchoJob& job, platform::Echo& echo) {
    job.Publish(echo.Send(job.Target(), kEchoTimeoutMs));
}

int ReportEcho(const EchoJob& job, platform::Trace& trace) {
    const platform::EchoReply& reply = job.Reply();
    if (!reply.opened) {
        trace.Output("\tUnable to open file.\n");
        return 0;
    }
    trace.Output("\tFile created.\n");
    // A router also replies for a host it cannot reach; only a success is an answer.
    if (reply.replies > 0 && reply.status == platform::kIpSuccess) {
        trace.Output(Format("\tReceived %u icmp message responses from %s\n",
                            static_cast<unsigned>(reply.replies), job.Target().c_str()));
        trace.Output("LAN Connected!!!\n");
        return 1;
    }
    const std::uint32_t cause = reply.replies > 0 ? reply.status : reply.error;
    trace.Output(
        Format("\tCall to IcmpSendEcho() failed.\n\tError: %ld\n", static_cast<long>(cause)));
    return 0;
}

}  // namespace kestrun
