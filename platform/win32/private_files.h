// Files of the program folder that only administrators and the system may read or change,
// and the folders the client itself lives in.
#pragma once

#include <string>

#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {

// A self-relative security descriptor whose protected DACL grants full access to the
// Administrators group and to SYSTEM and nothing to anybody else.
class PrivateFileSecurity {
  public:
    PrivateFileSecurity();
    ~PrivateFileSecurity();
    PrivateFileSecurity(const PrivateFileSecurity&) = delete;
    PrivateFileSecurity& operator=(const PrivateFileSecurity&) = delete;

    bool Valid() const { return dacl_ != nullptr; }
    // For CreateFileA; nullptr when the descriptor could not be made.
    SECURITY_ATTRIBUTES* Attributes() { return Valid() ? &attributes_ : nullptr; }
    PACL Dacl() const { return dacl_; }

  private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    PACL dacl_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

// Replaces the DACL of a named file by the private one, no longer inheriting the folder's.
// False on a file system without ACLs too.
bool ProtectPath(const std::string& path, const PrivateFileSecurity& security);

// The folder of the running program, without a trailing backslash; "" when unknown.
std::string ProgramDirectory();
// GetSystemDirectoryA; "" when unknown.
std::string SystemDirectory();
// LoadLibraryA of the system directory's copy of name: the library search would look in the
// program folder and the PATH first. nullptr when it cannot be loaded.
HMODULE LoadSystemLibrary(const std::string& name);
// Whether path (relative ones from the current directory) names a file directly inside the
// program folder.
bool InProgramFolder(const std::string& path);

}  // namespace kestrun::platform::win32
