// INI ("private profile") access with the semantics of the Windows profile functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kestrun::platform {

class Profile {
  public:
    virtual ~Profile() = default;

    // GetPrivateProfileStringA: the value cut to size - 1 characters; the default (cut the
    // same way) when the file, the section or the key is missing. A key present with an
    // empty value yields "" and not the default. size must be at least 1.
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& def, std::size_t size,
                                  const std::string& path) = 0;

    // GetPrivateProfileIntA: the value's leading number, or def when the key is missing
    // or empty.
    virtual std::uint32_t GetInt(const std::string& section, const std::string& key,
                                 std::int32_t def, const std::string& path) = 0;

    // WritePrivateProfileStringA: replaces the key's value, or appends the key at the end
    // of the section, creating the file and the section when missing.
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& path) = 0;
};

}  // namespace kestrun::platform
