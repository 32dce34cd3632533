#include "platform/win32/windows_include.h"

#include <userenv.h>
#include <winsock2.h>

#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {

Win32System::~Win32System() {
    if (socketsStarted_) {
        WSACleanup();
    }
}

bool Win32System::GetVersion(OsVersion& out, bool extended) {
    OSVERSIONINFOEXA info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = extended ? sizeof(OSVERSIONINFOEXA) : sizeof(OSVERSIONINFOA);
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        return false;
    }
    out.major = info.dwMajorVersion;
    out.minor = info.dwMinorVersion;
    out.build = info.dwBuildNumber;
    out.platformId = info.dwPlatformId;
    out.csdVersion = info.szCSDVersion;
    out.productType = extended ? info.wProductType : 0;
    return true;
}

std::optional<std::uint16_t> Win32System::NativeProcessorArchitecture() {
    // Only XP and later have it, so it is looked up by name.
    using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) {
        return std::nullopt;
    }
    const auto function = reinterpret_cast<GetNativeSystemInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")));
    if (function == nullptr) {
        return std::nullopt;
    }
    SYSTEM_INFO info;
    ZeroMemory(&info, sizeof(info));
    function(&info);
    return info.wProcessorArchitecture;
}

std::optional<std::string> Win32System::ModuleFileName(std::size_t bufferSize) {
    if (bufferSize == 0) {
        return std::nullopt;
    }
    std::vector<char> buffer(bufferSize, '\0');
    const DWORD length =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    // A path that fills the whole buffer was cut; a cut path names the wrong directory.
    if (length == 0 || length >= bufferSize) {
        return std::nullopt;
    }
    return std::string(buffer.data(), length);
}

std::string Win32System::CurrentDirectory() {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) {
        return std::string();
    }
    std::vector<char> buffer(needed, '\0');
    const DWORD length = GetCurrentDirectoryA(needed, buffer.data());
    if (length == 0 || length >= needed) {
        return std::string();
    }
    return std::string(buffer.data(), length);
}

bool Win32System::SetCurrentDirectory(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) != FALSE;
}

std::optional<std::string> Win32System::UserProfileDirectory(std::size_t bufferSize) {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &rawToken)) {
        return std::nullopt;
    }
    UniqueKernelHandle token(rawToken);
    std::vector<char> buffer(bufferSize + 1, '\0');
    DWORD size = static_cast<DWORD>(bufferSize);
    if (!GetUserProfileDirectoryA(token.Get(), buffer.data(), &size)) {
        return std::nullopt;
    }
    return std::string(buffer.data());
}

std::optional<FileVersion> Win32System::ProgramFileVersion(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<char> block(size, '\0');
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return std::nullopt;
    }
    void* fixed = nullptr;
    UINT fixedSize = 0;
    // The root block "\\" is the fixed part, VS_FIXEDFILEINFO.
    if (!VerQueryValueA(block.data(), "\\", &fixed, &fixedSize) || fixed == nullptr ||
        fixedSize < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    if (info->dwSignature != VS_FFI_SIGNATURE) {
        return std::nullopt;
    }
    FileVersion version;
    version.major = HIWORD(info->dwFileVersionMS);
    version.minor = LOWORD(info->dwFileVersionMS);
    return version;
}

bool Win32System::InitSockets() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        return false;
    }
    socketsStarted_ = true;
    return true;
}

}  // namespace kestrun::platform::win32
