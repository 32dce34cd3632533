#include "platform/win32/windows_include.h"

#include <winsock2.h>

#include <ipexport.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win32/private_files.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

// The entry points as ICMP.DLL and Iphlpapi.dll export them (the SDK declares them in
// icmpapi.h, which the oldest systems lack).
struct IpOptionInformation {
    UCHAR ttl;
    UCHAR tos;
    UCHAR flags;
    UCHAR optionsSize;
    PUCHAR optionsData;
};
struct IcmpEchoReply {
    ULONG address;
    ULONG status;
    ULONG roundTripTime;
    USHORT dataSize;
    USHORT reserved;
    PVOID data;
    IpOptionInformation options;
};
using IcmpCreateFileFn = HANDLE(WINAPI*)();
using IcmpCloseHandleFn = BOOL(WINAPI*)(HANDLE);
using IcmpSendEchoFn = DWORD(WINAPI*)(HANDLE, ULONG, LPVOID, WORD, IpOptionInformation*, LPVOID,
                                      DWORD, DWORD);

constexpr char kRequestData[] = "Data";  // the first 4 bytes of "Data Buffer"
constexpr WORD kRequestSize = 4;

// Closes the echo handle on every way out of Send; an invalid one is never passed on.
struct IcmpCloser {
    IcmpCloseHandleFn close;
    void operator()(void* icmp) const {
        if (icmp != INVALID_HANDLE_VALUE) {
            close(icmp);
        }
    }
};

template <typename Fn>
Fn EntryPoint(HMODULE module, const char* name) {
    // GetProcAddress returns a generic function pointer; the real type is the export's.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class Win32Echo : public Echo {
  public:
    Win32Echo(IcmpCreateFileFn create, IcmpCloseHandleFn close, IcmpSendEchoFn send)
        : create_(create), close_(close), send_(send) {}

    EchoReply Send(const std::string& address, std::uint32_t timeoutMs) override {
        EchoReply reply;
        const std::unique_ptr<void, IcmpCloser> icmp(create_(), IcmpCloser{close_});
        if (icmp.get() == INVALID_HANDLE_VALUE) {
            reply.error = GetLastError();
            return reply;
        }
        reply.opened = true;
        // inet_addr gives INADDR_NONE for text that is no address, and on the oldest systems
        // INADDR_ANY for empty text: the echo would go to the broadcast or "any" address.
        const unsigned long target = inet_addr(address.c_str());
        if (target == INADDR_NONE || target == INADDR_ANY) {
            reply.error = IP_BAD_DESTINATION;
            return reply;
        }
        // One reply record, the request's data and the 8 bytes of an ICMP error that the
        // system may copy back.
        std::vector<unsigned char> buffer(sizeof(IcmpEchoReply) + kRequestSize + 8);
        char request[kRequestSize + 1] = {};
        CopyMemory(request, kRequestData, kRequestSize);
        const DWORD count = send_(icmp.get(), target, request, kRequestSize, nullptr, buffer.data(),
                                  static_cast<DWORD>(buffer.size()), timeoutMs);
        if (count > 0) {
            IcmpEchoReply first;
            CopyMemory(&first, buffer.data(), sizeof(first));
            reply.replies = count;
            reply.status = first.status;
        } else {
            reply.error = GetLastError();
        }
        return reply;
    }

  private:
    IcmpCreateFileFn create_;
    IcmpCloseHandleFn close_;
    IcmpSendEchoFn send_;
};

}  // namespace

std::unique_ptr<Echo> Win32EchoLibrary::Load(const std::string& libraryName, EchoLoad& outcome) {
    HMODULE module = LoadSystemLibrary(libraryName);
    if (module == nullptr) {
        outcome = EchoLoad::NoLibrary;
        return nullptr;
    }
    const auto create = EntryPoint<IcmpCreateFileFn>(module, "IcmpCreateFile");
    const auto close = EntryPoint<IcmpCloseHandleFn>(module, "IcmpCloseHandle");
    const auto send = EntryPoint<IcmpSendEchoFn>(module, "IcmpSendEcho");
    if (create == nullptr || close == nullptr || send == nullptr) {
        FreeLibrary(module);
        outcome = EchoLoad::MissingEntry;
        return nullptr;
    }
    // The library is never freed: an echo worker may still be inside it when the program
    // ends.
    outcome = EchoLoad::Loaded;
    return std::make_unique<Win32Echo>(create, close, send);
}

}  // namespace kestrun::platform::win32
