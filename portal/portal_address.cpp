#include "portal/portal_address.h"

#include "platform/text.h"
#include "platform/url_scheme.h"

namespace kestrun {

bool IsRefusedPortalAddress(const std::string& address) {
    // The C library's case-insensitive comparison: both sides in lower case, byte by byte.
    return ToLowerAscii(address).compare("https://") < 0 || NamesOtherThanHttps(address);
}

}  // namespace kestrun
