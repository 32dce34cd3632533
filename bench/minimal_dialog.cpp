// The smallest dialog program of this toolchain: a modeless dialog from a template in memory
// with one text and an OK button, and a message loop, built and linked like Kestrun.exe. The
// footprint benchmark runs it in the same Wine prefix as the yardstick for Kestrun.exe's
// working set. OK or WM_CLOSE ends it.
#include <initializer_list>
#include <vector>

#include "platform/win32/windows_include.h"

namespace {

constexpr const char* kTitle = "Minimal dialog";
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kButtonClass = 0x0080;

// A dialog template as the resource compiler lays it out: WORDs, each item on a DWORD
// boundary, texts as UTF-16 (ASCII here).
class TemplateBuilder {
  public:
    void Dialog(DWORD style, short cx, short cy, const char* title, WORD items) {
        Dword(style);
        Dword(0);  // extended style
        words_.push_back(items);
        Shorts({0, 0, cx, cy});
        words_.push_back(0);  // no menu
        words_.push_back(0);  // the standard dialog class
        Text(title);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD windowClass,
              const char* text) {
        if (words_.size() % 2 != 0) {
            words_.push_back(0);
        }
        Dword(style);
        Dword(0);
        Shorts({x, y, cx, cy});
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(windowClass);
        Text(text);
        words_.push_back(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void Dword(DWORD value) {
        words_.push_back(LOWORD(value));
        words_.push_back(HIWORD(value));
    }
    void Shorts(std::initializer_list<short> values) {
        for (short value : values) {
            words_.push_back(static_cast<WORD>(value));
        }
    }
    void Text(const char* text) {
        for (const char* c = text; *c != '\0'; ++c) {
            words_.push_back(static_cast<WORD>(static_cast<unsigned char>(*c)));
        }
        words_.push_back(0);
    }
    std::vector<WORD> words_;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                DestroyWindow(dialog);
            }
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(dialog);
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    TemplateBuilder builder;
    builder.Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME, 160, 60, kTitle,
                   2);
    builder.Item(WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 140, 10, 0xFFFF, kStaticClass,
                 "A dialog and nothing else.");
    builder.Item(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 55, 36, 50, 14, IDOK,
                 kButtonClass, "OK");
    HWND dialog = CreateDialogIndirectParamA(instance, builder.Get(), nullptr, DialogProc, 0);
    if (dialog == nullptr) {
        return 1;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
