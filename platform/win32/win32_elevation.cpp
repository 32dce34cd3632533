// Administrator rights on Vista and later: the token's elevation, the elevated restart and
// the message filter that lets unelevated senders reach an elevated window.
#include "platform/win32/windows_include.h"

#include <objbase.h>
#include <shellapi.h>

#include "platform/win32/handle_refs.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

// Token information classes of Vista, which Windows 2000 and XP refuse as unknown.
constexpr int kTokenElevationType = 18;
constexpr int kTokenElevation = 20;
constexpr DWORD kTokenElevationTypeLimited = 3;
constexpr UINT kMsgFilterAdd = 1;     // MSGFLT_ADD
constexpr DWORD kMsgFilterAllow = 1;  // MSGFLT_ALLOW

bool TokenDword(HANDLE token, int informationClass, DWORD& value) {
    DWORD size = 0;
    return GetTokenInformation(token, static_cast<TOKEN_INFORMATION_CLASS>(informationClass),
                               &value, sizeof(value), &size) != FALSE;
}

template <class Function>
Function UserFunction(const char* name) {
    HMODULE user = GetModuleHandleA("user32.dll");
    return user == nullptr
               ? nullptr
               : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name)));
}

// ShellExecuteEx may hand the start to shell extensions, which need COM on the thread.
class ScopedCom {
  public:
    ScopedCom()
        : started_(SUCCEEDED(
              CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ScopedCom() {
        if (started_) {
            CoUninitialize();
        }
    }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;

  private:
    bool started_;
};

}  // namespace

Elevation Win32System::ProcessElevation() {
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        return Elevation::kUnknown;
    }
    const UniqueKernelHandle token(rawToken);
    DWORD elevated = 0;
    DWORD type = 0;
    if (!TokenDword(token.Get(), kTokenElevation, elevated)) {
        return Elevation::kUnknown;
    }
    if (elevated != 0) {
        return Elevation::kElevated;
    }
    if (!TokenDword(token.Get(), kTokenElevationType, type)) {
        return Elevation::kUnknown;
    }
    return type == kTokenElevationTypeLimited ? Elevation::kFiltered : Elevation::kStandard;
}

std::uint32_t Win32System::StartElevated(const std::string& program, const std::string& parameters,
                                         const std::string& directory) {
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    // The process ends right after the call, so the start must be complete when it returns.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_FLAG_DDEWAIT;
    info.lpVerb = "runas";
    info.lpFile = program.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    const ScopedCom com;
    if (ShellExecuteExA(&info)) {
        return 0;
    }
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_ACCESS_DENIED;
}

bool Win32Ui::AllowFromLowerIntegrity(WindowRef window, std::uint32_t message) {
    using FilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using FilterFn = BOOL(WINAPI*)(UINT, DWORD);
    if (const auto perWindow = UserFunction<FilterExFn>("ChangeWindowMessageFilterEx")) {
        return perWindow(AsWindow(window), message, kMsgFilterAllow, nullptr) != FALSE;
    }
    if (const auto perProcess = UserFunction<FilterFn>("ChangeWindowMessageFilter")) {
        return perProcess(message, kMsgFilterAdd) != FALSE;
    }
    return false;
}

}  // namespace kestrun::platform::win32
