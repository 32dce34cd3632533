// Starting commands hidden through the system's cmd.exe: CreateProcessA in a job of its own
// for the ones the client waits for, CreateProcessA for the ones it watches, WinExec for the
// ones it leaves running.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/interpreter_command.h"
#include "platform/win32/private_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {
namespace {

bool IsRegularFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool UnderWow64() {
    // Only XP and later have it, so it is looked up by name; without it nothing is redirected.
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto function =
        kernel == nullptr ? nullptr
                          : reinterpret_cast<IsWow64ProcessFn>(
                                reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    BOOL wow64 = FALSE;
    return function != nullptr && function(GetCurrentProcess(), &wow64) && wow64;
}

std::string WindowsDirectory() {
    std::vector<char> buffer(MAX_PATH + 1);
    const UINT length = GetSystemWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    return length == 0 || length >= buffer.size() ? std::string()
                                                  : std::string(buffer.data(), length);
}

// The line for command, or the error a start would have reported: a path the line cannot
// carry safely, or a script or tool that is not there (as CreateProcessA reported it when
// it was given the bare name).
std::optional<InterpreterCommand> Resolve(const std::string& command, std::uint32_t& error) {
    const std::string system = SystemDirectory();
    std::optional<InterpreterCommand> resolved = BuildInterpreterCommand(
        system, ProgramDirectory(), command,
        InterpreterFolder(system, WindowsDirectory(), UnderWow64(), IsRegularFile));
    if (!resolved) {
        error = ERROR_BAD_PATHNAME;
    } else if (!IsRegularFile(resolved->target) || !IsRegularFile(resolved->interpreter)) {
        error = ERROR_FILE_NOT_FOUND;
        resolved.reset();
    }
    return resolved;
}

// Ends a process that ran past its bound when it could not be put into a job (Vista and 7
// allow one job per process, so a client started inside a job that forbids breakaway gets
// none): what it started itself is then out of reach and keeps running on its own.
void EndAlone(HANDLE process) {
    TerminateProcess(process, 1);
    WaitForSingleObject(process, 5000);
}

// Starts the interpreter's line hidden with the creation flags: 0, or the system's error
// code, taken before anything else can overwrite it.
DWORD StartInterpreter(const InterpreterCommand& resolved, DWORD flags, PROCESS_INFORMATION& info) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    ZeroMemory(&info, sizeof(info));
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> line(resolved.commandLine.begin(), resolved.commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(resolved.interpreter.c_str(), line.data(), nullptr, nullptr, FALSE, flags,
                        nullptr, nullptr, &startup, &info)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
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

std::unique_ptr<StartedProgram> Win32Runner::StartWatched(const std::string& command,
                                                          std::uint32_t& error) {
    error = 0;
    const std::optional<InterpreterCommand> resolved = Resolve(command, error);
    if (!resolved) {
        return nullptr;
    }
    PROCESS_INFORMATION info;
    error = StartInterpreter(*resolved, 0, info);
    if (error != ERROR_SUCCESS) {
        return nullptr;
    }
    UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    return std::make_unique<Win32StartedProgram>(std::move(process));
}

std::uint32_t Win32Runner::RunAndWait(const std::string& command,
                                      std::uint32_t timeoutMilliseconds) {
    std::uint32_t error = 0;
    const std::optional<InterpreterCommand> resolved = Resolve(command, error);
    if (!resolved) {
        return error;
    }
    // Suspended until it is in the job, so nothing it starts can escape the job. Breaking
    // away from a job the client itself runs in gives the command a job of its own; where
    // that job forbids it, the command starts inside it.
    PROCESS_INFORMATION info;
    error = StartInterpreter(*resolved, CREATE_SUSPENDED | CREATE_BREAKAWAY_FROM_JOB, info);
    if (error == ERROR_ACCESS_DENIED) {
        error = StartInterpreter(*resolved, CREATE_SUSPENDED, info);
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    const UniqueKernelHandle job(CreateJobObjectA(nullptr, nullptr));
    const bool inJob = job && AssignProcessToJobObject(job.Get(), process.Get());
    ResumeThread(thread.Get());

    // A wait that fails says nothing about the command: it is ended as one that overran, and
    // the failure is reported rather than taken for its end.
    const DWORD waited = WaitForSingleObject(process.Get(), timeoutMilliseconds);
    if (waited == WAIT_OBJECT_0) {
        return 0;
    }
    const DWORD outcome = waited == WAIT_TIMEOUT ? kRunTimedOut : GetLastError();
    if (inJob) {
        TerminateJobObject(job.Get(), 1);
        WaitForSingleObject(process.Get(), 5000);
    } else {
        EndAlone(process.Get());
    }
    return outcome != ERROR_SUCCESS ? outcome : ERROR_INVALID_HANDLE;
}

std::uint32_t Win32Runner::StartHidden(const std::string& command) {
    std::uint32_t error = 0;
    const std::optional<InterpreterCommand> resolved = Resolve(command, error);
    if (!resolved) {
        return error == ERROR_FILE_NOT_FOUND ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    }
    return WinExec(resolved->commandLine.c_str(), SW_HIDE);
}

}  // namespace kestrun::platform::win32
