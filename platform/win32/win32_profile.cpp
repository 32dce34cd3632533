#include "platform/win32/windows_include.h"

#include <vector>

#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {

std::string Win32Profile::GetString(const std::string& section, const std::string& key,
                                    const std::string& def, std::size_t size,
                                    const std::string& path) {
    if (size == 0) {
        return std::string();
    }
    std::vector<char> buffer(size, '\0');
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), path.c_str());
    return std::string(buffer.data(), length < size ? length : size - 1);
}

std::uint32_t Win32Profile::GetInt(const std::string& section, const std::string& key,
                                   std::int32_t def, const std::string& path) {
    return GetPrivateProfileIntA(section.c_str(), key.c_str(), def, path.c_str());
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) !=
           FALSE;
}

}  // namespace kestrun::platform::win32
