#include "platform/win32/windows_include.h"

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {

std::uint32_t Win32Files::WriteNew(const std::string& path, const std::string& bytes) {
    UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return GetLastError();
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD error = ERROR_SUCCESS;
        if (!WriteFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                       &written, nullptr)) {
            error = GetLastError();
        } else if (written == 0) {
            error = ERROR_WRITE_FAULT;
        }
        if (error != ERROR_SUCCESS) {
            // The files written here are scripts that run next: half a script must not.
            SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
            SetEndOfFile(file.Get());
            return error;
        }
        done += written;
    }
    return ERROR_SUCCESS;
}

std::uint32_t Win32Files::Copy(const std::string& from, const std::string& to, bool failIfExists) {
    if (!CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

std::uint32_t Win32Files::Remove(const std::string& path) {
    if (!DeleteFileA(path.c_str())) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
    }
    return ERROR_SUCCESS;
}

std::optional<std::string> Win32Files::ReadAll(const std::string& path) {
    UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[4096];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), chunk, sizeof(chunk), &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            return bytes;
        }
        bytes.append(chunk, read);
    }
}

}  // namespace kestrun::platform::win32
