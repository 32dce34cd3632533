// What the portal expects of the address the user logs in with, and of the request.
#pragma once

#include <string>

namespace kestrun {

// The extra request header line that tells the portal this client is asking.
constexpr const char* kPortalRequestHeader = "Varnel:TRV-615 SSLVPN\r\n";

// Connect refuses an address that orders before "https://" when letter case is ignored:
// every "https://" address passes, and so does a bare host name after "h" (a router's name),
// while an "http://" address, a dotted number and every proper prefix of "https://" do not.
// Nor does one naming another scheme ("javascript:", "mk:@MSITStore:"): the browser would
// run its handler inside this process, which has administrator rights.
bool IsRefusedPortalAddress(const std::string& address);

}  // namespace kestrun
