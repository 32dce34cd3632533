#include <memory>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {
namespace {

DWORD WINAPI RunWork(LPVOID parameter) {
    const std::unique_ptr<std::function<void()>> work(
        static_cast<std::function<void()>*>(parameter));
    (*work)();
    return 0;
}

}  // namespace

std::uint32_t Win32Threads::Start(std::function<void()> work) {
    auto owned = std::make_unique<std::function<void()>>(std::move(work));
    DWORD id = 0;
    // CreateThread, not std::thread: this runtime's thread model has none. The handle is
    // not needed; the thread ends by itself.
    const UniqueKernelHandle thread(CreateThread(nullptr, 0, &RunWork, owned.get(), 0, &id));
    if (!thread) {
        return 0;
    }
    owned.release();  // the thread owns it now
    return static_cast<std::uint32_t>(id);
}

}  // namespace kestrun::platform::win32
