// The texts the main window shows the user, in its status line, its tray tips and its boxes.
#pragma once

namespace kestrun::texts {

constexpr const char* kWarningCaption = "Warnning";
constexpr const char* kResultCaption = "Varnel Ostrimel";

constexpr const char* kTrayTip = "Varnel Pallisor Client";
constexpr const char* kServiceInactiveText =
    "The OS's IPSec Service isn't activate!!!\nPlease Activate it.";
constexpr const char* kNoGatewayText = "The PC's LAN don't setting default Gateway!!!";
constexpr const char* kNetworkFailedText =
    "The PC's network is failed!!!\nPlease check you network.";

constexpr const char* kLinkingStatus = "Linking Connection";
constexpr const char* kSettingStatus = "Setting Connection";
constexpr const char* kLoginSuccessful = "Login Successful";
constexpr const char* kConnectedStatus = "Connection Success";
constexpr const char* kNotConnectedStatus = "Connecting Fail";
constexpr const char* kDeletingStatus = "Deleting Connection";
constexpr const char* kDeletedStatus = "Connection Deleted";

constexpr const char* kConnectedTip = "Connected to : %s";
constexpr const char* kNotConnectedTip = "Can't Connect to : %s";
constexpr const char* kDeletedTip = "The SSL VPN is deleted!";

constexpr const char* kConnectedText =
    "Connection successful, now you can access internal web, file and mail servers.";
constexpr const char* kInvalidUrlText = "The URL is invalid!!!\nPlease Input Again.";
constexpr const char* kConnectNoGatewayText = "The PC's LAN don't default Gateway!!!";
constexpr const char* kConnectNetworkFailedText = "The PC's network is failed!!!";
constexpr const char* kSessionEndedText =
    "VPN session has ended, please close your browser for increased security.";

}  // namespace kestrun::texts
