#include "platform/text.h"

#include <algorithm>
#include <cctype>

namespace kestrun {

std::string ToLowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

}  // namespace kestrun
