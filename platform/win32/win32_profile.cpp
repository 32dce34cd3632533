#include "platform/win32/windows_include.h"

#include <vector>

#include "platform/win32/private_files.h"
#include "platform/win32/unique_handle.h"
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

// The settings file of the program folder holds the pre-shared key: when the profile
// functions would create it, it is created first, empty, with the private DACL, and it is
// given that DACL again after each write, since the portal's component may have made it anew
// under the folder's inherited permissions. The profile directory's copy stays the user's.
bool Win32Profile::WriteString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    const bool privateFile = InProgramFolder(path);
    PrivateFileSecurity security;
    if (privateFile && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const UniqueKernelHandle created(CreateFileA(path.c_str(), GENERIC_WRITE, 0,
                                                     security.Attributes(), CREATE_NEW,
                                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    const bool written = WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                                    path.c_str()) != FALSE;
    if (privateFile) {
        ProtectPath(path, security);
    }
    return written;
}

}  // namespace kestrun::platform::win32
