// The connection as the status windows see it. They read it; the one change they make is
// the Connectivity Info window's: a mode it cannot show as IPsec becomes OpenVPN.
#pragma once

#include "tunnel/session_clock.h"

namespace kestrun {

class ConnectionView {
  public:
    virtual ~ConnectionView() = default;
    // 1 IPsec, 2 OpenVPN; other values until the info window settles them.
    virtual int VpnMode() const = 0;
    virtual void SettleModeAsOpenVpn() = 0;
    virtual const SessionClock& ConnectionClock() const = 0;
};

}  // namespace kestrun
