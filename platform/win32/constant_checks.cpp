// Every number the portable code hands to Windows must be the system's own: each portable
// constant is checked here against the system headers.
#include "platform/win32/windows_include.h"

#include <ipexport.h>
#include <shellapi.h>

#include "platform/dialog_host.h"
#include "platform/echo.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/types.h"
#include "platform/ui.h"
#include "platform/window_message.h"

namespace kestrun::platform {

// Window messages, notifications, commands and flags.
static_assert(kWmDestroy == WM_DESTROY && kWmPaint == WM_PAINT && kWmClose == WM_CLOSE);
static_assert(kWmGetFont == WM_GETFONT && kWmQueryDragIcon == WM_QUERYDRAGICON);
static_assert(kWmWindowPosChanging == WM_WINDOWPOSCHANGING && kWmSetIcon == WM_SETICON);
static_assert(kWmInitDialog == WM_INITDIALOG && kWmCommand == WM_COMMAND);
static_assert(kWmSysCommand == WM_SYSCOMMAND && kWmTimer == WM_TIMER);
static_assert(kWmCtlColorMsgBox == WM_CTLCOLORMSGBOX && kWmCtlColorEdit == WM_CTLCOLOREDIT);
static_assert(kWmCtlColorListBox == WM_CTLCOLORLISTBOX && kWmCtlColorBtn == WM_CTLCOLORBTN);
static_assert(kWmCtlColorDlg == WM_CTLCOLORDLG && kWmCtlColorScrollBar == WM_CTLCOLORSCROLLBAR);
static_assert(kWmCtlColorStatic == WM_CTLCOLORSTATIC);
static_assert(kWmMouseMove == WM_MOUSEMOVE && kWmLButtonDown == WM_LBUTTONDOWN);
static_assert(kWmLButtonUp == WM_LBUTTONUP && kWmLButtonDblClk == WM_LBUTTONDBLCLK);
static_assert(kWmRButtonDown == WM_RBUTTONDOWN && kWmRButtonUp == WM_RBUTTONUP);
static_assert(kWmUser == WM_USER);
static_assert(kBnClicked == BN_CLICKED && kCbnSelChange == CBN_SELCHANGE);
static_assert(kCbnEditChange == CBN_EDITCHANGE && kIdOk == IDOK && kIdCancel == IDCANCEL);
static_assert(kSwHide == SW_HIDE && kSwShow == SW_SHOW && kScClose == SC_CLOSE);
static_assert(kSwpShowWindow == SWP_SHOWWINDOW);
static_assert(kIconSmall == ICON_SMALL && kIconBig == ICON_BIG);
static_assert(kComboError == CB_ERR);

// Message boxes.
static_assert(kMbOk == MB_OK && kMbIconHand == MB_ICONHAND);
static_assert(kMbIconExclamation == MB_ICONEXCLAMATION && kMbIconInformation == MB_ICONINFORMATION);
static_assert(kMbTopmost == MB_TOPMOST);

// The notification area: the record's version-2 size and the flags and actions.
static_assert(kNotifyIconRecordSize == NOTIFYICONDATAA_V2_SIZE);
static_assert(kNifMessage == NIF_MESSAGE && kNifIcon == NIF_ICON && kNifTip == NIF_TIP);
static_assert(kNimAdd == NIM_ADD && kNimModify == NIM_MODIFY && kNimDelete == NIM_DELETE);

// Services: states, start types.
static_assert(kServiceStopped == SERVICE_STOPPED && kServiceRunning == SERVICE_RUNNING);
static_assert(kServiceStartPending == SERVICE_START_PENDING &&
              kServiceStopPending == SERVICE_STOP_PENDING);
static_assert(kServiceAutoStart == SERVICE_AUTO_START && kServiceDisabled == SERVICE_DISABLED);

// Error codes the decisions compare against.
static_assert(kErrorSuccess == ERROR_SUCCESS && kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kErrorNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY);
static_assert(kErrorBufferOverflow == ERROR_BUFFER_OVERFLOW);
static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER);

// Access masks.
static_assert(kKeyAllAccess == KEY_ALL_ACCESS);

// Version facts.
static_assert(kPlatformWin32s == VER_PLATFORM_WIN32s);
static_assert(kPlatformWindows == VER_PLATFORM_WIN32_WINDOWS);
static_assert(kPlatformNt == VER_PLATFORM_WIN32_NT);
static_assert(kProductWorkstation == VER_NT_WORKSTATION);
static_assert(kArchitectureAmd64 == PROCESSOR_ARCHITECTURE_AMD64);

// The echo's reply status.
static_assert(kIpSuccess == IP_SUCCESS);

}  // namespace kestrun::platform
