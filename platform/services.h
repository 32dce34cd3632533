// Service control manager access for the IPsec policy service.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kestrun::platform {

constexpr std::uint32_t kServiceStopped = 1;
constexpr std::uint32_t kServiceStartPending = 2;
constexpr std::uint32_t kServiceStopPending = 3;
constexpr std::uint32_t kServiceRunning = 4;
constexpr std::uint32_t kServiceAutoStart = 2;
constexpr std::uint32_t kServiceDisabled = 4;
constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;

// An open service. Every operation returns 0 or the system error code. Destroying the
// object closes the handle.
class Service {
  public:
    virtual ~Service() = default;
    virtual std::uint32_t QueryStartType(std::uint32_t& startType) = 0;
    // ChangeServiceConfigA with only the start type changed.
    virtual std::uint32_t ChangeStartType(std::uint32_t startType) = 0;
    virtual std::uint32_t QueryState(std::uint32_t& currentState) = 0;
    // ControlService(SERVICE_CONTROL_STOP).
    virtual std::uint32_t Stop() = 0;
    // StartServiceA with no arguments.
    virtual std::uint32_t Start() = 0;
};

class ServiceManager {
  public:
    virtual ~ServiceManager() = default;
    // OpenServiceA(SERVICE_ALL_ACCESS); nullptr and error set on failure.
    virtual std::unique_ptr<Service> OpenService(const std::string& name, std::uint32_t& error) = 0;
};

class Services {
  public:
    virtual ~Services() = default;
    // OpenSCManagerA(local, active database, SC_MANAGER_ALL_ACCESS).
    virtual std::unique_ptr<ServiceManager> OpenManager(std::uint32_t& error) = 0;
    // The current state of the named service, asked with query rights only
    // (SC_MANAGER_CONNECT, SERVICE_QUERY_STATUS), so that it needs no administrator.
    // Returns 0 or the system error code (kErrorServiceDoesNotExist: no such service).
    virtual std::uint32_t QueryState(const std::string& name, std::uint32_t& currentState) = 0;
};

}  // namespace kestrun::platform
