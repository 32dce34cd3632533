#include "platform/win32/win32_dialog_host.h"

#include "platform/win32/handle_refs.h"
#include "platform/win32/private_files.h"
#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {

struct Win32DialogHost::Binding {
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

namespace {

// Messages whose result the dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            return true;
        default:
            return false;
    }
}

}  // namespace

INT_PTR CALLBACK Win32DialogHost::Binding::DialogProc(HWND window, UINT message, WPARAM wParam,
                                                      LPARAM lParam) {
    Win32DialogHost* host = nullptr;
    if (message == WM_INITDIALOG) {
        host = reinterpret_cast<Win32DialogHost*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(host));
        host->window_ = reinterpret_cast<std::uintptr_t>(window);
    } else {
        host = reinterpret_cast<Win32DialogHost*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (host == nullptr || host->sink_ == nullptr) {
        return FALSE;
    }
    MessageSink* sink = host->sink_;
    bool endMessageLoop = false;
    if (message == WM_NCDESTROY) {
        // The last message: the host forgets the window before the sink sees it.
        SetWindowLongPtrA(window, DWLP_USER, 0);
        host->window_ = 0;
        host->sink_ = nullptr;
        endMessageLoop = host->endsMessageLoop_;
    }
    // A handler may destroy the window and so end the host's use (the main window's
    // end does), so only the window handle is used from here on.
    const MsgResult result = sink->OnMessage(Msg{message, wParam, lParam});
    if (endMessageLoop) {
        PostQuitMessage(0);
    }
    if (!result.handled) {
        return FALSE;
    }
    if (ReturnsResultDirectly(message)) {
        return static_cast<INT_PTR>(result.value);
    }
    SetWindowLongPtrA(window, DWLP_MSGRESULT, static_cast<LONG_PTR>(result.value));
    return TRUE;
}

Win32DialogHost::~Win32DialogHost() {
    if (window_ != 0 && !modal_) {
        HWND window = AsWindow(window_);
        SetWindowLongPtrA(window, DWLP_USER, 0);
        window_ = 0;
        sink_ = nullptr;
        DestroyWindow(window);
    }
}

std::intptr_t Win32DialogHost::RunModal(int templateId, WindowRef parent, MessageSink& sink) {
    sink_ = &sink;
    modal_ = true;
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), AsWindow(parent),
                        &Binding::DialogProc, reinterpret_cast<LPARAM>(this));
    sink_ = nullptr;
    window_ = 0;
    return static_cast<std::intptr_t>(result);
}

bool Win32DialogHost::CreateModeless(int templateId, WindowRef parent, MessageSink& sink) {
    sink_ = &sink;
    modal_ = false;
    HWND window =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                           AsWindow(parent), &Binding::DialogProc, reinterpret_cast<LPARAM>(this));
    if (window == nullptr) {
        sink_ = nullptr;
        window_ = 0;
        return false;
    }
    return true;
}

void Win32DialogHost::Destroy() {
    if (window_ != 0) {
        DestroyWindow(AsWindow(window_));
    }
}

WindowRef Win32DialogHost::Handle() {
    return window_;
}

int Win32DialogHost::ItemId(WindowRef child) {
    return GetDlgCtrlID(AsWindow(child));
}

std::string Win32DialogHost::GetItemText(int id) {
    HWND item = GetDlgItem(AsWindow(window_), id);
    if (item == nullptr) {
        return std::string();
    }
    const int length = GetWindowTextLengthA(item);
    if (length <= 0) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(item, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void Win32DialogHost::SetItemText(int id, const std::string& text) {
    SetDlgItemTextA(AsWindow(window_), id, text.c_str());
}

void Win32DialogHost::EnableItem(int id, bool enable) {
    EnableWindow(GetDlgItem(AsWindow(window_), id), enable ? TRUE : FALSE);
}

bool Win32DialogHost::IsItemEnabled(int id) {
    return IsWindowEnabled(GetDlgItem(AsWindow(window_), id)) != FALSE;
}

void Win32DialogHost::ShowItem(int id, int showCommand) {
    ::ShowWindow(GetDlgItem(AsWindow(window_), id), showCommand);
}

void Win32DialogHost::SetItemFont(int id, GdiRef font) {
    SendDlgItemMessageA(AsWindow(window_), id, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
}

void Win32DialogHost::ShowWindow(int showCommand) {
    ::ShowWindow(AsWindow(window_), showCommand);
}

void Win32DialogHost::EndDialog(std::intptr_t result) {
    ::EndDialog(AsWindow(window_), static_cast<INT_PTR>(result));
}

void Win32DialogHost::SetIcon(GdiRef icon, bool big) {
    SendMessageA(AsWindow(window_), WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                 static_cast<LPARAM>(icon));
}

GdiRef Win32DialogHost::Font() {
    return static_cast<GdiRef>(SendMessageA(AsWindow(window_), WM_GETFONT, 0, 0));
}

bool Win32DialogHost::SetTimer(std::uint32_t id, std::uint32_t milliseconds) {
    return ::SetTimer(AsWindow(window_), id, milliseconds, nullptr) != 0;
}

void Win32DialogHost::KillTimer(std::uint32_t id) {
    ::KillTimer(AsWindow(window_), id);
}

bool Win32DialogHost::Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return PostMessageA(AsWindow(window_), message, wParam, lParam) != FALSE;
}

int Win32DialogHost::MessageBox(const std::string& text, const std::string& caption,
                                std::uint32_t style) {
    return MessageBoxA(AsWindow(window_), text.c_str(), caption.c_str(), style);
}

int Win32DialogHost::ComboInsertString(int id, int index, const std::string& text) {
    return static_cast<int>(SendDlgItemMessageA(AsWindow(window_), id, CB_INSERTSTRING,
                                                static_cast<WPARAM>(index),
                                                reinterpret_cast<LPARAM>(text.c_str())));
}

void Win32DialogHost::ComboDeleteString(int id, int index) {
    SendDlgItemMessageA(AsWindow(window_), id, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void Win32DialogHost::ComboResetContent(int id) {
    SendDlgItemMessageA(AsWindow(window_), id, CB_RESETCONTENT, 0, 0);
}

int Win32DialogHost::ComboGetCount(int id) {
    return static_cast<int>(SendDlgItemMessageA(AsWindow(window_), id, CB_GETCOUNT, 0, 0));
}

int Win32DialogHost::ComboGetCurSel(int id) {
    return static_cast<int>(SendDlgItemMessageA(AsWindow(window_), id, CB_GETCURSEL, 0, 0));
}

int Win32DialogHost::ComboSetCurSel(int id, int index) {
    return static_cast<int>(
        SendDlgItemMessageA(AsWindow(window_), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

std::string Win32DialogHost::ComboGetItemText(int id, int index) {
    HWND window = AsWindow(window_);
    const LRESULT length =
        SendDlgItemMessageA(window, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendDlgItemMessageA(window, id, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                               reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void Win32DialogHost::SuppressShowInWindowPos(std::intptr_t windowPos) {
    auto* position = reinterpret_cast<WINDOWPOS*>(windowPos);
    if (position != nullptr) {
        position->flags &= ~static_cast<UINT>(SWP_SHOWWINDOW);
    }
}

std::intptr_t Win32DialogHost::DefaultProcessing(const Msg& msg) {
    // DefWindowProcA, not the dialog manager's default, which would call the dialog
    // procedure again.
    return DefWindowProcA(reinterpret_cast<HWND>(Handle()), msg.message,
                          static_cast<WPARAM>(msg.wParam), static_cast<LPARAM>(msg.lParam));
}

std::unique_ptr<DialogHost> Win32DialogFactory::NewHost() {
    if (!commonControls_) {
        commonControls_.Reset(LoadSystemLibrary("comctl32.dll"));
        using InitCommonControlsProc = void(WINAPI*)();
        if (const auto init = reinterpret_cast<InitCommonControlsProc>(
                GetProcAddress(commonControls_.Get(), "InitCommonControls"))) {
            init();
        }
    }
    return std::make_unique<Win32DialogHost>();
}

}  // namespace kestrun::platform::win32
