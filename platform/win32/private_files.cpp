#include "platform/win32/private_files.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

namespace kestrun::platform::win32 {
namespace {

// Protected (no inherited entries), full access for BUILTIN\Administrators and SYSTEM.
constexpr char kPrivateDacl[] = "D:P(A;;FA;;;BA)(A;;FA;;;SY)";

constexpr SECURITY_INFORMATION kProtectedDacl =
    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

PrivateFileSecurity::PrivateFileSecurity() {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kPrivateDacl, SDDL_REVISION_1,
                                                              &descriptor_, nullptr)) {
        descriptor_ = nullptr;
        return;
    }
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (GetSecurityDescriptorDacl(descriptor_, &present, &dacl, &defaulted) && present &&
        dacl != nullptr) {
        dacl_ = dacl;
    }
    attributes_.nLength = sizeof(attributes_);
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
}

PrivateFileSecurity::~PrivateFileSecurity() {
    if (descriptor_ != nullptr) {
        LocalFree(descriptor_);
    }
}

bool ProtectPath(const std::string& path, const PrivateFileSecurity& security) {
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    return security.Valid() &&
           SetNamedSecurityInfoA(name.data(), SE_FILE_OBJECT, kProtectedDacl, nullptr, nullptr,
                                 security.Dacl(), nullptr) == ERROR_SUCCESS;
}

std::string ProgramDirectory() {
    std::vector<char> buffer(MAX_PATH + 1);
    while (buffer.size() <= 32768) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < buffer.size() - 1) {
            return FolderOf(std::string(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::string();
}

std::string SystemDirectory() {
    std::vector<char> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const UINT length = GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0) {
            return std::string();
        }
        if (length < buffer.size()) {
            return std::string(buffer.data(), length);
        }
        buffer.resize(length + 1);
    }
    return std::string();
}

HMODULE LoadSystemLibrary(const std::string& name) {
    const std::string folder = SystemDirectory();
    if (folder.empty()) {
        return nullptr;
    }
    return LoadLibraryA((folder + "\\" + name).c_str());
}

bool InProgramFolder(const std::string& path) {
    std::vector<char> full(MAX_PATH + 1);
    char* filePart = nullptr;
    DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), &filePart);
    if (length >= full.size()) {
        full.resize(length + 1);
        length =
            GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), &filePart);
    }
    if (length == 0 || length >= full.size()) {
        return false;
    }
    const std::string folder = ProgramDirectory();
    return !folder.empty() &&
           lstrcmpiA(FolderOf(std::string(full.data(), length)).c_str(), folder.c_str()) == 0;
}

}  // namespace kestrun::platform::win32
