#include "tunnel/tunnel_script_text.h"

#include "netprobe/os_type.h"
#include "platform/format.h"
#include "tunnel/ipsec_tools.h"

namespace kestrun {
namespace {

constexpr const char* kFirewallLine = "netsh firewall set icmpsetting 8 ENABLE";

// Route, outbound rule and inbound rule; the last line has no line feed.
std::string ToolLines(const char* tool, const TunnelScriptInputs& in) {
    std::string text = Format("route -p add %s mask %s %s%s", in.network.c_str(), in.mask.c_str(),
                              in.gateway.c_str(), "");
    text += "\n";
    text += Format(
        "%s -w REG -p \"%s\" -r \"remote-router\" -f %s+%s/%s%s -t %s -n ESP[3DES,SHA]PFS "
        "-a preshare:%s -1s 3DES-MD5-2 3DES-SHA-2 DES-MD5-1 DES-SHA-1 -1p -c",
        tool, in.policy.c_str(), in.local.c_str(), in.network.c_str(), in.mask.c_str(), "",
        in.gateway.c_str(), in.key.c_str());
    text += "\n";
    text += Format(
        "%s -w REG -p \"%s\" -r \"router-remote\" -f %s/%s+%s%s -t %s -n ESP[3DES,SHA]PFS "
        "-a preshare:%s -1s 3DES-MD5-2 3DES-SHA-2 DES-MD5-1 DES-SHA-1 -1p -c -x",
        tool, in.policy.c_str(), in.network.c_str(), in.mask.c_str(), in.local.c_str(), "",
        in.local.c_str(), in.key.c_str());
    return text;
}

// The five variables the netsh forms expand, each on its own line.
std::string SetLines(const TunnelScriptInputs& in) {
    std::string text =
        Format("set PSK=%s\nset GW=%s\nset ME=%s\nset REM_NET=%s\nset REM_MASK=%s", in.key.c_str(),
               in.gateway.c_str(), in.local.c_str(), in.network.c_str(), in.mask.c_str());
    text += "\n";
    return text;
}

// One tunnel-mode rule covers both directions: PC to LAN through the gateway, with the
// quick mode of the older forms (3DES with MD5, then with SHA1; PFS group 1; 50000 KB or
// an hour). Main mode stays Windows' default, which offers 3DES-SHA1 with DH group 2.
// Each rule is deleted before it is added, so that logins do not pile up copies.
std::string AdvfirewallLines(const TunnelScriptInputs& in) {
    std::string text = SetLines(in);
    text += Format("netsh advfirewall firewall delete rule %s\n", kAdvfirewallEchoRule);
    text +=
        "netsh advfirewall firewall add rule name=Belvane dir=in action=allow "
        "protocol=icmpv4:8,any\n";
    text += Format("netsh advfirewall consec delete rule %s\n", kAdvfirewallConsecRule);
    text +=
        "netsh advfirewall consec add rule name=Belvane endpoint1=%ME% "
        "endpoint2=%REM_NET%/%REM_MASK% action=requireinrequireout mode=tunnel type=dynamic "
        "localtunnelendpoint=%ME% remotetunnelendpoint=%GW% auth1=computerpsk auth1psk=%PSK% "
        "qmpfs=dhgroup1 qmsecmethods=esp:md5-3des+60min+50000kb,esp:sha1-3des+60min+50000kb "
        "profile=any\n";
    return text;
}

std::string NetshLines(const TunnelScriptInputs& in) {
    std::string text = SetLines(in);
    text += kFirewallLine;
    text += "\n";
    text += "netsh ipsec dynamic delete all\n";
    text += "\n";
    text +=
        "netsh ipsec dynamic add qmpolicy name=Belvane pfsgroup=grp1 "
        "qmsecmethods=\"ESP[3DES,MD5]:50000K/3600S\"\n";
    text +=
        "netsh ipsec dynamic add mmpolicy name=Belvane "
        "mmsecmethods=\"3DES-SHA1-2 3DES-MD5-2 3DES-SHA1-3\"\n";
    text += "\n";
    text +=
        "netsh ipsec dynamic add rule mmpolicy=Belvane qmpolicy=Belvane srcaddr=%ME% "
        "dstaddr=%REM_NET% dstmask=%REM_MASK% mirror=no conntype=lan psk=%PSK% "
        "tunneldstaddr=%GW%\n";
    text +=
        "netsh ipsec dynamic add rule mmpolicy=Belvane qmpolicy=Belvane dstaddr=%ME% "
        "srcaddr=%REM_NET% srcmask=%REM_MASK% mirror=no conntype=lan psk=%PSK% "
        "tunneldstaddr=%ME%\n";
    return text;
}

}  // namespace

std::string IPsecScriptText(const TunnelScriptInputs& inputs) {
    if (inputs.osType == OS_WIN2000) {
        return ToolLines(IPsecTool(inputs.osType), inputs);
    }
    if (inputs.osType == OS_WINXP) {
        return std::string(kFirewallLine) + "\n" + ToolLines(IPsecTool(inputs.osType), inputs);
    }
    if (UsesNetsh(inputs.osType)) {
        return NetshLines(inputs);
    }
    if (UsesAdvfirewall(inputs.osType)) {
        return AdvfirewallLines(inputs);
    }
    return std::string();
}

OpenVpnGeneration GenerationOf(const OpenVpnRelease& r) {
    if (r.major < 2 || (r.major == 2 && r.minor <= 5)) {
        return OpenVpnGeneration::kClassic;
    }
    if (r.major == 2 && r.minor == 6) {
        return OpenVpnGeneration::kLegacyProvider;
    }
    if (r.major == 2 && r.minor == 7) {
        return OpenVpnGeneration::kStaticCryptoOptIn;
    }
    return OpenVpnGeneration::kBeyondKnown;
}

std::string OpenVpnReleaseTrace(const OpenVpnRelease& release) {
    if (GenerationOf(release) != OpenVpnGeneration::kBeyondKnown) {
        return std::string();
    }
    return Format("OpenVPN %u.%u may no longer run static-key tunnels\n", release.major,
                  release.minor);
}

std::string OpenVpnScriptText(const TunnelScriptInputs& in, const OpenVpnRelease& release) {
    std::string line = Format(
        ".\\openVPN\\openvpn.exe --remote %s --ifconfig %s %s --secret key.txt --dev tap "
        "--proto tcp-client --rport %s --ping 6 --ping-exit 100 --route %s %s %s "
        "--log ovpn.log --status status.log --inactive %d",
        in.gateway.c_str(), in.ovpnIfconfig.c_str(), in.ovpnSerMask.c_str(), in.ovpnSerPort.c_str(),
        in.network.c_str(), in.mask.c_str(), in.ovpnSerIP.c_str(), 20);
    // Older releases refuse options they do not know, so each is added only from the
    // release on that needs it. A release beyond those known gets all of them: its best
    // chance, and the trace says it may not be enough.
    const OpenVpnGeneration generation = GenerationOf(release);
    if (generation != OpenVpnGeneration::kClassic) {
        line += " --providers legacy default";
    }
    if (generation == OpenVpnGeneration::kStaticCryptoOptIn ||
        generation == OpenVpnGeneration::kBeyondKnown) {
        line += " --allow-deprecated-insecure-static-crypto";
    }
    return line;
}

std::vector<std::pair<std::string, std::string>> TunnelScriptValues(const TunnelScriptInputs& in) {
    std::vector<std::pair<std::string, std::string>> values;
    if (IPsecTool(in.osType) != nullptr) {
        values.emplace_back("ModelName", in.policy);
    }
    if (IPsecTool(in.osType) != nullptr || UsesNetsh(in.osType) || UsesAdvfirewall(in.osType)) {
        values.emplace_back("local address", in.local);
        values.emplace_back("PreSharedKey", in.key);
    }
    // The OpenVPN script is written on every system.
    values.emplace_back("Gateway", in.gateway);
    values.emplace_back("NetworkIP", in.network);
    values.emplace_back("Submask", in.mask);
    values.emplace_back("OVPN_Ifconfig", in.ovpnIfconfig);
    values.emplace_back("OVPN_SerMask", in.ovpnSerMask);
    values.emplace_back("OVPN_SerPort", in.ovpnSerPort);
    values.emplace_back("OVPN_SerIP", in.ovpnSerIP);
    return values;
}

}  // namespace kestrun
