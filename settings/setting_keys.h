// The keys of the settings file shared with the portal: each key's default and the longest
// value each of its readers keeps (a reader's buffer holds one byte more).
#pragma once

#include <cstddef>

namespace kestrun::settings {

constexpr const char* kSection = "IPSec";

constexpr const char* kKeyVpnMode = "VPN Mode";
constexpr const char* kKeyModelName = "ModelName";
constexpr const char* kKeyInterface = "Interface";
constexpr const char* kKeyGateway = "Gateway";
constexpr const char* kKeyPreSharedKey = "PreSharedKey";
constexpr const char* kKeyRemoteLanIp = "RemoteLANIP";
constexpr const char* kKeyNetworkIp = "NetworkIP";
constexpr const char* kKeySubmask = "Submask";
constexpr const char* kKeyOvpnSerIp = "OVPN_SerIP";
constexpr const char* kKeyOvpnIfconfig = "OVPN_Ifconfig";
constexpr const char* kKeyOvpnSerMask = "OVPN_SerMask";
constexpr const char* kKeyOvpnSerPort = "OVPN_SerPort";
constexpr const char* kKeyParseSettingFlag = "ParseSettingFlag";
constexpr const char* kKeyCallByIe = "CallByIE";
constexpr const char* kKeyRemoveIpsec = "RemoveIPsec";
constexpr const char* kKeyStartTime = "StartTime";
constexpr const char* kKeyShowAppletTitle = "ShowAppletTitle";
// Numbered keys: "NetworkIP%d" and "Submask%d" 1 to 10, "URL%d" 0 to 9.
constexpr const char* kKeyNumberedNetworkIp = "NetworkIP%d";
constexpr const char* kKeyNumberedSubmask = "Submask%d";
constexpr const char* kKeyUrl = "URL%d";

// A "ModelName" present with an empty value names the router this client was made for.
constexpr const char* kEmptyModelName = "TRV-615";
constexpr const char* kPolicySuffix = "_SSL";

constexpr const char* kTrue = "TRUE";
constexpr const char* kFalse = "FALSE";

// Who reads a key; readers of one key may keep values of different lengths.
enum class Reader {
    kStartUp,          // start-up: "VPN Mode"
    kSetUp,            // the main window's set-up
    kPickup,           // the profile watch, on either copy
    kSettingWait,      // the settings wait: "ParseSettingFlag"
    kParameters,       // the load of the tunnel parameters and the address history
    kRouteTeardown,    // "DelRouteTable.bat"
    kConnectivityInfo  // the Connectivity Info window: "URL0"
};

struct KeyRead {
    const char* key;  // a name, or a numbered name such as "URL%d"
    Reader reader;
    const char* def;
    std::size_t buffer;  // what the reader's buffer holds, terminator included
};

// Every read the client makes; a read missing here is a programming error.
constexpr KeyRead kKeyReads[] = {
    {kKeyVpnMode, Reader::kStartUp, "1", 256},
    {kKeyVpnMode, Reader::kSetUp, "1", 260},
    {kKeyVpnMode, Reader::kPickup, "1", 10},
    {kKeyCallByIe, Reader::kSetUp, kTrue, 260},
    {kKeyCallByIe, Reader::kPickup, kTrue, 10},
    {kKeyRemoveIpsec, Reader::kSetUp, kTrue, 260},
    {kKeyParseSettingFlag, Reader::kSettingWait, kFalse, 10},
    {kKeyModelName, Reader::kParameters, "QZM", 128},
    {kKeyInterface, Reader::kParameters, "0", 128},
    {kKeyGateway, Reader::kParameters, "0.0.0.0", 128},
    {kKeyPreSharedKey, Reader::kParameters, "2637", 128},
    {kKeyRemoteLanIp, Reader::kParameters, "192.168.0.99", 128},
    {kKeyNetworkIp, Reader::kParameters, "192.168.99.0", 128},
    {kKeySubmask, Reader::kParameters, "255.255.255.255", 128},
    {kKeyOvpnSerIp, Reader::kParameters, "10.1.99.1", 128},
    {kKeyOvpnIfconfig, Reader::kParameters, "99", 128},
    {kKeyOvpnSerMask, Reader::kParameters, "255.255.255.255", 128},
    {kKeyOvpnSerPort, Reader::kParameters, "999", 128},
    // The history reads its addresses whole, up to the longest the browser control takes.
    {kKeyUrl, Reader::kParameters, "", 2084},
    {kKeyNetworkIp, Reader::kRouteTeardown, "", 512},
    {kKeySubmask, Reader::kRouteTeardown, "", 512},
    {kKeyNumberedNetworkIp, Reader::kRouteTeardown, "0.0.0.0", 32},
    {kKeyNumberedSubmask, Reader::kRouteTeardown, "0.0.0.0", 32},
    {kKeyUrl, Reader::kConnectivityInfo, "", 255},
};

}  // namespace kestrun::settings
