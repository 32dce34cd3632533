// The real platform: each class is a thin wrapper of the Windows calls named in its
// interface. Only files under platform/win32 include <windows.h>.
#pragma once

#include "platform/platform.h"

namespace kestrun::platform::win32 {

class Win32Profile : public Profile {
  public:
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, std::size_t size,
                          const std::string& path) override;
    std::uint32_t GetInt(const std::string& section, const std::string& key, std::int32_t def,
                         const std::string& path) override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override;
};

class Win32Files : public Files {
  public:
    std::uint32_t WriteNew(const std::string& path, const std::string& bytes) override;
    std::uint32_t Copy(const std::string& from, const std::string& to, bool failIfExists) override;
    std::uint32_t ReadPlainFile(const std::string& path, std::uint32_t maxBytes,
                                std::string& bytes) override;
    std::uint32_t ReplacePlainFile(const std::string& path, std::uint32_t maxBytes,
                                   const std::string& expected,
                                   const std::string& replacement) override;
    std::optional<std::string> ReadAll(const std::string& path) override;
    std::uint32_t Remove(const std::string& path) override;
};

class Win32System : public System {
  public:
    Win32System() = default;
    // Ends the sockets library when InitSockets started it.
    ~Win32System() override;
    Win32System(const Win32System&) = delete;
    Win32System& operator=(const Win32System&) = delete;
    bool GetVersion(OsVersion& out, bool extended) override;
    std::optional<std::uint16_t> NativeProcessorArchitecture() override;
    std::optional<std::string> ModuleFileName(std::size_t bufferSize) override;
    std::string CurrentDirectory() override;
    bool SetCurrentDirectory(const std::string& path) override;
    std::optional<std::string> UserProfileDirectory(std::size_t bufferSize) override;
    bool InitSockets() override;
    std::optional<FileVersion> ProgramFileVersion(const std::string& path) override;
    std::optional<std::string> OthersCanChangeFolder(const std::string& folder) override;
    bool UseSystemSearchPath() override;
    Elevation ProcessElevation() override;
    std::uint32_t StartElevated(const std::string& program, const std::string& parameters,
                                const std::string& directory) override;

  private:
    bool socketsStarted_ = false;
};

class Win32Clock : public Clock {
  public:
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
};

class Win32Trace : public Trace {
  public:
    void Output(const std::string& text) override;
};

class Win32EchoLibrary : public EchoLibrary {
  public:
    std::unique_ptr<Echo> Load(const std::string& libraryName, EchoLoad& outcome) override;
};

class Win32Registry : public Registry {
  public:
    std::unique_ptr<RegKey> Open(RegRoot root, const std::string& path,
                                 std::uint32_t access) override;
    std::unique_ptr<RegKey> Create(RegRoot root, const std::string& path,
                                   std::uint32_t access) override;
};

class Win32Ui : public Ui {
  public:
    WindowRef FindWindowByTitle(const std::string& title) override;
    bool Post(WindowRef window, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    int MessageBox(WindowRef owner, const std::string& text, const std::string& caption,
                   std::uint32_t style) override;
    std::vector<WindowRef> TopLevelWindows() override;
    std::string WindowText(WindowRef window, std::size_t bufferSize) override;
    bool AllowFromLowerIntegrity(WindowRef window, std::uint32_t message) override;
    void ShowWaitCursor(bool wait) override;
};

class Win32Runner : public Runner {
  public:
    std::uint32_t RunAndWait(const std::string& command,
                             std::uint32_t timeoutMilliseconds) override;
    std::uint32_t StartHidden(const std::string& command) override;
    std::unique_ptr<StartedProgram> StartWatched(const std::string& command,
                                                 std::uint32_t& error) override;
};

class Win32Services : public Services {
  public:
    std::unique_ptr<ServiceManager> OpenManager(std::uint32_t& error) override;
    std::uint32_t QueryState(const std::string& name, std::uint32_t& currentState) override;
};

class Win32NetInfo : public NetInfo {
  public:
    std::uint32_t RouteTable(std::vector<RouteRow>& rows) override;
    std::uint32_t Adapters(std::vector<AdapterRecord>& adapters) override;
    std::uint32_t DnsServers(std::vector<std::string>& servers) override;
    std::unique_ptr<NetDevice> OpenDevice(const std::string& devicePath) override;
    std::optional<std::string> ResolveHost(const std::string& name) override;
};

class Win32Threads : public Threads {
  public:
    std::uint32_t Start(std::function<void()> work) override;
};

// All real implementations together, with the Platform bundle over them.
struct Win32Platform {
    Win32Platform();
    Win32Profile profile;
    Win32Files files;
    Win32System system;
    Win32Clock clock;
    Win32Trace trace;
    Win32EchoLibrary echo;
    Win32Registry registry;
    Win32Ui ui;
    Win32Runner runner;
    Win32Services services;
    Win32NetInfo net;
    Win32Threads threads;
    Platform platform;
};

}  // namespace kestrun::platform::win32
