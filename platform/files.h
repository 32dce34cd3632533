// Whole-file operations: the client only ever creates/truncates and writes a file in one
// go, copies one over another, reads one or removes one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrun::platform {

class Files {
  public:
    virtual ~Files() = default;

    // Creates or truncates path and writes bytes as they are. Returns 0, or the system
    // error code when the file cannot be created or written; a file that was created but
    // not fully written is left empty.
    virtual std::uint32_t WriteNew(const std::string& path, const std::string& bytes) = 0;

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
