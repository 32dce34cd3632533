#include "settings/setting_file.h"

#include "platform/format.h"
#include "settings/decimal.h"
#include "settings/setting_keys.h"
#include "settings/working_copy.h"

namespace kestrun {
namespace {

using namespace settings;

std::string Read(platform::Profile& profile, const char* key, const char* def) {
    return ReadValue(profile, key, def, kParameterBuffer);
}

}  // namespace

void ParseSetting(platform::Profile& profile, TunnelSettings& settings, AddressHistory& history) {
    const std::string model = Read(profile, kKeyModelName, kDefaultModelName);
    settings.m_strModelName =
        (model.empty() ? std::string(kEmptyModelName) : model) + kPolicySuffix;
    settings.m_nInterface = ParseDecimal(Read(profile, kKeyInterface, kDefaultInterface));
    settings.m_strGateway = Read(profile, kKeyGateway, kDefaultGateway);
    settings.m_strPreSharedKey = Read(profile, kKeyPreSharedKey, kDefaultPreSharedKey);
    settings.m_strRemoteLANIP = Read(profile, kKeyRemoteLanIp, kDefaultRemoteLanIp);
    settings.m_strNetworkIP = Read(profile, kKeyNetworkIp, kDefaultNetworkIp);
    settings.m_strSubmask = Read(profile, kKeySubmask, kDefaultSubmask);
    settings.m_strOvpnSerIP = Read(profile, kKeyOvpnSerIp, kDefaultOvpnSerIp);
    settings.m_strOvpnIfconfig = Read(profile, kKeyOvpnIfconfig, kDefaultOvpnIfconfig);
    settings.m_strOvpnSerMask = Read(profile, kKeyOvpnSerMask, kDefaultOvpnSerMask);
    settings.m_strOvpnSerPort = Read(profile, kKeyOvpnSerPort, kDefaultOvpnSerPort);
    history.FillFromFile(settings.m_strGateway);
    WriteValue(profile, kKeyParseSettingFlag, kFalse);
}

int SaveSetting(platform::Profile& profile, const TunnelSettings& settings,
                AddressHistory& history) {
    WriteValue(profile, kKeyInterface, Format("%d", settings.m_nInterface));
    WriteValue(profile, kKeyGateway, settings.m_strGateway);
    WriteValue(profile, kKeyPreSharedKey, settings.m_strPreSharedKey);
    WriteValue(profile, kKeyRemoteLanIp, settings.m_strRemoteLANIP);
    WriteValue(profile, kKeyNetworkIp, settings.m_strNetworkIP);
    WriteValue(profile, kKeySubmask, settings.m_strSubmask);
    WriteValue(profile, kKeyOvpnSerIp, settings.m_strOvpnSerIP);
    // The tick is kept as signed text, so ticks past 2^31 appear negative, as Connect
    // writes them too.
    WriteValue(profile, kKeyStartTime,
               Format("%d", static_cast<std::int32_t>(settings.m_dwStartTime)));
    history.StoreToFile();
    return 1;
}

}  // namespace kestrun
