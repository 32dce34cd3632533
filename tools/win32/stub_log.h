// Shared by the stand-ins of the external tools: each call is appended as one line
// "<name> <command line tail>" to the file named by KESTRUN_STUB_LOG, or to
// "stub-calls.log" in the current directory (scripts run in the program's directory).
#pragma once

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

inline std::string LogPath() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableA("KESTRUN_STUB_LOG", buffer, sizeof(buffer));
    if (length > 0 && length < sizeof(buffer)) {
        return std::string(buffer, length);
    }
    return "stub-calls.log";
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
    const std::string tail = CommandLineTail();
    return AppendLine(LogPath(), tail.empty() ? std::string(name) : std::string(name) + " " + tail)
               ? 0
               : 1;
}

}  // namespace kestrun::stub
