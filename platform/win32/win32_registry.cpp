#include "platform/win32/windows_include.h"

#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

HKEY RootKey(RegRoot root) {
    return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

class Win32RegKey : public RegKey {
  public:
    explicit Win32RegKey(HKEY key) : key_(key) {}

    std::optional<std::string> QueryString(const std::string& name,
                                           std::size_t bufferSize) override {
        std::vector<char> buffer(bufferSize + 1, '\0');
        DWORD size = static_cast<DWORD>(bufferSize);
        if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        // The stored text may or may not carry its terminator; the extra byte ends it.
        const std::size_t stored = size < bufferSize ? size : bufferSize;
        std::string text(buffer.data(), stored);
        const std::size_t nul = text.find('\0');
        if (nul != std::string::npos) {
            text.resize(nul);
        }
        return text;
    }

    bool SetDword(const std::string& name, std::uint32_t value) override {
        const DWORD data = value;
        return RegSetValueExA(key_.Get(), name.c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
    }

  private:
    UniqueRegKey key_;
};

}  // namespace

std::unique_ptr<RegKey> Win32Registry::Open(RegRoot root, const std::string& path,
                                            std::uint32_t access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegKey>(key);
}

std::unique_ptr<RegKey> Win32Registry::Create(RegRoot root, const std::string& path,
                                              std::uint32_t access) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                        nullptr, &key, &disposition) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Win32RegKey>(key);
}

}  // namespace kestrun::platform::win32
