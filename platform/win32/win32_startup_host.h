// The windowing side of start-up: OLE for the browser control, resources, the background
// brush and the main window. Owns what it creates for the life of the process.
#pragma once

#include "app/startup.h"
#include "platform/win32/unique_handle.h"

namespace kestrun::platform::win32 {

class Win32StartupHost : public StartupHost {
  public:
    explicit Win32StartupHost(HINSTANCE instance) : instance_(instance) {}
    ~Win32StartupHost() override;
    Win32StartupHost(const Win32StartupHost&) = delete;
    Win32StartupHost& operator=(const Win32StartupHost&) = delete;

    void EnableControlHosting() override;
    std::string LoadResourceString(std::uint32_t id) override;
    GdiRef CreateBackgroundBrush(std::uint32_t colorRef) override;
    WindowRef CreateMainWindow() override;
    void HideWindow(WindowRef window) override;

  private:
    HINSTANCE instance_;
    bool oleStarted_ = false;
    UniqueGdiObject brush_;
};

}  // namespace kestrun::platform::win32
