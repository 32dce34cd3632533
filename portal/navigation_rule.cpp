#include "portal/navigation_rule.h"

#include <optional>

#include "platform/text.h"
#include "platform/url_scheme.h"

namespace kestrun {
namespace {

bool IsWebAddress(const std::string& address) {
    const std::optional<std::string> scheme = NamedScheme(address);
    return scheme && (EqualsIgnoringCase(*scheme, "http") || EqualsIgnoringCase(*scheme, "https"));
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The path a file: address names ("file:///C:/Program%20Files/x.html" is
// "C:\Program Files\x.html"); the text itself when it is not one.
std::string AsPath(const std::string& address) {
    if (address.size() < 5 || !EqualsIgnoringCase(address.substr(0, 5), "file:")) {
        return address;
    }
    std::size_t start = 5;
    while (start < address.size() && address[start] == '/') {
        ++start;
    }
    std::string path;
    for (std::size_t i = start; i < address.size(); ++i) {
        const char c = address[i];
        if (c == '%' && i + 2 < address.size() && HexValue(address[i + 1]) >= 0 &&
            HexValue(address[i + 2]) >= 0) {
            path += static_cast<char>(HexValue(address[i + 1]) * 16 + HexValue(address[i + 2]));
            i += 2;
        } else {
            path += c == '/' ? '\\' : c;
        }
    }
    return path;
}

}  // namespace

bool AllowsTopLevelNavigation(const std::string& target, const std::string& current,
                              const std::string& localPage) {
    if (IsWebAddress(target)) {
        return true;
    }
    if (!localPage.empty() && EqualsIgnoringCase(AsPath(target), localPage)) {
        return true;
    }
    const std::optional<std::string> scheme = NamedScheme(target);
    return scheme && EqualsIgnoringCase(*scheme, "javascript") && IsWebAddress(current);
}

}  // namespace kestrun
