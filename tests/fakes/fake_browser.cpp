#include "tests/fakes/fake_browser.h"

namespace kestrun::platform::fake {
namespace {

class FakeBrowser : public Browser {
  public:
    FakeBrowser(Journal& journal, const std::string& location)
        : journal_(journal), location_(location) {}
    void Navigate(const std::string& url) override { journal_.Add("browser", "navigate " + url); }
    void NavigateWithHeaders(const std::string& url, const std::string& headers) override {
        journal_.Add("browser", "navigate " + url + " headers=" + headers);
    }
    std::string LocationURL() override { return location_; }

  private:
    Journal& journal_;
    const std::string& location_;
};

}  // namespace

std::unique_ptr<Browser> FakeBrowserFactory::Attach(WindowRef /*dialog*/, int controlId,
                                                    BrowserEvents& target,
                                                    NavigationRule navigationRule) {
    rule = navigationRule;
    journal_.Add("browser", "attach " + std::to_string(controlId));
    if (failAttach) {
        return nullptr;
    }
    events = &target;
    return std::make_unique<FakeBrowser>(journal_, location);
}

}  // namespace kestrun::platform::fake
