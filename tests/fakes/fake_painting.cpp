#include "tests/fakes/fake_painting.h"

#include "platform/format.h"

namespace kestrun::platform::fake {
namespace {

class FakePaintSession : public PaintSession {
  public:
    FakePaintSession(FakePainting& owner, WindowRef window) : owner_(owner) {
        owner_.log.push_back(Format("BeginPaint 0x%x", static_cast<unsigned>(window)));
    }
    ~FakePaintSession() override { owner_.log.push_back("EndPaint"); }
    void DrawBitmap(int resourceId, int x, int y, int width, int height) override {
        owner_.log.push_back(Format("DrawBitmap %d %d %d %d %d", resourceId, x, y, width, height));
    }
    void EraseIconBackground() override { owner_.log.push_back("EraseIconBackground"); }
    void DrawIcon(int x, int y, GdiRef icon) override {
        owner_.log.push_back(Format("DrawIcon %d %d 0x%x", x, y, static_cast<unsigned>(icon)));
    }

  private:
    FakePainting& owner_;
};

}  // namespace

std::unique_ptr<PaintSession> FakePainting::BeginPaint(WindowRef window) {
    return std::make_unique<FakePaintSession>(*this, window);
}

void FakePainting::ClientSize(WindowRef, int& width, int& height) {
    width = clientWidth;
    height = clientHeight;
}

void FakePainting::IconMetrics(int& width, int& height) {
    width = iconWidth;
    height = iconHeight;
}

int FakePainting::FontHeight(GdiRef font) {
    auto it = fontHeights.find(font);
    return it == fontHeights.end() ? 0 : it->second;
}

GdiRef FakePainting::BoldFont(GdiRef font, int height) {
    auto& made = boldFonts[{font, height}];
    if (made == 0) {
        made = static_cast<GdiRef>(0xB000 + ++fontsCreated);
    }
    return made;
}

void FakePainting::SelectFont(DcRef dc, GdiRef font) {
    log.push_back(
        Format("SelectFont 0x%x 0x%x", static_cast<unsigned>(dc), static_cast<unsigned>(font)));
}

void FakePainting::SetTransparentBackground(DcRef dc) {
    log.push_back(Format("SetTransparent 0x%x", static_cast<unsigned>(dc)));
}

}  // namespace kestrun::platform::fake
