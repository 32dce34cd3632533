#include "platform/win32/win32_painting.h"

#include "platform/win32/windows_include.h"

#include "platform/win32/gdi_handles.h"
#include "platform/win32/handle_refs.h"

namespace kestrun::platform::win32 {
namespace {

class Win32PaintSession : public PaintSession {
  public:
    explicit Win32PaintSession(HWND window) : window_(window) {
        dc_ = ::BeginPaint(window_, &paint_);
    }
    ~Win32PaintSession() override { ::EndPaint(window_, &paint_); }
    Win32PaintSession(const Win32PaintSession&) = delete;
    Win32PaintSession& operator=(const Win32PaintSession&) = delete;

    void DrawBitmap(int resourceId, int x, int y, int width, int height) override {
        UniqueGdiObject<HBITMAP> bitmap(
            LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
        if (!bitmap || dc_ == nullptr) {
            return;
        }
        UniqueMemoryDc memory(dc_);
        if (memory.Get() == nullptr) {
            return;
        }
        // The selection ends (previous bitmap back) before the context and the bitmap go.
        ScopedSelection selected(memory.Get(), bitmap.Get());
        BitBlt(dc_, x, y, width, height, memory.Get(), 0, 0, SRCCOPY);
    }

    void EraseIconBackground() override {
        SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc_), 0);
    }

    void DrawIcon(int x, int y, GdiRef icon) override {
        ::DrawIcon(dc_, x, y, reinterpret_cast<HICON>(icon));
    }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

}  // namespace

// Bold fonts by (base font, height); each lives as long as the painting object, so it
// stays valid while a control's context has it selected.
struct Win32Painting::Fonts {
    std::map<std::pair<GdiRef, int>, UniqueGdiObject<HFONT>> bold;
};

Win32Painting::Win32Painting() : fonts_(std::make_unique<Fonts>()) {}

Win32Painting::~Win32Painting() = default;

std::unique_ptr<PaintSession> Win32Painting::BeginPaint(WindowRef window) {
    return std::make_unique<Win32PaintSession>(AsWindow(window));
}

bool Win32Painting::IsIconic(WindowRef window) {
    return ::IsIconic(AsWindow(window)) != FALSE;
}

void Win32Painting::ClientSize(WindowRef window, int& width, int& height) {
    RECT rect{};
    GetClientRect(AsWindow(window), &rect);
    width = rect.right - rect.left;
    height = rect.bottom - rect.top;
}

void Win32Painting::IconMetrics(int& width, int& height) {
    width = GetSystemMetrics(SM_CXICON);
    height = GetSystemMetrics(SM_CYICON);
}

int Win32Painting::FontHeight(GdiRef font) {
    LOGFONTA description{};
    if (font == 0 ||
        GetObjectA(reinterpret_cast<HFONT>(font), sizeof(description), &description) == 0) {
        return 0;
    }
    return description.lfHeight;
}

GdiRef Win32Painting::BoldFont(GdiRef font, int height) {
    const auto key = std::make_pair(font, height);
    auto it = fonts_->bold.find(key);
    if (it != fonts_->bold.end()) {
        return reinterpret_cast<GdiRef>(it->second.Get());
    }
    LOGFONTA description{};
    if (font == 0 ||
        GetObjectA(reinterpret_cast<HFONT>(font), sizeof(description), &description) == 0) {
        return 0;
    }
    description.lfWeight = FW_BOLD;
    description.lfHeight = height;
    UniqueGdiObject<HFONT> bold(CreateFontIndirectA(&description));
    if (!bold) {
        return 0;
    }
    const GdiRef made = reinterpret_cast<GdiRef>(bold.Get());
    fonts_->bold.emplace(key, std::move(bold));
    return made;
}

void Win32Painting::SelectFont(DcRef dc, GdiRef font) {
    SelectObject(AsDc(dc), reinterpret_cast<HGDIOBJ>(font));
}

void Win32Painting::SetTransparentBackground(DcRef dc) {
    SetBkMode(AsDc(dc), TRANSPARENT);
}

}  // namespace kestrun::platform::win32
