#include "tests/fakes/fake_painting.h"

#include "platform/format.h"

namespace kestrun::platform::fake {
namespace {

class FakePaintSession : public PaintSession {
  public:
    FakePaintSession(Journal& journal, WindowRef window) : journal_(journal) {
        Record(Format("BeginPaint 0x%x", static_cast<unsigned>(window)));
    }
    ~FakePaintSession() override { Record("EndPaint"); }
    void DrawBitmap(int resourceId, int x, int y, int width, int height) override {
        Record(Format("DrawBitmap %d %d %d %d %d", resourceId, x, y, width, height));
    }
    void EraseIconBackground() override { Record("EraseIconBackground"); }
    void DrawIcon(int x, int y, GdiRef icon) override {
        Record(Format("DrawIcon %d %d 0x%x", x, y, static_cast<unsigned>(icon)));
    }

  private:
    void Record(const std::string& call) { journal_.Add("painting", call); }
    Journal& journal_;
};

}  // namespace

std::unique_ptr<PaintSession> FakePainting::BeginPaint(WindowRef window) {
    return std::make_unique<FakePaintSession>(journal_, window);
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
    journal_.Add("painting", Format("SelectFont 0x%x 0x%x", static_cast<unsigned>(dc),
                                    static_cast<unsigned>(font)));
}

void FakePainting::SetTransparentBackground(DcRef dc) {
    journal_.Add("painting", Format("SetTransparent 0x%x", static_cast<unsigned>(dc)));
}

}  // namespace kestrun::platform::fake
