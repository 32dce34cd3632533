// Single values of the working copy of the settings file (".\\Setting.tmp", section
// "IPSec"), read and written in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/profile.h"

namespace kestrun::settings {

// The value cut to bufferSize - 1 characters, or def when the key is missing.
std::string ReadValue(platform::Profile& profile, const std::string& key, const std::string& def,
                      std::size_t bufferSize);

// The value's leading number, or def when the key is missing or empty.
std::uint32_t ReadNumber(platform::Profile& profile, const std::string& key, std::int32_t def);

void WriteValue(platform::Profile& profile, const std::string& key, const std::string& value);

}  // namespace kestrun::settings
