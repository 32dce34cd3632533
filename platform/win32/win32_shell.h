// The notification area, menus of the program's resources and the hidden window for
// the notification area's messages.
#pragma once

#include "platform/shell.h"

namespace kestrun::platform::win32 {

class Win32Shell : public Shell {
  public:
    WindowRef CreateHiddenWindow(const std::string& title, MessageSink& sink) override;
    void DestroyWindow(WindowRef window) override;
    bool NotifyIcon(std::uint32_t action, const NotifyIconRecord& record) override;
    std::uint32_t RegisterMessageName(const std::string& name) override;
    MenuRef LoadMenuResource(int resourceId) override;
    MenuRef GetSubMenu(MenuRef menu, int position) override;
    bool ModifyMenuByPosition(MenuRef menu, int position, std::uint32_t commandId,
                              const std::string& text) override;
    bool TrackPopupMenu(MenuRef menu, std::uint32_t flags, int x, int y, WindowRef owner) override;
    void DestroyMenu(MenuRef menu) override;
    bool GetCursorPos(int& x, int& y) override;
    bool SetForegroundWindow(WindowRef window) override;
};

}  // namespace kestrun::platform::win32
