// A minimal Windows service that tests register as "PolicyAgent", so that the IPsec
// service control can stop and start a real service under Wine.
//   policyagent install [demand|auto|disabled]   registers this exe as "PolicyAgent"
//   policyagent uninstall                        removes it
//   policyagent                                  (run by the service control manager)
// Starts and stops are appended to "policyagent.log" beside the exe.
#include <cstring>
#include <string>

#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_include.h"
#include "stub_log.h"

namespace {

using kestrun::platform::win32::UniqueKernelHandle;
using kestrun::platform::win32::UniqueServiceHandle;

const char kServiceName[] = "PolicyAgent";

SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
// Set by the stop control; owned by ServiceMain while the service runs.
HANDLE g_stopEvent = nullptr;

std::string ExePath() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, length);
}

std::string ServiceLog() {
    std::string path = ExePath();
    const std::size_t slash = path.find_last_of("\\/");
    path.resize(slash == std::string::npos ? 0 : slash + 1);
    return path + "policyagent.log";
}

void Report(DWORD state) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    SetServiceStatus(g_statusHandle, &status);
}

DWORD WINAPI Control(DWORD control, DWORD, void*, void*) {
    if (control == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING);
        SetEvent(g_stopEvent);
    }
    return NO_ERROR;
}

void WINAPI ServiceMain(DWORD, char**) {
    g_statusHandle = RegisterServiceCtrlHandlerExA(kServiceName, Control, nullptr);
    if (g_statusHandle == nullptr) {
        return;
    }
    UniqueKernelHandle stopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!stopEvent) {
        Report(SERVICE_STOPPED);
        return;
    }
    g_stopEvent = stopEvent.Get();
    Report(SERVICE_RUNNING);
    kestrun::stub::AppendLine(ServiceLog(), "policyagent started");
    WaitForSingleObject(stopEvent.Get(), INFINITE);
    kestrun::stub::AppendLine(ServiceLog(), "policyagent stopped");
    Report(SERVICE_STOPPED);
}

int Install(const char* mode) {
    DWORD startType = SERVICE_DEMAND_START;
    if (mode != nullptr && std::strcmp(mode, "auto") == 0) {
        startType = SERVICE_AUTO_START;
    } else if (mode != nullptr && std::strcmp(mode, "disabled") == 0) {
        startType = SERVICE_DISABLED;
    }
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        return 1;
    }
    const std::string binary = "\"" + ExePath() + "\"";
    UniqueServiceHandle service(CreateServiceA(manager.Get(), kServiceName, kServiceName,
                                               SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                                               startType, SERVICE_ERROR_NORMAL, binary.c_str(),
                                               nullptr, nullptr, nullptr, nullptr, nullptr));
    if (service) {
        return 0;
    }
    if (GetLastError() != ERROR_SERVICE_EXISTS) {
        return 1;
    }
    // Already there: make it point at this exe with the asked start type.
    service.Reset(OpenServiceA(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service) {
        return 1;
    }
    return ChangeServiceConfigA(service.Get(), SERVICE_NO_CHANGE, startType, SERVICE_NO_CHANGE,
                                binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr)
               ? 0
               : 1;
}

int Uninstall() {
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        return 1;
    }
    UniqueServiceHandle service(OpenServiceA(manager.Get(), kServiceName, SERVICE_ALL_ACCESS));
    if (!service) {
        return 1;
    }
    SERVICE_STATUS status = {};
    ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
    return DeleteService(service.Get()) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "install") == 0) {
        return Install(argc >= 3 ? argv[2] : nullptr);
    }
    if (argc >= 2 && std::strcmp(argv[1], "uninstall") == 0) {
        return Uninstall();
    }
    char name[] = "PolicyAgent";
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
