// Scriptable stand-ins for every platform interface, for native tests. Files and INI
// files are real files (so tests can check bytes on disk); everything else is in memory,
// time is a virtual clock that Sleep advances. Every call is recorded in one journal.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/fakes/fake_echo.h"
#include "tests/fakes/fake_threads.h"
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

class FakeClock : public Clock {
  public:
    explicit FakeClock(Journal& journal) : journal_(journal) {}
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t now = 100000;
    // Called after each Sleep has advanced the clock (lets tests change the world).
    std::function<void()> onSleep;

  private:
    Journal& journal_;
};

class FakeTrace : public Trace {
  public:
    explicit FakeTrace(Journal& journal) : journal_(journal) {}
    void Output(const std::string& text) override { journal_.Add("trace", text); }
    bool Contains(const std::string& text) const { return journal_.Has("trace: " + text); }

  private:
    Journal& journal_;
};

// Real files: a thin layer over the C++ library so tests see real bytes.
class FakeFiles : public Files {
  public:
    explicit FakeFiles(Journal& journal) : journal_(journal) {}
    std::uint32_t WriteNew(const std::string& path, const std::string& bytes) override;
    std::uint32_t Copy(const std::string& from, const std::string& to, bool failIfExists) override;
    std::uint32_t ReadPlainFile(const std::string& path, std::uint32_t maxBytes,
                                std::string& bytes) override;
    std::uint32_t ReplacePlainFile(const std::string& path, std::uint32_t maxBytes,
                                   const std::string& expected,
                                   const std::string& replacement) override;
    std::optional<std::string> ReadAll(const std::string& path) override;
    std::uint32_t Remove(const std::string& path) override;
    // Paths whose creation or replacement fails with the given error code.
    std::map<std::string, std::uint32_t> failCreate;
    // Paths whose ReadPlainFile fails with the given error code (a sharing violation).
    std::map<std::string, std::uint32_t> failRead;
    // Runs after each successful ReadPlainFile: another program writing meanwhile.
    std::function<void(const std::string& path)> afterPlainRead;

  private:
    // The copy's bytes written to to, as a failed creation allows.
    std::uint32_t WriteCopy(const std::string& to, const std::string& bytes);
    static std::uint32_t PlainFileState(const std::string& path, std::uint32_t maxBytes);
    Journal& journal_;
};

// The Windows profile-function semantics, on real files.
class FakeProfile : public Profile {
  public:
    explicit FakeProfile(Journal& journal) : journal_(journal) {}
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& def, std::size_t size,
                          const std::string& path) override;
    std::uint32_t GetInt(const std::string& section, const std::string& key, std::int32_t def,
                         const std::string& path) override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::string& path) override;
    // Files that cannot be written (read-only, or in a folder where nothing can be made).
    std::set<std::string> readOnly;

  private:
    Journal& journal_;
};

class FakeSystem : public System {
  public:
    explicit FakeSystem(Journal& journal) : journal_(journal) {}
    bool GetVersion(OsVersion& out, bool extended) override;
    std::optional<std::uint16_t> NativeProcessorArchitecture() override { return architecture; }
    std::optional<std::string> ModuleFileName(std::size_t bufferSize) override;
    std::string CurrentDirectory() override;
    bool SetCurrentDirectory(const std::string& path) override;
    std::optional<std::string> UserProfileDirectory(std::size_t bufferSize) override;
    bool InitSockets() override { return socketsWork; }
    std::optional<FileVersion> ProgramFileVersion(const std::string& path) override;
    std::optional<std::string> OthersCanChangeFolder(const std::string& folder) override {
        journal_.Add("system", "folder permissions " + folder);
        return folderOpenBecause;
    }
    bool UseSystemSearchPath() override {
        journal_.Add("system", "system search path");
        return systemSearchPathWorks;
    }
    Elevation ProcessElevation() override { return elevation; }
    std::uint32_t StartElevated(const std::string& program, const std::string& parameters,
                                const std::string& directory) override;

    OsVersion version;
    bool extendedVersionWorks = true;
    bool plainVersionWorks = true;
    std::optional<std::uint16_t> architecture;
    std::optional<std::string> moduleFileName =
        std::string("C:\\Program Files\\Kestrun\\Kestrun.exe");
    std::string currentDirectory = "C:\\";
    // Directories SetCurrentDirectory accepts; everything else fails.
    std::set<std::string> existingDirectories{"C:\\Program Files\\Kestrun"};
    std::optional<std::string> profileDirectory = std::string("C:\\Users\\alice");
    bool socketsWork = true;
    // Programs with a version resource; every other path has none.
    std::map<std::string, FileVersion> fileVersions;
    // Why the program folder is open to users; nothing: closed.
    std::optional<std::string> folderOpenBecause;
    bool systemSearchPathWorks = true;
    Elevation elevation = Elevation::kUnknown;
    // What StartElevated returns (0: started; kErrorCancelled: the prompt was declined).
    std::uint32_t startElevatedResult = 0;

  private:
    Journal& journal_;
};

// In-memory registry: key paths compared case-insensitively, as Windows does.
class FakeRegistry : public Registry {
  public:
    struct Value {
        std::optional<std::string> text;
        std::optional<std::uint32_t> dword;
    };
    struct Key {
        std::map<std::string, Value> values;
        bool failSet = false;
        // Value names whose SetDword fails (the others still work).
        std::set<std::string> failSetValues;
    };
    explicit FakeRegistry(Journal& journal) : journal_(journal) {}
    std::unique_ptr<RegKey> Open(RegRoot root, const std::string& path,
                                 std::uint32_t access) override;
    std::unique_ptr<RegKey> Create(RegRoot root, const std::string& path,
                                   std::uint32_t access) override;

    Key& At(RegRoot root, const std::string& path);
    bool Has(RegRoot root, const std::string& path) const;
    const Key* Find(RegRoot root, const std::string& path) const;
    bool failCreate = false;

  private:
    static std::string Normalize(RegRoot root, const std::string& path);
    Journal& journal_;
    std::map<std::string, Key> keys_;
};

class FakeUi : public Ui {
  public:
    struct Box {
        WindowRef owner;
        std::string text;
        std::string caption;
        std::uint32_t style;
    };
    struct Posted {
        WindowRef window;
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    struct Window {
        WindowRef ref;
        std::string title;
    };
    explicit FakeUi(Journal& journal) : journal_(journal) {}
    WindowRef FindWindowByTitle(const std::string& title) override;
    bool Post(WindowRef window, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    int MessageBox(WindowRef owner, const std::string& text, const std::string& caption,
                   std::uint32_t style) override;
    std::vector<WindowRef> TopLevelWindows() override;
    std::string WindowText(WindowRef window, std::size_t bufferSize) override;
    bool AllowFromLowerIntegrity(WindowRef window, std::uint32_t message) override;
    void ShowWaitCursor(bool wait) override { waitCursor = wait; }
    // Whether the system has a message filter (Vista and later).
    bool messageFilterWorks = true;
    bool waitCursor = false;

    // Top-level windows in Z order.
    std::vector<Window> windows;
    std::vector<Box> boxes;
    std::vector<Posted> posted;
    // Called while a message box is "open" (lets tests model re-entrant ticks).
    std::function<void(const Box&)> onMessageBox;

  private:
    Journal& journal_;
};

class FakeRunner : public Runner {
  public:
    explicit FakeRunner(Journal& journal) : journal_(journal) {}
    std::uint32_t RunAndWait(const std::string& commandLine,
                             std::uint32_t timeoutMilliseconds) override;
    std::uint32_t StartHidden(const std::string& commandLine) override;
    std::unique_ptr<StartedProgram> StartWatched(const std::string& commandLine,
                                                 std::uint32_t& error) override;
    // Error code for RunAndWait and StartWatched by command line (0 = starts;
    // kRunTimedOut = hangs).
    std::map<std::string, std::uint32_t> startErrors;
    std::uint32_t lastTimeout = 0;
    // Each program StartWatched started, in order: it runs until a test clears running.
    struct Program {
        std::string commandLine;
        bool running;
    };
    std::vector<std::shared_ptr<Program>> programs;
    // Whether a program just started still runs (false: it ends at once).
    bool programsKeepRunning = false;
    std::uint32_t winExecResult = 33;
    // Called for each waited-for command (lets tests see the files it would read).
    std::function<void(const std::string&)> onRun;

  private:
    Journal& journal_;
};

// A scripted service: state changes are driven by the virtual clock. A service's calls are
// recorded as "<name> <call>", the name as the test spells it.
class FakeServices : public Services {
  public:
    struct ServiceModel {
        std::uint32_t startType = kServiceAutoStart;
        std::uint32_t state = kServiceRunning;
        // Milliseconds a stop takes to finish; nullopt = stays stop-pending for good.
        std::optional<std::uint32_t> stopDelay = 0;
        // Accepts the stop control but keeps running (a service that will not stop).
        bool ignoresStop = false;
        // Milliseconds a successful start stays start-pending.
        std::uint32_t startDelay = 0;
        std::uint32_t failQueryConfig = 0;
        std::uint32_t failChangeConfig = 0;
        std::uint32_t failQueryStatus = 0;
        std::uint32_t failStop = 0;
        std::uint32_t failStart = 0;
        // When the stop control, or the start, was accepted, in virtual ticks.
        std::optional<std::uint32_t> stopRequestedAt;
        std::uint32_t startRequestedAt = 0;
    };
    FakeServices(FakeClock& clock, Journal& journal) : clock_(clock), journal_(journal) {}
    std::unique_ptr<ServiceManager> OpenManager(std::uint32_t& error) override;
    // Through the manager and the service above, so it fails and records as they do.
    std::uint32_t QueryState(const std::string& name, std::uint32_t& currentState) override;

    std::uint32_t failOpenManager = 0;
    std::map<std::string, ServiceModel> services;
    int openManagers = 0;  // currently open manager handles
    int openServices = 0;  // currently open service handles
    FakeClock& clock() { return clock_; }
    Journal& journal() { return journal_; }

  private:
    FakeClock& clock_;
    Journal& journal_;
};

class FakeNetInfo : public NetInfo {
  public:
    explicit FakeNetInfo(Journal& journal) : journal_(journal) {}
    std::uint32_t RouteTable(std::vector<RouteRow>& rows) override;
    std::uint32_t Adapters(std::vector<AdapterRecord>& adapters) override;
    std::uint32_t DnsServers(std::vector<std::string>& servers) override;
    std::unique_ptr<NetDevice> OpenDevice(const std::string& devicePath) override;
    std::optional<std::string> ResolveHost(const std::string& name) override;

    std::vector<RouteRow> routes;
    std::uint32_t routeError = 0;
    std::vector<AdapterRecord> adapters;
    std::uint32_t adapterError = 0;
    std::vector<std::string> dns;
    std::uint32_t dnsError = 0;
    // Device path -> OID -> value; a missing OID fails the query.
    std::map<std::string, std::map<std::uint32_t, std::uint32_t>> devices;
    // Host names that resolve, with their first address.
    std::map<std::string, std::string> hosts;

  private:
    Journal& journal_;
};

// All fakes together, recording into one journal, with the Platform bundle over them.
struct FakePlatform {
    FakePlatform();
    std::vector<std::string> TraceLines() const { return journal.Of("trace"); }
    Journal journal;
    FakeClock clock{journal};
    FakeTrace trace{journal};
    FakeFiles files{journal};
    FakeProfile profile{journal};
    FakeSystem system{journal};
    FakeEchoLibrary echo{journal};
    FakeRegistry registry{journal};
    FakeUi ui{journal};
    FakeRunner runner{journal};
    FakeServices services{clock, journal};
    FakeNetInfo net{journal};
    FakeThreads threads{journal};
    Platform platform;
};

}  // namespace kestrun::platform::fake
