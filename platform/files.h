// Whole-file operations: the client only ever creates/truncates and writes a file in one
// go, copies one over another, reads one or removes one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrun::platform {

// A file refused by the checks of ReadPlainFile and ReplacePlainFile: a directory, device,
// link or reparse point, a file with more than one name, or one too large.
constexpr std::uint32_t kNotPlainFile = 0x20000001;
// ReplacePlainFile found other bytes than expected in the file and wrote nothing.
constexpr std::uint32_t kFileChanged = 0x20000002;

class Files {
  public:
    virtual ~Files() = default;

    // Creates path anew (a file of that name, or a link, is deleted first) and writes bytes
    // as they are. The file can then be read and changed only by administrators and the
    // system: what the client writes holds keys or is run with its rights. Returns 0, or the
    // system error code when the file cannot be replaced, created or written; a file that
    // was created but not fully written is left empty.
    virtual std::uint32_t WriteNew(const std::string& path, const std::string& bytes) = 0;

    // The bytes of path (in a folder the user can write) into bytes, only when it is a
    // regular file with a single name, opened without following a reparse point, of at most
    // maxBytes; they are read through the handle that was checked. Returns 0, the system
    // error code (ERROR_FILE_NOT_FOUND, 2, when there is none), or kNotPlainFile; bytes is
    // then left as it was.
    virtual std::uint32_t ReadPlainFile(const std::string& path, std::uint32_t maxBytes,
                                        std::string& bytes) = 0;

    // Opens path as ReadPlainFile does, keeping other programs from writing it meanwhile, and
    // through that one handle replaces its bytes by replacement when they are expected; a
    // link put in place of the file is never written through. Returns 0, the system error
    // code, kNotPlainFile or kFileChanged.
    virtual std::uint32_t ReplacePlainFile(const std::string& path, std::uint32_t maxBytes,
                                           const std::string& expected,
                                           const std::string& replacement) = 0;

    // CopyFileA(from, to, failIfExists). Returns 0 or the system error code.
    virtual std::uint32_t Copy(const std::string& from, const std::string& to,
                               bool failIfExists) = 0;

    // The file's bytes, or nothing when it cannot be opened.
    virtual std::optional<std::string> ReadAll(const std::string& path) = 0;

    // DeleteFileA(path). Returns 0, also when there was no such file, or the system error
    // code.
    virtual std::uint32_t Remove(const std::string& path) = 0;
};

}  // namespace kestrun::platform
