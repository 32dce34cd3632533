#include "status/system_tray.h"

#include <algorithm>
#include <utility>

#include "res/resource.h"

namespace kestrun {
namespace {

constexpr const char* kHiddenWindowTitle = "CSystemTray Dummy Window";

struct MenuLabel {
    int position;
    std::uint32_t command;
    const char* text;
};

// The menu shown is always exactly this, whatever the resource holds at these places;
// position 2 stays the resource's separator.
constexpr MenuLabel kMenuLabels[] = {
    {0, ID_MENUITEM_DIAGNOSIS, "Diagnosis"},
    {1, ID_MENUITEM_INFO, "Connectivity Info."},
    {3, ID_MENUITEM_ABOUT, "About Ostrimel"},
    {4, ID_MENUITEM_EXIT, "Disconnect && Exit"},
};

// Destroys a loaded menu on every way out.
class LoadedMenu {
  public:
    LoadedMenu(platform::Shell& shell, platform::MenuRef menu) : shell_(shell), menu_(menu) {}
    ~LoadedMenu() {
        if (menu_ != 0) {
            shell_.DestroyMenu(menu_);
        }
    }
    LoadedMenu(const LoadedMenu&) = delete;
    LoadedMenu& operator=(const LoadedMenu&) = delete;
    platform::MenuRef get() const { return menu_; }

  private:
    platform::Shell& shell_;
    platform::MenuRef menu_;
};

}  // namespace

CSystemTray::CSystemTray(platform::Shell& shell, std::function<platform::WindowRef()> mainWindow)
    : shell_(shell), mainWindow_(std::move(mainWindow)) {}

CSystemTray::~CSystemTray() {
    RemoveIcon();
}

void CSystemTray::SetTip(const std::string& tip) {
    // szTip holds 127 characters and the NUL; a longer tip is cut there.
    m_nid.szTip.fill('\0');
    const std::size_t length = std::min(tip.size(), m_nid.szTip.size() - 1);
    std::copy_n(tip.begin(), length, m_nid.szTip.begin());
}

bool CSystemTray::AddIcon(std::uint32_t callbackMessage, const std::string& tip,
                          platform::GdiRef icon, std::uint32_t id) {
    // A second add keeps the one hidden window instead of leaking another.
    if (m_nid.hWnd == 0) {
        const platform::WindowRef window = shell_.CreateHiddenWindow(kHiddenWindowTitle, *this);
        if (window == 0) {
            return false;
        }
        m_nid.hWnd = window;
        m_nTaskbarCreated = shell_.RegisterMessageName("TaskbarCreated");
    }
    m_nid.uID = id;
    m_nid.hIcon = icon;
    m_nid.uFlags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
    m_nid.uCallbackMessage = callbackMessage;
    m_nid.cbSize = platform::kNotifyIconRecordSize;
    SetTip(tip);
    m_bIconAdded = shell_.NotifyIcon(platform::kNimAdd, m_nid);
    return m_bIconAdded;
}

bool CSystemTray::ChangeIcon(platform::GdiRef icon, const std::string& tip) {
    m_nid.uFlags = platform::kNifIcon | platform::kNifTip;
    m_nid.hIcon = icon;
    SetTip(tip);
    return shell_.NotifyIcon(platform::kNimModify, m_nid);
}

void CSystemTray::RemoveIcon() {
    if (m_nid.hWnd == 0) {
        return;  // never created, or already removed
    }
    shell_.NotifyIcon(platform::kNimDelete, m_nid);
    shell_.DestroyWindow(m_nid.hWnd);
    m_nid.hWnd = 0;
    m_bIconAdded = false;
}

const MessageTable<CSystemTray>& CSystemTray::Table() {
    static const MessageTable<CSystemTray> table =
        MessageTable<CSystemTray>()
            .MessageAt(&CSystemTray::CallbackMessage, &CSystemTray::OnCallback)
            .MessageAt(&CSystemTray::TaskbarCreatedMessage, &CSystemTray::OnTaskbarCreated);
    return table;
}

platform::MsgResult CSystemTray::OnMessage(const platform::Msg& msg) {
    return Table().Dispatch(*this, msg).value_or(platform::NotHandled());
}

std::uint32_t CSystemTray::CallbackMessage() const {
    return m_nid.hWnd != 0 ? m_nid.uCallbackMessage : 0;
}

platform::MsgResult CSystemTray::OnCallback(const platform::Msg& msg) {
    return platform::Handled(OnIconNotify(msg.wParam, msg.lParam));
}

platform::MsgResult CSystemTray::OnTaskbarCreated(const platform::Msg&) {
    // The shell restarted and forgot the icon: add it again as it looks now.
    if (m_bIconAdded) {
        m_nid.uFlags = platform::kNifMessage | platform::kNifIcon | platform::kNifTip;
        shell_.NotifyIcon(platform::kNimAdd, m_nid);
    }
    return platform::Handled(0);
}

std::intptr_t CSystemTray::OnIconNotify(std::uintptr_t wParam, std::intptr_t lParam) {
    if (wParam != m_nid.uID) {
        return 0;
    }
    const platform::WindowRef mainWindow = mainWindow_ ? mainWindow_() : 0;
    if (platform::LowWord(static_cast<std::uintptr_t>(lParam)) != platform::kWmRButtonUp) {
        return 1;
    }
    LoadedMenu menu(shell_, shell_.LoadMenuResource(static_cast<int>(m_nid.uID)));
    if (menu.get() == 0) {
        return 0;
    }
    const platform::MenuRef popup = shell_.GetSubMenu(menu.get(), 0);
    if (popup == 0) {
        return 0;
    }
    for (const MenuLabel& label : kMenuLabels) {
        shell_.ModifyMenuByPosition(popup, label.position, label.command, label.text);
    }
    int x = 0;
    int y = 0;
    shell_.GetCursorPos(x, y);
    shell_.SetForegroundWindow(mainWindow);
    shell_.TrackPopupMenu(popup, 0, x, y, mainWindow);
    return 1;
}

}  // namespace kestrun
