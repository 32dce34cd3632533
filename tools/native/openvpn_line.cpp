// Prints the client's OpenVPN line for a release and a set of tunnel values, so that the
// real-OpenVPN test runs exactly the arguments the client writes into Varnel_openVPN.bat.
//
//   openvpn_line <major> <minor> <gateway> <ifconfig> <sermask> <port> <network> <mask> <serip>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tunnel/tunnel_script_text.h"

int main(int argc, char** argv) {
    if (argc != 10) {
        std::fprintf(stderr,
                     "usage: %s major minor gateway ifconfig sermask port network mask serip\n",
                     argv[0]);
        return 2;
    }
    kestrun::OpenVpnRelease release;
    release.major = static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10));
    release.minor = static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10));
    kestrun::TunnelScriptInputs in;
    in.gateway = argv[3];
    in.ovpnIfconfig = argv[4];
    in.ovpnSerMask = argv[5];
    in.ovpnSerPort = argv[6];
    in.network = argv[7];
    in.mask = argv[8];
    in.ovpnSerIP = argv[9];
    std::fputs(kestrun::OpenVpnScriptText(in, release).c_str(), stdout);
    return 0;
}
