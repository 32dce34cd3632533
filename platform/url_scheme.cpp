#include "platform/url_scheme.h"

#include "platform/text.h"

namespace kestrun {
namespace {

bool IsSchemeChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '-' || c == '.';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Browsers run the rest of these as script whatever it looks like, so "javascript:1/x" is
// never a host with a port.
bool IsScriptScheme(const std::string& name) {
    for (const char* script :
         {"javascript", "jscript", "livescript", "ecmascript", "vbscript", "vbs"}) {
        if (EqualsIgnoringCase(name, script)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<std::string> NamedScheme(const std::string& address) {
    std::string text;
    for (const char c : address) {
        if (c != '\t' && c != '\r' && c != '\n') {
            text += c;
        }
    }
    std::size_t colon = 0;
    while (colon < text.size() && IsSchemeChar(text[colon])) {
        ++colon;
    }
    if (colon == 0 || colon == text.size() || text[colon] != ':') {
        return std::nullopt;
    }
    std::size_t end = colon + 1;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    const bool port = end > colon + 1 && (end == text.size() || text[end] == '/' ||
                                          text[end] == '?' || text[end] == '#');
    const std::string name = text.substr(0, colon);
    if (port && !IsScriptScheme(name)) {
        return std::nullopt;
    }
    return name;
}

bool NamesOtherThanHttps(const std::string& address) {
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    const std::optional<std::string> scheme = NamedScheme(address);
    return scheme && !EqualsIgnoringCase(*scheme, "https");
}

}  // namespace kestrun
