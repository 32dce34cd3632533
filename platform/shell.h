// The notification area and the pop-up menus of the program's resources, plus the
// hidden window that receives the notification area's messages.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/types.h"
#include "platform/window_message.h"

namespace kestrun::platform {

using MenuRef = std::uintptr_t;

// The fields of NOTIFYICONDATAA that the client sets, in the record's version-2 size.
struct NotifyIconRecord {
    std::uint32_t cbSize = 0;
    WindowRef hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    GdiRef hIcon = 0;
    std::array<char, 128> szTip{};  // at most 127 characters and the terminating NUL
};

constexpr std::uint32_t kNotifyIconRecordSize = 488;
constexpr std::uint32_t kNifMessage = 0x1;
constexpr std::uint32_t kNifIcon = 0x2;
constexpr std::uint32_t kNifTip = 0x4;
constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimModify = 1;
constexpr std::uint32_t kNimDelete = 2;

class Shell {
  public:
    virtual ~Shell() = default;

    // A never-shown WS_POPUP window (no extended style, a class with default attributes,
    // position and size 0, no parent, no menu) whose messages go to sink, which may
    // leave them to the default window procedure. 0 on failure.
    virtual WindowRef CreateHiddenWindow(const std::string& title, MessageSink& sink) = 0;
    virtual void DestroyWindow(WindowRef window) = 0;

    // Shell_NotifyIconA(action, record); true on success.
    virtual bool NotifyIcon(std::uint32_t action, const NotifyIconRecord& record) = 0;
    // RegisterWindowMessageA; 0 on failure.
    virtual std::uint32_t RegisterMessageName(const std::string& name) = 0;

    // LoadMenuA of a menu resource of the program; 0 when missing.
    virtual MenuRef LoadMenuResource(int resourceId) = 0;
    // GetSubMenu; 0 when there is no pop-up at that position.
    virtual MenuRef GetSubMenu(MenuRef menu, int position) = 0;
    // ModifyMenuA(MF_BYPOSITION | MF_STRING).
    virtual bool ModifyMenuByPosition(MenuRef menu, int position, std::uint32_t commandId,
                                      const std::string& text) = 0;
    // TrackPopupMenu(menu, flags, x, y, 0, owner, no rectangle); returns when the menu
    // closes. A chosen entry reaches owner as WM_COMMAND.
    virtual bool TrackPopupMenu(MenuRef menu, std::uint32_t flags, int x, int y,
                                WindowRef owner) = 0;
    virtual void DestroyMenu(MenuRef menu) = 0;

    // GetCursorPos; false on failure.
    virtual bool GetCursorPos(int& x, int& y) = 0;
    virtual bool SetForegroundWindow(WindowRef window) = 0;
};

}  // namespace kestrun::platform
