// The portable message numbers must be the system's.
#include <windows.h>

#include "platform/window_message.h"

namespace kestrun::platform {

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

}  // namespace kestrun::platform
