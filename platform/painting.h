// GDI drawing that the main window's presentation needs.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/types.h"

namespace kestrun::platform {

// A device context as an integer.
using DcRef = std::uintptr_t;

// BeginPaint on creation, EndPaint on destruction.
class PaintSession {
  public:
    virtual ~PaintSession() = default;
    // Loads bitmap resourceId, selects it into a memory context compatible with the paint
    // context and copies it (SRCCOPY) to x, y with the given size; the memory context's
    // previous bitmap is put back and context and bitmap are released.
    virtual void DrawBitmap(int resourceId, int x, int y, int width, int height) = 0;
    // WM_ICONERASEBKGND with the paint context, sent to the window.
    virtual void EraseIconBackground() = 0;
    virtual void DrawIcon(int x, int y, GdiRef icon) = 0;
};

class Painting {
  public:
    virtual ~Painting() = default;
    virtual std::unique_ptr<PaintSession> BeginPaint(WindowRef window) = 0;
    virtual bool IsIconic(WindowRef window) = 0;
    virtual void ClientSize(WindowRef window, int& width, int& height) = 0;
    // SM_CXICON, SM_CYICON.
    virtual void IconMetrics(int& width, int& height) = 0;
    // The font's height as its description gives it (GetObjectA); nothing known: 0.
    virtual int FontHeight(GdiRef font) = 0;
    // A bold (weight 700) font made from font's description with the given height. It is
    // made once per font and height and kept as long as this object lives; 0 on failure.
    virtual GdiRef BoldFont(GdiRef font, int height) = 0;
    virtual void SelectFont(DcRef dc, GdiRef font) = 0;
    virtual void SetTransparentBackground(DcRef dc) = 0;
};

}  // namespace kestrun::platform
