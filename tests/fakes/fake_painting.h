// Records the drawing calls of the main window, in order.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/painting.h"
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

class FakePainting : public Painting {
  public:
    explicit FakePainting(Journal& journal) : journal_(journal) {}
    std::unique_ptr<PaintSession> BeginPaint(WindowRef window) override;
    bool IsIconic(WindowRef) override { return iconic; }
    void ClientSize(WindowRef window, int& width, int& height) override;
    void IconMetrics(int& width, int& height) override;
    int FontHeight(GdiRef font) override;
    GdiRef BoldFont(GdiRef font, int height) override;
    void SelectFont(DcRef dc, GdiRef font) override;
    void SetTransparentBackground(DcRef dc) override;

    bool iconic = false;
    int clientWidth = 500;
    int clientHeight = 438;
    int iconWidth = 32;
    int iconHeight = 32;
    DcRef paintDc = 0x5000;
    std::map<GdiRef, int> fontHeights;  // lfHeight per font
    // Bold fonts made, by (base, height); each made once.
    std::map<std::pair<GdiRef, int>, GdiRef> boldFonts;
    int fontsCreated = 0;

  private:
    Journal& journal_;
};

}  // namespace kestrun::platform::fake
