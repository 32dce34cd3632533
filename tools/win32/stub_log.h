// Shared by the stand-ins of the external tools: each call is appended as one line
// "<name> <command line tail>" to the file named by KESTRUN_STUB_LOG, or to
// "stub-calls.log" in the current directory (scripts run in the program's directory).
// When KESTRUN_STUB_TIMES names a file, the same line goes there too, after the time of the
// call in milliseconds since 1970 (the host's clock under Wine), for the benchmarks.
#pragma once

#include <cstdint>
#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_include.h"

namespace kestrun::stub {

// The command line as received, without the program name and the blanks after it.
inline std::string CommandLineTail() {
    const char* line = GetCommandLineA();
    if (*line == '"') {
        ++line;
        while (*line != '\0' && *line != '"') {
            ++line;
        }
        if (*line == '"') {
            ++line;
        }
    } else {
        while (*line != '\0' && *line != ' ' && *line != '\t') {
            ++line;
        }
    }
    while (*line == ' ' || *line == '\t') {
        ++line;
    }
    return line;
}

inline std::string EnvironmentValue(const char* name) {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof(buffer));
    if (length > 0 && length < sizeof(buffer)) {
        return std::string(buffer, length);
    }
    return std::string();
}

inline std::string LogPath() {
    const std::string path = EnvironmentValue("KESTRUN_STUB_LOG");
    return path.empty() ? "stub-calls.log" : path;
}

// Milliseconds since 1970-01-01 UTC.
inline std::uint64_t UnixMillis() {
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr std::uint64_t kEpochTicks = 116444736000000000ULL;  // 1601 to 1970, in 100 ns
    return (ticks - kEpochTicks) / 10000;
}

// Appends text and a line end; several stubs may write the same file one after another.
inline bool AppendLine(const std::string& path, const std::string& text) {
    kestrun::platform::win32::UniqueKernelHandle file(
        CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    const std::string line = text + "\r\n";
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    return ok && written == line.size();
}

inline int LogCall(const char* name) {
    const std::uint64_t called = UnixMillis();
    const std::string tail = CommandLineTail();
    const std::string line = tail.empty() ? std::string(name) : std::string(name) + " " + tail;
    const std::string times = EnvironmentValue("KESTRUN_STUB_TIMES");
    if (!times.empty()) {
        AppendLine(times, std::to_string(called) + " " + line);
    }
    return AppendLine(LogPath(), line) ? 0 : 1;
}

}  // namespace kestrun::stub
