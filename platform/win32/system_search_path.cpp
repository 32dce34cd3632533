// The search path of the programs the client starts with administrator rights: the
// system's own, never one a program of the user could have extended (HKCU\Environment).
#include "platform/win32/windows_include.h"

#include <userenv.h>

#include <cwchar>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

struct EnvironmentBlockDeleter {
    void operator()(void* block) const { DestroyEnvironmentBlock(block); }
};

// The variables that decide which program a bare name in a script starts.
constexpr const wchar_t* kSearchVariables[] = {L"PATH", L"PATHEXT", L"COMSPEC"};

}  // namespace

bool Win32System::UseSystemSearchPath() {
    void* created = nullptr;
    if (!CreateEnvironmentBlock(&created, nullptr, FALSE) || created == nullptr) {
        return false;
    }
    const std::unique_ptr<void, EnvironmentBlockDeleter> block(created);
    std::optional<std::wstring> values[std::size(kSearchVariables)];
    for (const auto* entry = static_cast<const wchar_t*>(block.get()); *entry != L'\0';
         entry += std::wcslen(entry) + 1) {
        // Names start after the first character: "=C:=C:\" is a drive's current directory.
        const wchar_t* equals = std::wcschr(entry + 1, L'=');
        if (equals == nullptr) {
            continue;
        }
        const std::wstring name(entry, equals);
        for (std::size_t i = 0; i < std::size(kSearchVariables); ++i) {
            if (lstrcmpiW(name.c_str(), kSearchVariables[i]) == 0) {
                values[i] = std::wstring(equals + 1);
            }
        }
    }
    if (!values[0]) {  // no PATH: nothing is changed
        return false;
    }
    // A variable the system does not set is not taken from the user either.
    for (std::size_t i = 0; i < std::size(kSearchVariables); ++i) {
        SetEnvironmentVariableW(kSearchVariables[i], values[i] ? values[i]->c_str() : nullptr);
    }
    return true;
}

}  // namespace kestrun::platform::win32
