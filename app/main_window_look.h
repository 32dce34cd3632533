// The decisions behind the main window's look: which controls get the warm background
// and the bold status font, and where the icon goes when the window is minimised.
#pragma once

#include <cstdint>

namespace kestrun {

// The kinds of control that ask for their colours (WM_CTLCOLOR* minus the first).
constexpr int kCtlColorMsgBox = 0;
constexpr int kCtlColorEdit = 1;
constexpr int kCtlColorListBox = 2;
constexpr int kCtlColorBtn = 3;
constexpr int kCtlColorDlg = 4;
constexpr int kCtlColorScrollBar = 5;
constexpr int kCtlColorStatic = 6;

// The warm light background behind static texts and buttons: RGB(247, 240, 222).
constexpr std::uint8_t kBackgroundRed = 247;
constexpr std::uint8_t kBackgroundGreen = 240;
constexpr std::uint8_t kBackgroundBlue = 222;

// Background picture of the main window and the size it is drawn with.
constexpr int kBackgroundWidth = 500;
constexpr int kBackgroundHeight = 438;

// The control kind of a WM_CTLCOLOR* message, or -1 for any other message.
int CtlColorKind(std::uint32_t message);

struct CtlColorChoice {
    bool boldFont = false;         // select the bold status font into the context
    bool transparent = false;      // background mode transparent
    bool backgroundBrush = false;  // answer with the warm brush (else the default brush)
};

// The status line (1004) is drawn bold when the dialog's font is known; static texts
// and buttons draw on the warm brush with a transparent text background.
CtlColorChoice ChooseCtlColor(int controlId, int kind, bool haveDialogFont);

// Cell height of the status line's bold font from the dialog font's height.
int BoldFontHeight(int dialogFontHeight);

struct IconPlace {
    int x;
    int y;
};

// The icon centred in the client area of a minimised window.
IconPlace CentredIcon(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

}  // namespace kestrun
