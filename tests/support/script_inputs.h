// One realistic parameter set for the tunnel scripts, shared by the script tests.
#pragma once

#include "tunnel/tunnel_script_text.h"

namespace kestrun::test {

inline TunnelScriptInputs SampleScriptInputs(int osType) {
    TunnelScriptInputs in;
    in.osType = osType;
    in.policy = "TRV-615_SSL";
    in.local = "192.168.1.5";
    in.network = "10.0.0.0";
    in.mask = "255.0.0.0";
    in.gateway = "1.2.3.4";
    in.key = "2637";
    in.ovpnIfconfig = "99";
    in.ovpnSerMask = "255.255.255.255";
    in.ovpnSerPort = "999";
    in.ovpnSerIP = "10.1.99.1";
    return in;
}

}  // namespace kestrun::test
