// The ICMP echo that tells whether the far end of the tunnel answers, and the library it
// comes from, chosen at start-up by the Windows version.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kestrun::platform {

// The reply status of an answered echo (IP_SUCCESS); routers answer with other statuses
// such as "destination host unreachable" (11003) too.
constexpr std::uint32_t kIpSuccess = 0;

struct EchoReply {
    bool opened = false;        // an echo handle could be opened
    std::uint32_t replies = 0;  // replies received; 0 when none came in time
    std::uint32_t status = 0;   // status of the first reply
    std::uint32_t error = 0;    // the system's error code when no reply came
};

class Echo {
  public:
    virtual ~Echo() = default;
    // Sends one echo request with 4 data bytes to the dotted IPv4 address and waits at most
    // timeoutMs for the reply. May be called from any thread.
    virtual EchoReply Send(const std::string& address, std::uint32_t timeoutMs) = 0;
};

enum class EchoLoad {
    Loaded,
    NoLibrary,     // the library cannot be loaded
    MissingEntry,  // one of its three entry points is missing; the library was freed again
};

class EchoLibrary {
  public:
    virtual ~EchoLibrary() = default;
    // The echo of the named library ("ICMP.DLL" or "Iphlpapi.dll"), or nullptr with the
    // reason in outcome. A loaded library stays loaded until the process ends.
    virtual std::unique_ptr<Echo> Load(const std::string& libraryName, EchoLoad& outcome) = 0;
};

}  // namespace kestrun::platform
