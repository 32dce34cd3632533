// What start-up learns about the machine. Set once before the main window exists and read,
// never changed, for the rest of the run.
#pragma once

#include <memory>
#include <string>

#include "netprobe/os_type.h"
#include "platform/echo.h"

namespace kestrun {

struct MachineFacts {
    int m_nOSType = OS_ERROR;
    // The user's profile directory without a trailing backslash, where a login made in an
    // outside browser leaves its settings; empty when unknown.
    std::string m_szProfileDir;
    // The echo of the ICMP library loaded for this Windows version; shared with the echo
    // worker, which may outlive the window.
    std::shared_ptr<platform::Echo> m_pIcmpEcho;
};

}  // namespace kestrun
