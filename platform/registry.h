// Registry access. Keys close when their object is destroyed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kestrun::platform {

enum class RegRoot { CurrentUser, LocalMachine };

constexpr std::uint32_t kKeyAllAccess = 0xF003F;

class RegKey {
  public:
    virtual ~RegKey() = default;
    // RegQueryValueExA into a buffer of bufferSize bytes, type not examined. Nothing when
    // the value is missing or does not fit.
    virtual std::optional<std::string> QueryString(const std::string& name,
                                                   std::size_t bufferSize) = 0;
    // RegSetValueExA with REG_DWORD; true on success.
    virtual bool SetDword(const std::string& name, std::uint32_t value) = 0;
};

class Registry {
  public:
    virtual ~Registry() = default;
    // RegOpenKeyExA; nullptr on failure.
    virtual std::unique_ptr<RegKey> Open(RegRoot root, const std::string& path,
                                         std::uint32_t access) = 0;
    // RegCreateKeyExA (non-volatile); nullptr on failure.
    virtual std::unique_ptr<RegKey> Create(RegRoot root, const std::string& path,
                                           std::uint32_t access) = 0;
};

}  // namespace kestrun::platform
