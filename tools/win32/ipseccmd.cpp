// Stand-in for ipseccmd: records how it was called and succeeds. "show stats" also prints
// a statistics listing laid out like the real tool's, with fixed byte totals.
#include <cstdio>
#include <string>

#include "stub_log.h"

int main() {
    // The command interpreter keeps the blanks before a redirection.
    std::string tail = kestrun::stub::CommandLineTail();
    tail.erase(tail.find_last_not_of(' ') + 1);
    if (tail == "show stats") {
        std::printf(
            "IPSec Statistics\r\n"
            "----------------\r\n"
            "Active Assoc                 : 2\r\n"
            "Active Tunnels               : 1\r\n"
            "Authenticated Bytes Sent     : 98765\r\n"
            "Authenticated Bytes Received : 56789\r\n"
            "Bytes Sent In Tunnels        : 123456\r\n"
            "Bytes Received In Tunnels    : 654321\r\n");
    }
    return kestrun::stub::LogCall("ipseccmd");
}
