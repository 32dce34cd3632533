#include "tunnel/script_safety.h"

#include <cstring>

namespace kestrun {
namespace {

struct ValueRule {
    const char* name;
    ValueKind kind;
    bool numbered;  // the rule covers name followed by 1 to 10 as well
};

// Every value that reaches a tool's command line, and what it may hold. RemoteLANIP has no
// rule: it is an echo target, never part of a script.
constexpr ValueRule kValueRules[] = {
    {"Gateway", ValueKind::kAddress, false},
    {"local address", ValueKind::kAddress, false},  // adapter of the default route
    {"NetworkIP", ValueKind::kAddress, true},
    {"Submask", ValueKind::kAddress, true},
    {"OVPN_SerIP", ValueKind::kAddress, false},
    {"OVPN_Ifconfig", ValueKind::kAddress, false},
    {"OVPN_SerMask", ValueKind::kAddress, false},
    {"OVPN_SerPort", ValueKind::kPort, false},
    {"PreSharedKey", ValueKind::kBareText, false},
    {"ModelName", ValueKind::kQuotedText, false},  // only ever inside "-p \"...\""
};

constexpr int kNumberedValues = 10;

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool Accepts(ValueKind kind, char c) {
    switch (kind) {
        case ValueKind::kAddress:
            return IsDigit(c) || c == '.';
        case ValueKind::kPort:
            return IsDigit(c);
        case ValueKind::kBareText:
            // A NUL is a control byte, so strchr never meets its own terminator here.
            return !IsControl(c) && c != ' ' && std::strchr("&|<>^%\"", c) == nullptr;
        case ValueKind::kQuotedText:
            return !IsControl(c) && c != '%' && c != '"';
    }
    return false;
}

const ValueRule* RuleFor(const std::string& name) {
    for (const ValueRule& rule : kValueRules) {
        if (name == rule.name) {
            return &rule;
        }
        for (int i = 1; rule.numbered && i <= kNumberedValues; ++i) {
            if (name == rule.name + std::to_string(i)) {
                return &rule;
            }
        }
    }
    return nullptr;
}

}  // namespace

bool IsSafeAs(ValueKind kind, const std::string& value) {
    for (const char c : value) {
        if (!Accepts(kind, c)) {
            return false;
        }
    }
    return true;
}

bool IsScriptValueSafe(const std::string& name, const std::string& value) {
    const ValueRule* rule = RuleFor(name);
    return rule != nullptr && IsSafeAs(rule->kind, value);
}

std::string RefusedValueTrace(const std::string& name) {
    return "Refused unsafe value of " + name + "\n";
}

}  // namespace kestrun
