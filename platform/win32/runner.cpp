// Starting commands hidden: CreateProcessA for the ones the client waits for, WinExec for
// the ones it leaves running.
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {

std::uint32_t Win32Runner::RunAndWait(const std::string& commandLine) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof(info));

    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return GetLastError();
    }
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    return 0;
}

std::uint32_t Win32Runner::StartHidden(const std::string& commandLine) {
    return WinExec(commandLine.c_str(), SW_HIDE);
}

}  // namespace kestrun::platform::win32
