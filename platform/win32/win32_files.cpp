#include "platform/win32/windows_include.h"

#include <vector>

#include "platform/win32/private_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

// Creates or truncates path with the private DACL; an existing file gets it too, since
// CreateFileA applies the security attributes only to a file it creates.
UniqueKernelHandle CreatePrivate(const std::string& path, PrivateFileSecurity& security) {
    UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE | WRITE_DAC, 0,
                                        security.Attributes(), CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                        nullptr));
    if (!file && GetLastError() == ERROR_ACCESS_DENIED) {
        file.Reset(CreateFileA(path.c_str(), GENERIC_WRITE, 0, security.Attributes(), CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        return file;
    }
    if (file) {
        ProtectHandle(file.Get(), security);
    }
    return file;
}

std::uint32_t WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        DWORD error = ERROR_SUCCESS;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                       nullptr)) {
            error = GetLastError();
        } else if (written == 0) {
            error = ERROR_WRITE_FAULT;
        }
        if (error != ERROR_SUCCESS) {
            // The files written here are scripts that run next: half a script must not.
            SetFilePointer(file, 0, nullptr, FILE_BEGIN);
            SetEndOfFile(file);
            return error;
        }
        done += written;
    }
    return ERROR_SUCCESS;
}

// Opens path for reading without following a reparse point at its end and checks that it is
// a plain file: on a disk, not a directory or reparse point, one name, at most maxBytes.
std::uint32_t OpenPlain(const std::string& path, std::uint32_t maxBytes, UniqueKernelHandle& file) {
    file.Reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                           nullptr));
    if (!file) {
        return GetLastError();
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(file.Get()) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(file.Get(), &info)) {
        return kNotPlainFile;
    }
    const DWORD refused =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE;
    if ((info.dwFileAttributes & refused) != 0 || info.nNumberOfLinks != 1 ||
        info.nFileSizeHigh != 0 || info.nFileSizeLow > maxBytes) {
        return kNotPlainFile;
    }
    return ERROR_SUCCESS;
}

}  // namespace

std::uint32_t Win32Files::WriteNew(const std::string& path, const std::string& bytes) {
    PrivateFileSecurity security;
    if (!security.Valid()) {
        return GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_INVALID_SECURITY_DESCR;
    }
    const UniqueKernelHandle file = CreatePrivate(path, security);
    if (!file) {
        return GetLastError();
    }
    return WriteAll(file.Get(), bytes);
}

std::uint32_t Win32Files::Copy(const std::string& from, const std::string& to, bool failIfExists) {
    if (!CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

std::uint32_t Win32Files::ReadPlainFile(const std::string& path, std::uint32_t maxBytes,
                                        std::string& out) {
    UniqueKernelHandle source;
    const std::uint32_t check = OpenPlain(path, maxBytes, source);
    if (check != ERROR_SUCCESS) {
        return check;
    }
    // One byte more than allowed shows a file that grew since the check.
    std::vector<char> bytes(static_cast<std::size_t>(maxBytes) + 1);
    std::size_t done = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                      &read, nullptr)) {
            return GetLastError();
        }
        if (read == 0) {
            break;
        }
        done += read;
        if (done == bytes.size()) {
            return kNotPlainFile;
        }
    }
    out.assign(bytes.data(), done);
    return ERROR_SUCCESS;
}

std::uint32_t Win32Files::CheckPlainFile(const std::string& path, std::uint32_t maxBytes) {
    UniqueKernelHandle file;
    return OpenPlain(path, maxBytes, file);
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
