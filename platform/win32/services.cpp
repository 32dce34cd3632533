// The service control manager calls for the IPsec policy service.
#include <memory>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {
namespace {

using ServiceHandle = UniqueServiceHandle;

// The configuration is read into a buffer of this size, which holds any real record.
constexpr DWORD kConfigBufferSize = 4096;

std::uint32_t Result(BOOL ok) {
    return ok ? 0 : GetLastError();
}

class Win32Service : public Service {
  public:
    explicit Win32Service(ServiceHandle handle) : handle_(std::move(handle)) {}

    std::uint32_t QueryStartType(std::uint32_t& startType) override {
        std::vector<BYTE> buffer(kConfigBufferSize, 0);
        DWORD needed = 0;
        auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
        if (!QueryServiceConfigA(handle_.Get(), config, kConfigBufferSize, &needed)) {
            return GetLastError();
        }
        startType = config->dwStartType;
        return 0;
    }
    std::uint32_t ChangeStartType(std::uint32_t startType) override {
        return Result(ChangeServiceConfigA(handle_.Get(), SERVICE_NO_CHANGE, startType,
                                           SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr,
                                           nullptr, nullptr, nullptr));
    }
    std::uint32_t QueryState(std::uint32_t& currentState) override {
        SERVICE_STATUS status;
        ZeroMemory(&status, sizeof(status));
        if (!QueryServiceStatus(handle_.Get(), &status)) {
            return GetLastError();
        }
        currentState = status.dwCurrentState;
        return 0;
    }
    std::uint32_t Stop() override {
        SERVICE_STATUS status;
        ZeroMemory(&status, sizeof(status));
        return Result(ControlService(handle_.Get(), SERVICE_CONTROL_STOP, &status));
    }
    std::uint32_t Start() override { return Result(StartServiceA(handle_.Get(), 0, nullptr)); }

  private:
    ServiceHandle handle_;
};

class Win32ServiceManager : public ServiceManager {
  public:
    explicit Win32ServiceManager(ServiceHandle handle) : handle_(std::move(handle)) {}
    std::unique_ptr<Service> OpenService(const std::string& name, std::uint32_t& error) override {
        ServiceHandle service(OpenServiceA(handle_.Get(), name.c_str(), SERVICE_ALL_ACCESS));
        if (!service) {
            error = GetLastError();
            return nullptr;
        }
        error = 0;
        return std::make_unique<Win32Service>(std::move(service));
    }

  private:
    ServiceHandle handle_;
};

}  // namespace

std::unique_ptr<ServiceManager> Win32Services::OpenManager(std::uint32_t& error) {
    ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        error = GetLastError();
        return nullptr;
    }
    error = 0;
    return std::make_unique<Win32ServiceManager>(std::move(manager));
}

std::uint32_t Win32Services::QueryState(const std::string& name, std::uint32_t& currentState) {
    const ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        return GetLastError();
    }
    const ServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), SERVICE_QUERY_STATUS));
    if (!service) {
        return GetLastError();
    }
    SERVICE_STATUS status;
    ZeroMemory(&status, sizeof(status));
    if (!QueryServiceStatus(service.Get(), &status)) {
        return GetLastError();
    }
    currentState = status.dwCurrentState;
    return 0;
}

}  // namespace kestrun::platform::win32
