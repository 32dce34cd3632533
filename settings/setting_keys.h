// The keys of the settings file shared with the portal, with the defaults and the longest
// value each reader keeps. Every read and write of the client goes to the working copy
// beside the program, in the one section "IPSec".
#pragma once

#include <cstddef>

namespace kestrun::settings {

constexpr const char* kSettingPath = ".\\Setting.tmp";
constexpr const char* kSection = "IPSec";

// Reads of the tunnel parameters use a 128-byte buffer: 127 characters survive.
constexpr std::size_t kParameterBuffer = 128;
// Start-up reads "VPN Mode" into a 256-byte buffer.
constexpr std::size_t kStartupModeBuffer = 256;

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

constexpr const char* kDefaultVpnMode = "1";
constexpr const char* kDefaultModelName = "QZM";
// A "ModelName" present with an empty value names the router this client was made for.
constexpr const char* kEmptyModelName = "TRV-615";
constexpr const char* kPolicySuffix = "_SSL";
constexpr const char* kDefaultInterface = "0";
constexpr const char* kDefaultGateway = "0.0.0.0";
constexpr const char* kDefaultPreSharedKey = "2637";
constexpr const char* kDefaultRemoteLanIp = "192.168.0.99";
constexpr const char* kDefaultNetworkIp = "192.168.99.0";
constexpr const char* kDefaultSubmask = "255.255.255.255";
constexpr const char* kDefaultOvpnSerIp = "10.1.99.1";
constexpr const char* kDefaultOvpnIfconfig = "99";
constexpr const char* kDefaultOvpnSerMask = "255.255.255.255";
constexpr const char* kDefaultOvpnSerPort = "999";

constexpr const char* kTrue = "TRUE";
constexpr const char* kFalse = "FALSE";

}  // namespace kestrun::settings
