#include "tunnel/tunnel_script_text.h"

#include <gtest/gtest.h>

#include "tests/support/script_inputs.h"

#include "netprobe/os_type.h"
#include "tunnel/script_safety.h"

namespace kestrun {
namespace {

TunnelScriptInputs Example(int osType) {
    TunnelScriptInputs in = test::SampleScriptInputs(osType);
    in.key = "s3cret";
    in.ovpnIfconfig = "10.1.99.2";
    in.ovpnSerMask = "255.255.255.0";
    in.ovpnSerPort = "1194";
    return in;
}

const char* const kOutbound =
    " -w REG -p \"TRV-615_SSL\" -r \"remote-router\" -f 192.168.1.5+10.0.0.0/255.0.0.0 "
    "-t 1.2.3.4 -n ESP[3DES,SHA]PFS -a preshare:s3cret -1s 3DES-MD5-2 3DES-SHA-2 DES-MD5-1 "
    "DES-SHA-1 -1p -c";
const char* const kInbound =
    " -w REG -p \"TRV-615_SSL\" -r \"router-remote\" -f 10.0.0.0/255.0.0.0+192.168.1.5 "
    "-t 192.168.1.5 -n ESP[3DES,SHA]PFS -a preshare:s3cret -1s 3DES-MD5-2 3DES-SHA-2 DES-MD5-1 "
    "DES-SHA-1 -1p -c -x";

TEST(IPsecScriptTextTest, Windows2000UsesIpsecpolWithRouteFirstAndNoFinalLineFeed) {
    const std::string expected = std::string("route -p add 10.0.0.0 mask 255.0.0.0 1.2.3.4\n") +
                                 "ipsecpol.exe" + kOutbound + "\n" + "ipsecpol.exe" + kInbound;
    EXPECT_EQ(IPsecScriptText(Example(OS_WIN2000)), expected);
}

TEST(IPsecScriptTextTest, WindowsXpPutsFirewallLineBeforeTheIpseccmdLines) {
    const std::string expected = std::string("netsh firewall set icmpsetting 8 ENABLE\n") +
                                 "route -p add 10.0.0.0 mask 255.0.0.0 1.2.3.4\n" + "ipseccmd.exe" +
                                 kOutbound + "\n" + "ipseccmd.exe" + kInbound;
    EXPECT_EQ(IPsecScriptText(Example(OS_WINXP)), expected);
}

TEST(IPsecScriptTextTest, OutboundRuleReadsLocalPlusNetworkSlashMaskTowardsGateway) {
    // The second line of the Windows 2000 form, cut at the key.
    const std::string text = IPsecScriptText(Example(OS_WIN2000));
    const std::size_t start = text.find('\n') + 1;
    EXPECT_EQ(text.substr(start, text.find("preshare:", start) + 9 - start),
              "ipsecpol.exe -w REG -p \"TRV-615_SSL\" -r \"remote-router\" -f "
              "192.168.1.5+10.0.0.0/255.0.0.0 -t 1.2.3.4 -n ESP[3DES,SHA]PFS -a preshare:");
}

// The variables every netsh form of the script starts with.
constexpr const char* kNetshVariables =
    "set PSK=s3cret\n"
    "set GW=1.2.3.4\n"
    "set ME=192.168.1.5\n"
    "set REM_NET=10.0.0.0\n"
    "set REM_MASK=255.0.0.0\n";

TEST(IPsecScriptTextTest, ServerAndVistaUseNetshVariablesWithTwoBlankLines) {
    const std::string expected =
        std::string(kNetshVariables) +
        "netsh firewall set icmpsetting 8 ENABLE\n"
        "netsh ipsec dynamic delete all\n"
        "\n"
        "netsh ipsec dynamic add qmpolicy name=Belvane pfsgroup=grp1 "
        "qmsecmethods=\"ESP[3DES,MD5]:50000K/3600S\"\n"
        "netsh ipsec dynamic add mmpolicy name=Belvane "
        "mmsecmethods=\"3DES-SHA1-2 3DES-MD5-2 3DES-SHA1-3\"\n"
        "\n"
        "netsh ipsec dynamic add rule mmpolicy=Belvane qmpolicy=Belvane srcaddr=%ME% "
        "dstaddr=%REM_NET% dstmask=%REM_MASK% mirror=no conntype=lan psk=%PSK% "
        "tunneldstaddr=%GW%\n"
        "netsh ipsec dynamic add rule mmpolicy=Belvane qmpolicy=Belvane dstaddr=%ME% "
        "srcaddr=%REM_NET% srcmask=%REM_MASK% mirror=no conntype=lan psk=%PSK% "
        "tunneldstaddr=%ME%\n";
    EXPECT_EQ(IPsecScriptText(Example(OS_WINSERVER)), expected);
    EXPECT_EQ(IPsecScriptText(Example(OS_VISTA)), expected);
}

TEST(IPsecScriptTextTest, Windows7AndLaterUseOneTunnelRuleOfTheFirewall) {
    const std::string expected =
        std::string(kNetshVariables) +
        "netsh advfirewall firewall delete rule name=Belvane dir=in protocol=icmpv4:8,any\n"
        "netsh advfirewall firewall add rule name=Belvane dir=in action=allow "
        "protocol=icmpv4:8,any\n"
        "netsh advfirewall consec delete rule name=Belvane type=dynamic\n"
        "netsh advfirewall consec add rule name=Belvane endpoint1=%ME% "
        "endpoint2=%REM_NET%/%REM_MASK% action=requireinrequireout mode=tunnel type=dynamic "
        "localtunnelendpoint=%ME% remotetunnelendpoint=%GW% auth1=computerpsk auth1psk=%PSK% "
        "qmpfs=dhgroup1 qmsecmethods=esp:md5-3des+60min+50000kb,esp:sha1-3des+60min+50000kb "
        "profile=any\n";
    EXPECT_EQ(IPsecScriptText(Example(OS_WIN7)), expected);
}

TEST(IPsecScriptTextTest, SystemsWithoutAKnownToolGetAnEmptyScript) {
    for (int osType : {-1, 0, 1, 2, 3, OS_WINNT, 9, 100}) {
        EXPECT_EQ(IPsecScriptText(Example(osType)), "") << "OS type " << osType;
    }
}

TEST(IPsecScriptTextTest, KeyWithBlanksIsWrittenUnquoted) {
    TunnelScriptInputs in = Example(OS_WINXP);
    in.key = "two words";
    EXPECT_NE(IPsecScriptText(in).find("-a preshare:two words -1s"), std::string::npos);
}

TEST(IPsecScriptTextTest, TheseScriptsPassEveryCheckSoTheyAreStillWrittenAsShown) {
    for (int osType : {OS_WIN2000, OS_WINXP, OS_WINSERVER, OS_VISTA, OS_WIN7, OS_WINNT}) {
        for (const auto& [name, value] : TunnelScriptValues(Example(osType))) {
            EXPECT_TRUE(IsScriptValueSafe(name, value)) << name << "=" << value;
        }
    }
}

TEST(OpenVpnScriptTextTest, DefaultSettingsGiveTheDocumentedLineWithoutLineEnd) {
    TunnelScriptInputs in;
    in.gateway = "0.0.0.0";
    in.ovpnIfconfig = "99";
    in.ovpnSerMask = "255.255.255.255";
    in.ovpnSerPort = "999";
    in.network = "192.168.99.0";
    in.mask = "255.255.255.255";
    in.ovpnSerIP = "10.1.99.1";
    EXPECT_EQ(OpenVpnScriptText(in),
              ".\\openVPN\\openvpn.exe --remote 0.0.0.0 --ifconfig 99 255.255.255.255 "
              "--secret key.txt --dev tap --proto tcp-client --rport 999 --ping 6 "
              "--ping-exit 100 --route 192.168.99.0 255.255.255.255 10.1.99.1 --log ovpn.log "
              "--status status.log --inactive 20");
}

TEST(OpenVpnScriptTextTest, EachValueFillsItsOwnOption) {
    EXPECT_EQ(OpenVpnScriptText(Example(OS_WINXP)),
              ".\\openVPN\\openvpn.exe --remote 1.2.3.4 --ifconfig 10.1.99.2 255.255.255.0 "
              "--secret key.txt --dev tap --proto tcp-client --rport 1194 --ping 6 "
              "--ping-exit 100 --route 10.0.0.0 255.0.0.0 10.1.99.1 --log ovpn.log "
              "--status status.log --inactive 20");
}

struct ReleaseCase {
    unsigned major;
    unsigned minor;
    const char* added;  // after today's line
    const char* trace;
};

TEST(OpenVpnScriptTextTest, EachReleaseGetsWhatItNeedsAndOlderOnesKeepTheLine) {
    const std::string today = OpenVpnScriptText(Example(OS_WINXP));
    const ReleaseCase cases[] = {
        {0, 0, "", ""},  // no version resource
        {1, 0, "", ""},
        {2, 0, "", ""},
        {2, 4, "", ""},
        {2, 5, "", ""},
        {2, 6, " --providers legacy default", ""},
        {2, 7, " --providers legacy default --allow-deprecated-insecure-static-crypto", ""},
        {2, 8, " --providers legacy default --allow-deprecated-insecure-static-crypto",
         "OpenVPN 2.8 may no longer run static-key tunnels\n"},
        {3, 0, " --providers legacy default --allow-deprecated-insecure-static-crypto",
         "OpenVPN 3.0 may no longer run static-key tunnels\n"},
    };
    for (const ReleaseCase& c : cases) {
        const OpenVpnRelease release{c.major, c.minor};
        EXPECT_EQ(OpenVpnScriptText(Example(OS_WINXP), release), today + c.added)
            << c.major << "." << c.minor;
        EXPECT_EQ(OpenVpnReleaseTrace(release), c.trace) << c.major << "." << c.minor;
    }
}

}  // namespace
}  // namespace kestrun
