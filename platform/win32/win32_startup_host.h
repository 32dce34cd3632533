// The windowing side of start-up: OLE for the browser control, resources, the background
// brush and the main window. Owns what it creates for the life of the process.
#pragma once

#include "app/startup.h"
#include "platform/platform.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_dialog_host.h"
#include "platform/win32/win32_icons.h"
#include "platform/win32/win32_painting.h"
#include "platform/win32/win32_shell.h"

namespace kestrun::platform::win32 {

class Win32StartupHost : public StartupHost {
  public:
    Win32StartupHost(HINSTANCE instance, Platform& platform)
        : instance_(instance), platform_(platform) {}
    // Releases the main window object first: it uses the shell, painting and icons here.
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
    Platform& platform_;
    bool oleStarted_ = false;
    UniqueGdiObject<> brush_;
    Win32Shell shell_;
    Win32Painting painting_;
    Win32DialogFactory dialogs_;
    Win32Icons icons_;
};

}  // namespace kestrun::platform::win32
