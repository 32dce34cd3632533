#include "settings/setting_file.h"

#include <cstdlib>

#include "platform/format.h"
#include "settings/decimal.h"
#include "settings/ini_edit.h"

namespace kestrun {
namespace {

using namespace settings;

const KeyRead& ReadOf(const std::string& key, Reader reader) {
    for (const KeyRead& read : kKeyReads) {
        if (key == read.key && read.reader == reader) {
            return read;
        }
    }
    // Every read is in the table; one that is not would read with an invented size.
    std::abort();
}

// "VPN Mode" holds the tunnel kind as decimal text.
const char* ModeText(int mode) {
    return mode == VPN_MODE_OPENVPN ? "2" : "1";
}

}  // namespace

std::string SettingFile::Read(const std::string& key, Reader reader, int number) const {
    const KeyRead& read = ReadOf(key, reader);
    const std::string name = number < 0 ? key : Format(key.c_str(), number);
    return profile_.GetString(kSection, name, read.def, read.buffer, path_);
}

int SettingFile::VpnMode(Reader reader) const {
    return ParseDecimal(Read(kKeyVpnMode, reader));
}

std::string SettingFile::CallByIe(Reader reader) const {
    return Read(kKeyCallByIe, reader);
}

bool SettingFile::ParseSettingFlagSet() const {
    return IsSet(Read(kKeyParseSettingFlag, Reader::kSettingWait));
}

bool SettingFile::TunnelRemoved() const {
    return IsSet(Read(kKeyRemoveIpsec, Reader::kSetUp));
}

std::uint32_t SettingFile::StartTime() const {
    return profile_.GetInt(kSection, kKeyStartTime, 0, path_);
}

void SettingFile::Write(const std::string& key, const std::string& value) {
    profile_.WriteString(kSection, key, value, path_);
}

void SettingFile::WriteMode(int mode) {
    Write(kKeyVpnMode, ModeText(mode));
}

void SettingFile::MarkTunnelBuilt(int mode) {
    WriteMode(mode);
    Write(kKeyRemoveIpsec, kFalse);
}

void SettingFile::MarkHandOverTaken() {
    Write(kKeyRemoveIpsec, kFalse);
    Write(kKeyCallByIe, kFalse);
}

void SettingFile::MarkTunnelRemoved() {
    Write(kKeyCallByIe, kFalse);
    Write(kKeyRemoveIpsec, kTrue);
}

void SettingFile::DeclineHandOver() {
    Write(kKeyCallByIe, kFalse);
}

void SettingFile::ShowAppletTitle(bool show) {
    Write(kKeyShowAppletTitle, show ? kTrue : kFalse);
}

// Ticks past 2^31 appear negative, as the portal has always read them.
void SettingFile::WriteStartTime(std::uint32_t tick) {
    Write(kKeyStartTime, Format("%d", static_cast<std::int32_t>(tick)));
}

void SettingFile::WriteAddress(int number, const std::string& address) {
    Write(Format(kKeyUrl, number), address);
}

void SettingFile::ParseSetting(TunnelSettings& settings, std::int32_t& interfaceIndex,
                               AddressHistory& history) {
    const auto read = [this](const char* key) { return Read(key, Reader::kParameters); };
    const std::string model = read(kKeyModelName);
    settings.m_strModelName =
        (model.empty() ? std::string(kEmptyModelName) : model) + kPolicySuffix;
    interfaceIndex = ParseDecimal(read(kKeyInterface));
    settings.m_strGateway = read(kKeyGateway);
    settings.m_strPreSharedKey = read(kKeyPreSharedKey);
    settings.m_strRemoteLANIP = read(kKeyRemoteLanIp);
    settings.m_strNetworkIP = read(kKeyNetworkIp);
    settings.m_strSubmask = read(kKeySubmask);
    settings.m_strOvpnSerIP = read(kKeyOvpnSerIp);
    settings.m_strOvpnIfconfig = read(kKeyOvpnIfconfig);
    settings.m_strOvpnSerMask = read(kKeyOvpnSerMask);
    settings.m_strOvpnSerPort = read(kKeyOvpnSerPort);
    history.FillFromFile(settings.m_strGateway);
    Write(kKeyParseSettingFlag, kFalse);
}

int SettingFile::SaveSetting(const TunnelSettings& settings, std::int32_t interfaceIndex,
                             AddressHistory& history) {
    Write(kKeyInterface, Format("%d", interfaceIndex));
    Write(kKeyGateway, settings.m_strGateway);
    Write(kKeyPreSharedKey, settings.m_strPreSharedKey);
    Write(kKeyRemoteLanIp, settings.m_strRemoteLANIP);
    Write(kKeyNetworkIp, settings.m_strNetworkIP);
    Write(kKeySubmask, settings.m_strSubmask);
    Write(kKeyOvpnSerIp, settings.m_strOvpnSerIP);
    WriteStartTime(settings.m_dwStartTime);
    history.StoreToFile();
    return 1;
}

std::string WithMode(const std::string& bytes, int mode) {
    return WithValue(bytes, kSection, kKeyVpnMode, ModeText(mode));
}

std::string WithHandOverTaken(const std::string& bytes) {
    return WithValue(WithValue(bytes, kSection, kKeyRemoveIpsec, kFalse), kSection, kKeyCallByIe,
                     kFalse);
}

}  // namespace kestrun
