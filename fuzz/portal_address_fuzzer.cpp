// The portal address test on any text, against the plain rule: refused exactly when the
// address, in lower case, orders before "https://" byte by byte.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "portal/portal_address.h"

namespace kestrun::fuzz {
namespace {

bool OrdersBeforeHttps(const std::string& address) {
    const std::string https = "https://";
    for (std::size_t i = 0; i < https.size(); ++i) {
        if (i == address.size()) {
            return true;  // a proper prefix orders first
        }
        auto c = static_cast<unsigned char>(address[i]);
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<unsigned char>(c - 'A' + 'a');
        }
        const auto h = static_cast<unsigned char>(https[i]);
        if (c != h) {
            return c < h;
        }
    }
    return false;
}

}  // namespace
}  // namespace kestrun::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string address(reinterpret_cast<const char*>(data), size);
    kestrun::fuzz::Require(
        kestrun::IsRefusedPortalAddress(address) == kestrun::fuzz::OrdersBeforeHttps(address),
        "refused exactly when the address orders before \"https://\": " + address);
    return 0;
}
