// The parts of the Windows user interface that decisions call directly.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace kestrun::platform {

constexpr std::uint32_t kMbOk = 0x0;
constexpr std::uint32_t kMbIconHand = 0x10;
constexpr std::uint32_t kMbIconExclamation = 0x30;
constexpr std::uint32_t kMbIconInformation = 0x40;
constexpr std::uint32_t kMbTopmost = 0x40000;

class Ui {
  public:
    virtual ~Ui() = default;
    // FindWindowA(nullptr, title).
    virtual WindowRef FindWindowByTitle(const std::string& title) = 0;
    // PostMessageA; true when posted.
    virtual bool Post(WindowRef window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    // MessageBoxA; blocks until closed, returns the button pressed.
    virtual int MessageBox(WindowRef owner, const std::string& text, const std::string& caption,
                           std::uint32_t style) = 0;
    // Top-level windows in Z order, the first one first.
    virtual std::vector<WindowRef> TopLevelWindows() = 0;
    // GetWindowTextA with a buffer of bufferSize bytes.
    virtual std::string WindowText(WindowRef window, std::size_t bufferSize) = 0;
    // Lets processes of a lower integrity level (unelevated ones, when this one runs
    // elevated) send or post message to window: ChangeWindowMessageFilterEx for the window
    // (Windows 7 and later), or else ChangeWindowMessageFilter for the whole process (Vista),
    // both looked up by name. False when neither exists or the call fails.
    virtual bool AllowFromLowerIntegrity(WindowRef window, std::uint32_t message) = 0;
    // The hourglass while the user-interface thread is busy, or the arrow again.
    virtual void ShowWaitCursor(bool wait) = 0;
};

}  // namespace kestrun::platform
