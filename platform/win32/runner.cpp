// Starting commands hidden: CreateProcessA for the ones the client waits for or watches,
// WinExec for the ones it leaves running.
#include <memory>
#include <utility>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {

namespace {

// Starts commandLine hidden; 0 or the system error code.
std::uint32_t StartProcess(const std::string& commandLine, PROCESS_INFORMATION& info) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    ZeroMemory(&info, sizeof(info));
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return GetLastError();
    }
    return 0;
}

class Win32StartedProgram : public StartedProgram {
  public:
    explicit Win32StartedProgram(UniqueKernelHandle process) : process_(std::move(process)) {}
    // A handle that cannot be waited on counts as ended, so that the caller is not stuck.
    bool Running() override { return WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }

  private:
    UniqueKernelHandle process_;
};

}  // namespace

std::uint32_t Win32Runner::RunAndWait(const std::string& commandLine) {
    PROCESS_INFORMATION info;
    const std::uint32_t error = StartProcess(commandLine, info);
    if (error != 0) {
        return error;
    }
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    return 0;
}

std::unique_ptr<StartedProgram> Win32Runner::StartWatched(const std::string& commandLine,
                                                          std::uint32_t& error) {
    PROCESS_INFORMATION info;
    error = StartProcess(commandLine, info);
    if (error != 0) {
        return nullptr;
    }
    UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    return std::make_unique<Win32StartedProgram>(std::move(process));
}

std::uint32_t Win32Runner::StartHidden(const std::string& commandLine) {
    return WinExec(commandLine.c_str(), SW_HIDE);
}

}  // namespace kestrun::platform::win32
