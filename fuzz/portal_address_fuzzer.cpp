// The portal address test on any text, against the plain rules: refused exactly when the
// address, in lower case, orders before "https://" byte by byte, holds a control character,
// or names a scheme other than https before a ':' that no port number follows (a script
// scheme whatever follows it).
#include <cstdint>
#include <regex>
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

bool NamesOtherScheme(const std::string& address) {
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    // A script scheme names itself whatever follows it.
    static const std::regex script("^(javascript|jscript|livescript|ecmascript|vbscript|vbs):",
                                   std::regex::icase);
    static const std::regex scheme("^([A-Za-z0-9+.-]+):(?![0-9]+([/?#]|$))");
    std::smatch match;
    return std::regex_search(address, script) ||
           (std::regex_search(address, match, scheme) &&
            !std::regex_match(match[1].str(), std::regex("https", std::regex::icase)));
}

}  // namespace
}  // namespace kestrun::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string address(reinterpret_cast<const char*>(data), size);
    kestrun::fuzz::Require(
        kestrun::IsRefusedPortalAddress(address) ==
            (kestrun::fuzz::OrdersBeforeHttps(address) || kestrun::fuzz::NamesOtherScheme(address)),
        "refused exactly when the address orders before \"https://\" or names another scheme: " +
            address);
    return 0;
}
