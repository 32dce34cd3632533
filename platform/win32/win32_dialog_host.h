// A dialog window made from a template of the program's resources, whose dialog
// procedure hands every message to a MessageSink.
#pragma once

#include <memory>

#include "platform/dialog_host.h"
#include "platform/win32/unique_handle.h"

namespace kestrun::platform::win32 {

class Win32DialogHost : public DialogHost {
  public:
    Win32DialogHost() = default;
    // A modeless window still open is destroyed without reaching the sink any more.
    ~Win32DialogHost() override;
    Win32DialogHost(const Win32DialogHost&) = delete;
    Win32DialogHost& operator=(const Win32DialogHost&) = delete;

    std::intptr_t RunModal(int templateId, WindowRef parent, MessageSink& sink) override;
    bool CreateModeless(int templateId, WindowRef parent, MessageSink& sink) override;
    void Destroy() override;

    WindowRef Handle() override;
    int ItemId(WindowRef child) override;

    std::string GetItemText(int id) override;
    void SetItemText(int id, const std::string& text) override;
    void EnableItem(int id, bool enable) override;
    bool IsItemEnabled(int id) override;
    void ShowItem(int id, int showCommand) override;
    void SetItemFont(int id, GdiRef font) override;

    void ShowWindow(int showCommand) override;
    void EndDialog(std::intptr_t result) override;
    void SetIcon(GdiRef icon, bool big) override;
    GdiRef Font() override;

    bool SetTimer(std::uint32_t id, std::uint32_t milliseconds) override;
    void KillTimer(std::uint32_t id) override;

    bool Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;

    int MessageBox(const std::string& text, const std::string& caption,
                   std::uint32_t style) override;

    int ComboInsertString(int id, int index, const std::string& text) override;
    void ComboDeleteString(int id, int index) override;
    void ComboResetContent(int id) override;
    int ComboGetCount(int id) override;
    int ComboGetCurSel(int id) override;
    int ComboSetCurSel(int id, int index) override;
    std::string ComboGetItemText(int id, int index) override;

    void SuppressShowInWindowPos(std::intptr_t windowPos) override;
    std::intptr_t DefaultProcessing(const Msg& msg) override;

    // Makes this the application's main window: its destruction ends the message loop
    // (WM_QUIT with exit code 0).
    void EndMessageLoopWhenDestroyed() { endsMessageLoop_ = true; }

    // The dialog procedure's view of the host (set while the window exists).
    struct Binding;

  private:
    friend struct Binding;
    std::uintptr_t window_ = 0;
    MessageSink* sink_ = nullptr;
    bool modal_ = false;
    bool endsMessageLoop_ = false;
};

// The first host registers the common control classes (the Diagnosis window's list), so
// that a client whose tray menu is never used does not load comctl32.dll at all.
class Win32DialogFactory : public DialogFactory {
  public:
    std::unique_ptr<DialogHost> NewHost() override;

  private:
    UniqueModule commonControls_;
};

}  // namespace kestrun::platform::win32
