// What a dialog class does to its own native window: item texts and states, timers,
// messages to itself, message boxes it owns, and the combo box of the main window. The
// win32 host creates the window from a dialog template and hands every message to a
// MessageSink; the fake host lets native tests deliver messages to the same sink.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/types.h"
#include "platform/window_message.h"

namespace kestrun::platform {

constexpr int kComboError = -1;  // CB_ERR

class DialogHost {
  public:
    virtual ~DialogHost() = default;

    // Creates the dialog from templateId, modal: routes its messages to sink and returns
    // the value given to EndDialog, or -1 when the dialog cannot be created.
    virtual std::intptr_t RunModal(int templateId, WindowRef parent, MessageSink& sink) = 0;
    // Creates the dialog from templateId, modeless; the set-up (WM_INITDIALOG) has run
    // when this returns. False when the window cannot be created.
    virtual bool CreateModeless(int templateId, WindowRef parent, MessageSink& sink) = 0;
    // DestroyWindow; nothing when there is no window.
    virtual void Destroy() = 0;

    // The dialog's window; 0 before creation and after destruction.
    virtual WindowRef Handle() = 0;
    // GetDlgCtrlID of a child window.
    virtual int ItemId(WindowRef child) = 0;

    // The whole text of an item (no length limit), and SetDlgItemTextA.
    virtual std::string GetItemText(int id) = 0;
    virtual void SetItemText(int id, const std::string& text) = 0;
    virtual void EnableItem(int id, bool enable) = 0;
    virtual bool IsItemEnabled(int id) = 0;
    virtual void ShowItem(int id, int showCommand) = 0;
    // WM_SETFONT to an item (redrawn); the font must outlive the item's use of it.
    virtual void SetItemFont(int id, GdiRef font) = 0;

    virtual void ShowWindow(int showCommand) = 0;
    virtual void EndDialog(std::intptr_t result) = 0;
    // WM_SETICON (big or small); WM_GETFONT.
    virtual void SetIcon(GdiRef icon, bool big) = 0;
    virtual GdiRef Font() = 0;

    // SetTimer/KillTimer on the dialog's window; a running timer restarts.
    virtual bool SetTimer(std::uint32_t id, std::uint32_t milliseconds) = 0;
    virtual void KillTimer(std::uint32_t id) = 0;

    // PostMessageA to the dialog itself.
    virtual bool Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;

    // MessageBoxA owned by the dialog; returns the button pressed.
    virtual int MessageBox(const std::string& text, const std::string& caption,
                           std::uint32_t style) = 0;

    // Combo box items by control id (CB_INSERTSTRING, which keeps the given place even in a
    // sorted box, index -1 meaning the end; CB_DELETESTRING, CB_RESETCONTENT, CB_GETCOUNT,
    // CB_GETCURSEL, CB_SETCURSEL, CB_GETLBTEXT). Index results are kComboError on failure.
    virtual int ComboInsertString(int id, int index, const std::string& text) = 0;
    virtual void ComboDeleteString(int id, int index) = 0;
    virtual void ComboResetContent(int id) = 0;
    virtual int ComboGetCount(int id) = 0;
    virtual int ComboGetCurSel(int id) = 0;
    virtual int ComboSetCurSel(int id, int index) = 0;
    virtual std::string ComboGetItemText(int id, int index) = 0;

    // Clears SWP_SHOWWINDOW in the WINDOWPOS that a WM_WINDOWPOSCHANGING message points
    // to (its lParam), so that the change does not show the window.
    virtual void SuppressShowInWindowPos(std::intptr_t windowPos) = 0;

    // The system's own handling of msg (DefWindowProcA), for a handler that adjusts what the
    // default does rather than replacing it.
    virtual std::intptr_t DefaultProcessing(const Msg& msg) = 0;
};

// Makes hosts for dialogs opened from other windows (About, Connectivity Info...).
class DialogFactory {
  public:
    virtual ~DialogFactory() = default;
    virtual std::unique_ptr<DialogHost> NewHost() = 0;
};

}  // namespace kestrun::platform
