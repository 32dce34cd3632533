#include "platform/win32/windows_include.h"

#include <vector>

#include "platform/win32/private_files.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

// Creates path anew with the private DACL. A file of that name is deleted first, never
// opened: it may be a link to another file, or have an owner who could open it up again
// after the write. When it cannot be deleted (held open by another program) nothing is
// written. A scanner that still holds the old file, sharing its deletion, keeps the name
// taken until it lets go, which takes moments: the creation is tried again meanwhile.
UniqueKernelHandle CreatePrivate(const std::string& path, PrivateFileSecurity& security) {
    if (!DeleteFileA(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        return UniqueKernelHandle();
    }
    constexpr int kAttempts = 10;
    constexpr DWORD kPauseMs = 50;
    for (int attempt = 1;; ++attempt) {
        UniqueKernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, security.Attributes(),
                                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file || GetLastError() != ERROR_ACCESS_DENIED || attempt == kAttempts) {
            return file;
        }
        Sleep(kPauseMs);
    }
}

// Writes bytes at the file pointer: 0 or the system error code.
std::uint32_t WriteBytes(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written,
                       nullptr)) {
            return GetLastError();
        }
        if (written == 0) {
            return ERROR_WRITE_FAULT;
        }
        done += written;
    }
    return ERROR_SUCCESS;
}

// From the start, replacing what the file held.
std::uint32_t Rewrite(HANDLE file, const std::string& bytes) {
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
        return GetLastError();
    }
    const std::uint32_t error = WriteBytes(file, bytes);
    if (error == ERROR_SUCCESS && !SetEndOfFile(file)) {
        return GetLastError();
    }
    return error;
}

// The files written here are scripts that run next: half a script must not, so a file that
// could not be written whole is left empty.
std::uint32_t WriteAll(HANDLE file, const std::string& bytes) {
    const std::uint32_t error = WriteBytes(file, bytes);
    if (error != ERROR_SUCCESS) {
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
    }
    return error;
}

// Opens path without following a reparse point at its end and checks that it is
// a plain file: on a disk, not a directory or reparse point, one name, at most maxBytes.
std::uint32_t OpenPlain(const std::string& path, std::uint32_t maxBytes, DWORD access, DWORD share,
                        UniqueKernelHandle& file) {
    file.Reset(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
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

// The rest of a checked file, which may have grown since the check.
std::uint32_t ReadChecked(HANDLE source, std::uint32_t maxBytes, std::string& out) {
    // One byte more than allowed shows a file that grew since the check.
    std::vector<char> bytes(static_cast<std::size_t>(maxBytes) + 1);
    std::size_t done = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read,
                      nullptr)) {
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
    const std::uint32_t check =
        OpenPlain(path, maxBytes, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, source);
    return check != ERROR_SUCCESS ? check : ReadChecked(source.Get(), maxBytes, out);
}

// No sharing for writes: the portal's component cannot change the file between the
// comparison and the write.
std::uint32_t Win32Files::ReplacePlainFile(const std::string& path, std::uint32_t maxBytes,
                                           const std::string& expected,
                                           const std::string& replacement) {
    UniqueKernelHandle file;
    std::uint32_t error =
        OpenPlain(path, maxBytes, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, file);
    std::string bytes;
    if (error == ERROR_SUCCESS) {
        error = ReadChecked(file.Get(), maxBytes, bytes);
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (bytes != expected) {
        return kFileChanged;
    }
    // The copy is the user's login: a write that fails puts back what it held.
    error = Rewrite(file.Get(), replacement);
    if (error != ERROR_SUCCESS) {
        Rewrite(file.Get(), expected);
    }
    return error;
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
