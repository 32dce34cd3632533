// The framework side of the real program: resources, the background brush, the main
// window's host and the message loop. Owns what it creates for the life of the process.
#pragma once

#include "platform/framework.h"
#include "platform/win32/unique_handle.h"

namespace kestrun::platform::win32 {

// Sees each message of the loop before the dialog navigation does; true when it took it.
class MessageFilter {
  public:
    virtual ~MessageFilter() = default;
    virtual bool PreTranslate(MSG& message) = 0;
};

class Win32Framework : public Framework {
  public:
    explicit Win32Framework(HINSTANCE instance) : instance_(instance) {}
    Win32Framework(const Win32Framework&) = delete;
    Win32Framework& operator=(const Win32Framework&) = delete;

    std::string LoadResourceString(std::uint32_t id) override;
    GdiRef CreateBackgroundBrush(std::uint32_t colorRef) override;
    std::unique_ptr<DialogHost> NewMainWindowHost() override;
    int RunMessageLoop(WindowRef mainWindow) override;
    void SetMessageFilter(MessageFilter* filter) { filter_ = filter; }

  private:
    MessageFilter* filter_ = nullptr;
    HINSTANCE instance_;
    UniqueGdiObject<> brush_;
};

}  // namespace kestrun::platform::win32
