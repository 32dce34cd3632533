#include "settings/working_copy.h"

#include "settings/setting_keys.h"

namespace kestrun::settings {

std::string ReadValue(platform::Profile& profile, const std::string& key, const std::string& def,
                      std::size_t bufferSize) {
    return profile.GetString(kSection, key, def, bufferSize, kSettingPath);
}

std::uint32_t ReadNumber(platform::Profile& profile, const std::string& key, std::int32_t def) {
    return profile.GetInt(kSection, key, def, kSettingPath);
}

void WriteValue(platform::Profile& profile, const std::string& key, const std::string& value) {
    profile.WriteString(kSection, key, value, kSettingPath);
}

}  // namespace kestrun::settings
