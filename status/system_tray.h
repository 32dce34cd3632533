// The program's icon in the notification area. It receives the shell's notifications
// through a hidden window of its own, so they arrive whatever the main window's
// visibility; a right-click opens the command menu, whose commands go to the main window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/shell.h"
#include "platform/types.h"
#include "platform/window_message.h"
#include "ui/message_table.h"

namespace kestrun {

// Callback message of the icon, delivered to the hidden window.
constexpr std::uint32_t WM_TRAYICON_NOTIFY = platform::kWmUser + 0x6F;

class CSystemTray : public platform::MessageSink {
  public:
    // mainWindow looks up the application's main window when a menu is to be shown.
    CSystemTray(platform::Shell& shell, std::function<platform::WindowRef()> mainWindow);
    // Removes the icon (again) and destroys the hidden window if still there.
    ~CSystemTray() override;
    CSystemTray(const CSystemTray&) = delete;
    CSystemTray& operator=(const CSystemTray&) = delete;

    // Creates the hidden window and adds the icon. False when the window cannot be made
    // (nothing added) or the shell refuses the icon (the window stays).
    bool AddIcon(std::uint32_t callbackMessage, const std::string& tip, platform::GdiRef icon,
                 std::uint32_t id);
    // Replaces icon and tip together.
    bool ChangeIcon(platform::GdiRef icon, const std::string& tip);
    // Deletes the icon and destroys the hidden window; harmless when repeated or after a
    // failed AddIcon.
    void RemoveIcon();

    // The hidden window's procedure.
    platform::MsgResult OnMessage(const platform::Msg& msg) override;
    // wParam: the icon identifier; low word of lParam: the mouse message.
    virtual std::intptr_t OnIconNotify(std::uintptr_t wParam, std::intptr_t lParam);

    const platform::NotifyIconRecord& Record() const { return m_nid; }

  private:
    static const MessageTable<CSystemTray>& Table();
    // The two messages the hidden window handles; both numbers are known only at run time.
    std::uint32_t CallbackMessage() const;
    std::uint32_t TaskbarCreatedMessage() const { return m_nTaskbarCreated; }
    platform::MsgResult OnCallback(const platform::Msg& msg);
    platform::MsgResult OnTaskbarCreated(const platform::Msg& msg);
    void SetTip(const std::string& tip);

    platform::Shell& shell_;
    std::function<platform::WindowRef()> mainWindow_;
    platform::NotifyIconRecord m_nid;
    // The shell's broadcast after it (re)starts: the icon must then be added again.
    std::uint32_t m_nTaskbarCreated = 0;
    bool m_bIconAdded = false;
};

}  // namespace kestrun
