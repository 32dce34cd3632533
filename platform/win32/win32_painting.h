// GDI drawing for the main window's presentation.
#pragma once

#include <map>
#include <utility>

#include "platform/painting.h"

namespace kestrun::platform::win32 {

class Win32Painting : public Painting {
  public:
    Win32Painting();
    ~Win32Painting() override;
    Win32Painting(const Win32Painting&) = delete;
    Win32Painting& operator=(const Win32Painting&) = delete;

    std::unique_ptr<PaintSession> BeginPaint(WindowRef window) override;
    bool IsIconic(WindowRef window) override;
    void ClientSize(WindowRef window, int& width, int& height) override;
    void IconMetrics(int& width, int& height) override;
    int FontHeight(GdiRef font) override;
    GdiRef BoldFont(GdiRef font, int height) override;
    void SelectFont(DcRef dc, GdiRef font) override;
    void SetTransparentBackground(DcRef dc) override;

  private:
    struct Fonts;
    std::unique_ptr<Fonts> fonts_;
};

}  // namespace kestrun::platform::win32
