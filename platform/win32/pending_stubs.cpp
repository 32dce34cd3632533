// Placeholders for the command runner, the service control and the network queries until
// their real wrappers exist: every operation reports that it is not available.
#include "platform/win32/windows_include.h"

#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {

std::uint32_t Win32Runner::RunAndWait(const std::string& /*commandLine*/) {
    return ERROR_CALL_NOT_IMPLEMENTED;
}

std::uint32_t Win32Runner::StartHidden(const std::string& /*commandLine*/) {
    return 0;
}

std::unique_ptr<ServiceManager> Win32Services::OpenManager(std::uint32_t& error) {
    error = ERROR_CALL_NOT_IMPLEMENTED;
    return nullptr;
}

std::uint32_t Win32NetInfo::RouteTable(std::vector<RouteRow>& rows) {
    rows.clear();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

std::uint32_t Win32NetInfo::Adapters(std::vector<AdapterRecord>& adapters) {
    adapters.clear();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

std::uint32_t Win32NetInfo::DnsServers(std::vector<std::string>& servers) {
    servers.clear();
    return ERROR_CALL_NOT_IMPLEMENTED;
}

std::unique_ptr<NetDevice> Win32NetInfo::OpenDevice(const std::string& /*devicePath*/) {
    return nullptr;
}

}  // namespace kestrun::platform::win32
