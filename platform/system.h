// Process and system facts: version, module, directories, clock and trace.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestrun::platform {

constexpr std::uint32_t kPlatformWin32s = 0;
constexpr std::uint32_t kPlatformWindows = 1;  // 9x
constexpr std::uint32_t kPlatformNt = 2;
constexpr std::uint8_t kProductWorkstation = 1;
constexpr std::uint16_t kArchitectureAmd64 = 9;

// What GetVersionExA reports. productType is 0 when only the plain record could be read.
struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint32_t platformId = 0;
    std::string csdVersion;
    std::uint8_t productType = 0;
};

// The file and product version of a program's version resource (its fixed part), as the
// four numbers major.minor.patch.build; only the first two are used.
struct FileVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
};

// How the process's token stands towards administrator rights, as Vista and later tell it.
enum class Elevation {
    kUnknown,   // the system does not tell (before Vista), or the token cannot be read
    kElevated,  // a full administrator token, or a system account's
    kFiltered,  // an administrator's filtered token: a consent prompt gives the full one
    kStandard,  // no rights a consent prompt could raise for this account (a standard user,
                // or User Account Control switched off)
};

// ShellExecuteExA's error when the user declined the consent prompt (ERROR_CANCELLED).
constexpr std::uint32_t kErrorCancelled = 1223;

class System {
  public:
    virtual ~System() = default;

    // GetVersionExA with the extended record (156 bytes) or the plain one (148 bytes).
    virtual bool GetVersion(OsVersion& out, bool extended) = 0;
    // GetNativeSystemInfo looked up by name; nothing when kernel32 lacks it.
    virtual std::optional<std::uint16_t> NativeProcessorArchitecture() = 0;

    // GetModuleFileNameA into a buffer of bufferSize bytes; nothing on failure, and
    // nothing when the path does not fit (the system would return it cut).
    virtual std::optional<std::string> ModuleFileName(std::size_t bufferSize) = 0;
    virtual std::string CurrentDirectory() = 0;
    virtual bool SetCurrentDirectory(const std::string& path) = 0;
    // The current process token's profile directory (GetUserProfileDirectoryA with
    // bufferSize); nothing on failure.
    virtual std::optional<std::string> UserProfileDirectory(std::size_t bufferSize) = 0;
    // WSAStartup(1.1); true on success.
    virtual bool InitSockets() = 0;
    // The file version in the version resource of the program at path
    // (GetFileVersionInfoSizeA, GetFileVersionInfoA, VerQueryValueA); nothing when the file
    // or its resource is missing.
    virtual std::optional<FileVersion> ProgramFileVersion(const std::string& path) = 0;
    // Why somebody other than the administrators, the system and the installer service could
    // change what is in folder (add, replace, delete, or change its permissions): its owner or
    // an entry of its DACL naming another account with such a right, no DACL at all, or
    // permissions that cannot be read. Nothing when the folder is closed to them.
    virtual std::optional<std::string> OthersCanChangeFolder(const std::string& folder) = 0;
    // Replaces this process's PATH, PATHEXT and COMSPEC, which every program it starts
    // inherits, by the system's own (CreateEnvironmentBlock without a user's token): a folder
    // the user put into his PATH is never searched for a tool the scripts call. False, with
    // the environment left as it was, when the system's cannot be read.
    virtual bool UseSystemSearchPath() = 0;
    // GetTokenInformation of the process token: TokenElevation, then TokenElevationType.
    virtual Elevation ProcessElevation() = 0;
    // ShellExecuteExA with the verb "runas" for program with parameters, in directory, without
    // the shell's error boxes: the consent prompt, then the program starts elevated. 0 when
    // it started, otherwise the system's error code (kErrorCancelled: declined).
    virtual std::uint32_t StartElevated(const std::string& program, const std::string& parameters,
                                        const std::string& directory) = 0;
};

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::uint32_t TickCount() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

class Trace {
  public:
    virtual ~Trace() = default;
    // OutputDebugStringA.
    virtual void Output(const std::string& text) = 0;
};

}  // namespace kestrun::platform
