// From a settings file of any bytes to the scripts that run with administrator rights: every
// script byte is either fixed text or a value that its kind allows, and a refusal leaves
// both tunnel scripts empty.
//
// The fixed text of a script is found by building it with a marker in each value's place;
// the script written must then be that text with the values put back, and each value that
// has a place in it must pass the check of its kind. The kinds are spelled out here once
// more, apart from the program's own checks, so that a rule loosened there shows up.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "netprobe/os_type.h"
#include "settings/setting_file.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"
#include "tunnel/teardown.h"
#include "tunnel/teardown_text.h"
#include "tunnel/tunnel_script_text.h"
#include "tunnel/tunnel_scripts.h"

namespace kestrun::fuzz {
namespace {

enum class Kind { kAddress, kPort, kBareText, kQuotedText };

bool Allows(Kind kind, const std::string& value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool printable = byte >= 0x20 && byte != 0x7F;
        const bool digit = c >= '0' && c <= '9';
        bool ok = false;
        switch (kind) {
            case Kind::kAddress:
                ok = digit || c == '.';
                break;
            case Kind::kPort:
                ok = digit;
                break;
            case Kind::kBareText:
                ok = printable && std::string(" &|<>^%\"").find(c) == std::string::npos;
                break;
            case Kind::kQuotedText:
                ok = printable && c != '%' && c != '"';
                break;
        }
        if (!ok) {
            return false;
        }
    }
    return true;
}

struct Field {
    std::string TunnelScriptInputs::*member;
    Kind kind;
};

const Field kFields[] = {
    {&TunnelScriptInputs::policy, Kind::kQuotedText},
    {&TunnelScriptInputs::local, Kind::kAddress},
    {&TunnelScriptInputs::network, Kind::kAddress},
    {&TunnelScriptInputs::mask, Kind::kAddress},
    {&TunnelScriptInputs::gateway, Kind::kAddress},
    {&TunnelScriptInputs::key, Kind::kBareText},
    {&TunnelScriptInputs::ovpnIfconfig, Kind::kAddress},
    {&TunnelScriptInputs::ovpnSerMask, Kind::kAddress},
    {&TunnelScriptInputs::ovpnSerPort, Kind::kPort},
    {&TunnelScriptInputs::ovpnSerIP, Kind::kAddress},
};
constexpr std::size_t kFieldCount = sizeof(kFields) / sizeof(kFields[0]);

// \x01, the field's letter, \x01: no fixed text holds a control byte.
std::string Marker(std::size_t field) {
    return std::string("\x01") + static_cast<char>('A' + field) + "\x01";
}

// The template with each marker replaced by its value; used says which fields have a place.
std::string FillIn(const std::string& text, const TunnelScriptInputs& inputs,
                   std::vector<bool>& used) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\x01') {
            out += text[i];
            continue;
        }
        Require(i + 2 < text.size() && text[i + 2] == '\x01', "a marker stays whole");
        const auto field = static_cast<std::size_t>(text[i + 1] - 'A');
        Require(field < kFieldCount, "a marker names a field");
        out += inputs.*kFields[field].member;
        used[field] = true;
        i += 2;
    }
    return out;
}

std::string ReadFile(platform::fake::FakePlatform& fake, const char* name) {
    const auto bytes = fake.files.ReadAll(name);
    Require(bytes.has_value(), std::string("the script exists: ") + name);
    return *bytes;
}

void CheckTunnelScripts(platform::fake::FakePlatform& fake, const TunnelScriptInputs& inputs) {
    TunnelScriptInputs markers = inputs;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        markers.*kFields[i].member = Marker(i);
    }
    std::vector<bool> used(kFieldCount, false);
    const std::string ipsec = FillIn(IPsecScriptText(markers), inputs, used);
    const std::string openVpn = FillIn(OpenVpnScriptText(markers), inputs, used);
    bool allowed = true;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (used[i] && !Allows(kFields[i].kind, inputs.*kFields[i].member)) {
            allowed = false;
        }
    }

    SessionClock clock;
    const int made =
        MakeTunnelScripts(fake.files, fake.system, fake.clock, fake.trace, inputs, clock);
    const std::string os = " (OS type " + std::to_string(inputs.osType) + ")";
    Require(made == (allowed ? 1 : 0), "scripts made exactly when every value is allowed" + os);
    if (allowed) {
        Require(ReadFile(fake, kIPsecScriptName) == ipsec, "IPsec script is its template" + os);
        Require(ReadFile(fake, kOpenVpnScriptName) == openVpn, "OpenVPN script is its template");
    } else {
        Require(ReadFile(fake, kIPsecScriptName).empty(), "a refusal empties the IPsec script");
        Require(ReadFile(fake, kOpenVpnScriptName).empty(), "a refusal empties the OpenVPN one");
    }
}

// "route delete <network> mask <mask>" lines, both values addresses.
void CheckRouteDeletes(const std::string& text) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.empty()) {
            continue;
        }
        const std::string head = "route delete ";
        const std::size_t mask = line.find(" mask ");
        Require(line.compare(0, head.size(), head) == 0 && mask != std::string::npos,
                "a route removal line: " + line);
        Require(Allows(Kind::kAddress, line.substr(head.size(), mask - head.size())) &&
                    Allows(Kind::kAddress, line.substr(mask + 6)),
                "a route removal names addresses: " + line);
    }
}

void CheckClearIPsec(int osType, const std::string& policy) {
    const std::string marker = "@policy@";
    const std::string fixed = ClearIPsecText(osType, marker).text;
    std::string expected;
    bool used = false;
    for (std::size_t i = 0; i < fixed.size();) {
        if (fixed.compare(i, marker.size(), marker) == 0) {
            expected += policy;
            used = true;
            i += marker.size();
        } else {
            expected += fixed[i++];
        }
    }
    const ScriptText script = ClearIPsecText(osType, policy);
    if (used && !Allows(Kind::kQuotedText, policy)) {
        Require(script.text.empty() && script.refused == std::vector<std::string>{"ModelName"},
                "an unsafe policy name is refused");
    } else {
        Require(script.text == expected && script.refused.empty(),
                "the policy removal is its template");
    }
}

}  // namespace
}  // namespace kestrun::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrun;
    const test::ScopedWorkDir dir;
    {
        std::ofstream out(".\\Setting.tmp", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    platform::fake::FakePlatform fake;
    TunnelSettings settings;
    NoAddressHistory history;
    std::int32_t interfaceIndex = 0;
    SettingFile(fake.profile, kWorkingCopyPath).ParseSetting(settings, interfaceIndex, history);
    // The default route's adapter address comes from the system; an unchecked one would be
    // as bad as a bad setting, so the file's echo target stands in for it as well.
    for (const std::string& local : {std::string("192.168.1.5"), settings.m_strRemoteLANIP}) {
        for (int os = OS_ERROR; os <= OS_WIN7; ++os) {
            fuzz::CheckTunnelScripts(fake, ScriptInputsFrom(settings, os, local));
        }
    }
    DelRouteTable(fake.files, fake.runner, fake.trace, SettingFile(fake.profile, kWorkingCopyPath));
    fuzz::CheckRouteDeletes(fuzz::ReadFile(fake, kDelRouteTableScriptName));
    for (int os = OS_ERROR; os <= OS_WIN7; ++os) {
        fuzz::CheckClearIPsec(os, settings.m_strModelName);
    }
    return 0;
}
