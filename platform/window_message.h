// A window message as plain integers, the result convention of its handlers, and the
// message and notification numbers the client's windows route. The numbers are the
// Windows values; platform/win32 checks them against the system headers.
#pragma once

#include <cstdint>

namespace kestrun::platform {

struct Msg {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// handled = false lets the window's default processing run; value is the message's
// result (for a dialog: what the dialog procedure reports for the message).
struct MsgResult {
    bool handled = false;
    std::intptr_t value = 0;
};

constexpr MsgResult Handled(std::intptr_t value = 0) {
    return MsgResult{true, value};
}
constexpr MsgResult NotHandled() {
    return MsgResult{false, 0};
}

// Whatever receives the messages of one native window.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual MsgResult OnMessage(const Msg& msg) = 0;
};

constexpr std::uint16_t LowWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>(value & 0xFFFF);
}
constexpr std::uint16_t HighWord(std::uintptr_t value) {
    return static_cast<std::uint16_t>((value >> 16) & 0xFFFF);
}
constexpr std::uintptr_t MakeWParam(std::uint16_t low, std::uint16_t high) {
    return static_cast<std::uintptr_t>(low) | (static_cast<std::uintptr_t>(high) << 16);
}

// Window messages.
constexpr std::uint32_t kWmDestroy = 0x0002;
constexpr std::uint32_t kWmPaint = 0x000F;
constexpr std::uint32_t kWmClose = 0x0010;
constexpr std::uint32_t kWmGetFont = 0x0031;
constexpr std::uint32_t kWmQueryDragIcon = 0x0037;
constexpr std::uint32_t kWmWindowPosChanging = 0x0046;
constexpr std::uint32_t kWmSetIcon = 0x0080;
constexpr std::uint32_t kWmInitDialog = 0x0110;
constexpr std::uint32_t kWmCommand = 0x0111;
constexpr std::uint32_t kWmSysCommand = 0x0112;
constexpr std::uint32_t kWmTimer = 0x0113;
constexpr std::uint32_t kWmCtlColorMsgBox = 0x0132;
constexpr std::uint32_t kWmCtlColorEdit = 0x0133;
constexpr std::uint32_t kWmCtlColorListBox = 0x0134;
constexpr std::uint32_t kWmCtlColorBtn = 0x0135;
constexpr std::uint32_t kWmCtlColorDlg = 0x0136;
constexpr std::uint32_t kWmCtlColorScrollBar = 0x0137;
constexpr std::uint32_t kWmCtlColorStatic = 0x0138;
constexpr std::uint32_t kWmMouseMove = 0x0200;
constexpr std::uint32_t kWmLButtonDown = 0x0201;
constexpr std::uint32_t kWmLButtonUp = 0x0202;
constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
constexpr std::uint32_t kWmRButtonDown = 0x0204;
constexpr std::uint32_t kWmRButtonUp = 0x0205;
constexpr std::uint32_t kWmUser = 0x0400;

// Notification codes carried in the high word of WM_COMMAND's wParam.
constexpr std::uint16_t kBnClicked = 0;
constexpr std::uint16_t kCbnSelChange = 1;
constexpr std::uint16_t kCbnEditChange = 5;

// Standard dialog command ids.
constexpr std::uint16_t kIdOk = 1;
constexpr std::uint16_t kIdCancel = 2;

// ShowWindow commands.
constexpr int kSwHide = 0;
constexpr int kSwShow = 5;

// System command and window-position flag.
constexpr std::uint32_t kScClose = 0xF060;
constexpr std::uint32_t kSwpShowWindow = 0x0040;

// WM_SETICON's wParam.
constexpr std::uintptr_t kIconSmall = 0;
constexpr std::uintptr_t kIconBig = 1;

}  // namespace kestrun::platform
