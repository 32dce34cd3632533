#include "tunnel/script_safety.h"

#include <cstring>

namespace kestrun {

bool IsScriptSafe(const std::string& value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return false;
        }
        if (std::strchr("&|<>^%\"", c) != nullptr) {
            return false;
        }
    }
    return true;
}

std::string RefusedValueTrace(const std::string& name) {
    return "Refused unsafe value of " + name + "\n";
}

}  // namespace kestrun
