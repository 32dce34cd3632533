#include "platform/fake/fake_platform.h"

#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace kestrun::platform::fake {

void FakeClock::Sleep(std::uint32_t milliseconds) {
    sleeps.push_back(milliseconds);
    now += milliseconds;
    if (onSleep) {
        onSleep();
    }
}

bool FakeTrace::Contains(const std::string& text) const {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

std::uint32_t FakeFiles::WriteNew(const std::string& path, const std::string& bytes) {
    auto failure = failCreate.find(path);
    if (failure != failCreate.end()) {
        return failure->second;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return kErrorAccessDenied;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    writes.emplace_back(path, bytes);
    return kErrorSuccess;
}

std::uint32_t FakeFiles::Copy(const std::string& from, const std::string& to, bool failIfExists) {
    auto bytes = ReadAll(from);
    if (!bytes) {
        return kErrorFileNotFound;
    }
    if (failIfExists && ReadAll(to)) {
        return 80;  // ERROR_FILE_EXISTS
    }
    auto failure = failCreate.find(to);
    if (failure != failCreate.end()) {
        return failure->second;
    }
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) {
        return kErrorAccessDenied;
    }
    out.write(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    return kErrorSuccess;
}

std::optional<std::string> FakeFiles::ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool FakeSystem::GetVersion(OsVersion& out, bool extended) {
    if (extended ? !extendedVersionWorks : !plainVersionWorks) {
        return false;
    }
    out = version;
    if (!extended) {
        out.productType = 0;
    }
    return true;
}

std::optional<std::string> FakeSystem::ModuleFileName(std::size_t bufferSize) {
    // A path that does not fit is cut by the system; a cut path counts as a failure.
    if (!moduleFileName || moduleFileName->size() + 1 > bufferSize) {
        return std::nullopt;
    }
    return moduleFileName;
}

bool FakeSystem::SetCurrentDirectory(const std::string& path) {
    setDirectoryCalls.push_back(path);
    std::string key = path;
    while (key.size() > 3 && key.back() == '\\') {
        key.pop_back();
    }
    if (existingDirectories.count(key) == 0) {
        return false;
    }
    currentDirectory = key;
    return true;
}

std::optional<std::string> FakeSystem::UserProfileDirectory(std::size_t bufferSize) {
    if (!profileDirectory || profileDirectory->size() + 1 > bufferSize) {
        return std::nullopt;
    }
    return profileDirectory;
}

FakeModule::~FakeModule() {
    if (!kept_ && freed_ != nullptr) {
        freed_->push_back(name_);
    }
}

void* FakeModule::Entry(const char* name) {
    // Any distinct non-null address will do; the fake never calls it.
    return entries_.count(name) != 0 ? static_cast<void*>(this) : nullptr;
}

std::unique_ptr<Module> FakeModules::Load(const std::string& name) {
    loaded.push_back(name);
    for (const auto& [library, entries] : libraries) {
        if (ToLowerAscii(library) == ToLowerAscii(name)) {
            return std::make_unique<FakeModule>(entries, &freed, name);
        }
    }
    return nullptr;
}

namespace {

class FakeRegKey : public RegKey {
  public:
    explicit FakeRegKey(FakeRegistry::Key& key) : key_(key) {}
    std::optional<std::string> QueryString(const std::string& name,
                                           std::size_t bufferSize) override {
        for (const auto& [valueName, value] : key_.values) {
            if (ToLowerAscii(valueName) == ToLowerAscii(name) && value.text) {
                if (value.text->size() + 1 > bufferSize) {
                    return std::nullopt;
                }
                return value.text;
            }
        }
        return std::nullopt;
    }
    bool SetDword(const std::string& name, std::uint32_t value) override {
        if (key_.failSet || key_.failSetValues.count(name) != 0) {
            return false;
        }
        key_.values[name].dword = value;
        return true;
    }

  private:
    FakeRegistry::Key& key_;
};

}  // namespace

std::string FakeRegistry::Normalize(RegRoot root, const std::string& path) {
    return (root == RegRoot::CurrentUser ? "hkcu\\" : "hklm\\") + ToLowerAscii(path);
}

FakeRegistry::Key& FakeRegistry::At(RegRoot root, const std::string& path) {
    return keys_[Normalize(root, path)];
}

bool FakeRegistry::Has(RegRoot root, const std::string& path) const {
    return keys_.count(Normalize(root, path)) != 0;
}

const FakeRegistry::Key* FakeRegistry::Find(RegRoot root, const std::string& path) const {
    auto it = keys_.find(Normalize(root, path));
    return it == keys_.end() ? nullptr : &it->second;
}

std::unique_ptr<RegKey> FakeRegistry::Open(RegRoot root, const std::string& path,
                                           std::uint32_t /*access*/) {
    opened.push_back(path);
    auto it = keys_.find(Normalize(root, path));
    if (it == keys_.end()) {
        return nullptr;
    }
    return std::make_unique<FakeRegKey>(it->second);
}

std::unique_ptr<RegKey> FakeRegistry::Create(RegRoot root, const std::string& path,
                                             std::uint32_t /*access*/) {
    opened.push_back(path);
    if (failCreate) {
        return nullptr;
    }
    return std::make_unique<FakeRegKey>(At(root, path));
}

WindowRef FakeUi::FindWindowByTitle(const std::string& title) {
    // FindWindowA compares window names without regard to case.
    for (const Window& window : windows) {
        if (ToLowerAscii(window.title) == ToLowerAscii(title)) {
            return window.ref;
        }
    }
    return 0;
}

bool FakeUi::Post(WindowRef window, std::uint32_t message, std::uintptr_t wParam,
                  std::intptr_t lParam) {
    posted.push_back(Posted{window, message, wParam, lParam});
    return window != 0;
}

int FakeUi::MessageBox(WindowRef owner, const std::string& text, const std::string& caption,
                       std::uint32_t style) {
    boxes.push_back(Box{owner, text, caption, style});
    if (onMessageBox) {
        onMessageBox(boxes.back());
    }
    return 1;  // IDOK
}

std::vector<WindowRef> FakeUi::TopLevelWindows() {
    std::vector<WindowRef> refs;
    for (const Window& window : windows) {
        refs.push_back(window.ref);
    }
    return refs;
}

std::string FakeUi::WindowText(WindowRef window, std::size_t bufferSize) {
    for (const Window& candidate : windows) {
        if (candidate.ref == window) {
            return bufferSize == 0 ? std::string() : candidate.title.substr(0, bufferSize - 1);
        }
    }
    return std::string();
}

std::uint32_t FakeRunner::RunAndWait(const std::string& commandLine) {
    commands.push_back("wait:" + commandLine);
    auto error = startErrors.find(commandLine);
    if (error != startErrors.end() && error->second != 0) {
        return error->second;
    }
    if (onRun) {
        onRun(commandLine);
    }
    return 0;
}

std::uint32_t FakeRunner::StartHidden(const std::string& commandLine) {
    commands.push_back("detach:" + commandLine);
    return winExecResult;
}

namespace {

class FakeService : public Service {
  public:
    FakeService(FakeServices& owner, FakeServices::ServiceModel& model)
        : owner_(owner), model_(model) {
        ++owner_.openServices;
    }
    ~FakeService() override { --owner_.openServices; }

    std::uint32_t QueryStartType(std::uint32_t& startType) override {
        model_.calls.push_back("QueryConfig");
        if (model_.failQueryConfig != 0) {
            return model_.failQueryConfig;
        }
        startType = model_.startType;
        return 0;
    }
    std::uint32_t ChangeStartType(std::uint32_t startType) override {
        model_.calls.push_back("ChangeConfig");
        if (model_.failChangeConfig != 0) {
            return model_.failChangeConfig;
        }
        model_.startType = startType;
        return 0;
    }
    std::uint32_t QueryState(std::uint32_t& currentState) override {
        model_.calls.push_back("QueryStatus");
        if (model_.failQueryStatus != 0) {
            return model_.failQueryStatus;
        }
        Advance();
        currentState = model_.state;
        return 0;
    }
    std::uint32_t Stop() override {
        model_.calls.push_back("Stop");
        if (model_.failStop != 0) {
            return model_.failStop;
        }
        if (model_.state != kServiceRunning) {
            return 1062;  // ERROR_SERVICE_NOT_ACTIVE
        }
        if (model_.ignoresStop) {
            return 0;
        }
        model_.state = 3;  // SERVICE_STOP_PENDING
        model_.stopRequestedAt = owner_.clock().TickCount();
        return 0;
    }
    std::uint32_t Start() override {
        model_.calls.push_back("Start");
        if (model_.failStart != 0) {
            return model_.failStart;
        }
        if (model_.startType == kServiceDisabled) {
            return 1058;  // ERROR_SERVICE_DISABLED
        }
        Advance();
        if (model_.state == kServiceRunning || model_.state == 3) {
            return 1056;  // ERROR_SERVICE_ALREADY_RUNNING
        }
        model_.state = kServiceRunning;
        model_.stopRequestedAt.reset();
        return 0;
    }

  private:
    void Advance() {
        if (model_.state == 3 && model_.stopRequestedAt && model_.stopDelay &&
            owner_.clock().TickCount() - *model_.stopRequestedAt >= *model_.stopDelay) {
            model_.state = kServiceStopped;
        }
    }
    FakeServices& owner_;
    FakeServices::ServiceModel& model_;
};

class FakeServiceManager : public ServiceManager {
  public:
    explicit FakeServiceManager(FakeServices& owner) : owner_(owner) { ++owner_.openManagers; }
    ~FakeServiceManager() override { --owner_.openManagers; }
    std::unique_ptr<Service> OpenService(const std::string& name, std::uint32_t& error) override {
        for (auto& [serviceName, model] : owner_.services) {
            if (ToLowerAscii(serviceName) == ToLowerAscii(name)) {
                error = 0;
                return std::make_unique<FakeService>(owner_, model);
            }
        }
        error = 1060;  // ERROR_SERVICE_DOES_NOT_EXIST
        return nullptr;
    }

  private:
    FakeServices& owner_;
};

}  // namespace

std::unique_ptr<ServiceManager> FakeServices::OpenManager(std::uint32_t& error) {
    if (failOpenManager != 0) {
        error = failOpenManager;
        return nullptr;
    }
    error = 0;
    return std::make_unique<FakeServiceManager>(*this);
}

std::uint32_t FakeNetInfo::RouteTable(std::vector<RouteRow>& rows) {
    rows = routes;
    return routeError;
}

std::uint32_t FakeNetInfo::Adapters(std::vector<AdapterRecord>& out) {
    if (adapterError != 0) {
        return adapterError;
    }
    out = adapters;
    return 0;
}

std::uint32_t FakeNetInfo::DnsServers(std::vector<std::string>& servers) {
    if (dnsError != 0) {
        return dnsError;
    }
    servers = dns;
    return 0;
}

namespace {

class FakeNetDevice : public NetDevice {
  public:
    explicit FakeNetDevice(std::map<std::uint32_t, std::uint32_t>& oids) : oids_(oids) {}
    bool QueryOid(std::uint32_t oid, std::uint32_t& value) override {
        auto it = oids_.find(oid);
        if (it == oids_.end()) {
            return false;
        }
        value = it->second;
        return true;
    }

  private:
    std::map<std::uint32_t, std::uint32_t>& oids_;
};

}  // namespace

std::unique_ptr<NetDevice> FakeNetInfo::OpenDevice(const std::string& devicePath) {
    auto it = devices.find(devicePath);
    if (it == devices.end()) {
        return nullptr;
    }
    return std::make_unique<FakeNetDevice>(it->second);
}

FakePlatform::FakePlatform()
    : platform{profile, files, system, clock, trace, modules, registry, ui, runner, services, net} {
}

}  // namespace kestrun::platform::fake
