// The embedded browser of the tests: it records what it is asked and reports the address a
// test sets; the test raises the control's events itself.
#pragma once

#include <memory>
#include <string>

#include "platform/browser.h"
#include "tests/fakes/journal.h"

namespace kestrun::platform::fake {

class FakeBrowserFactory : public BrowserFactory {
  public:
    explicit FakeBrowserFactory(Journal& journal) : journal_(journal) {}
    std::unique_ptr<Browser> Attach(WindowRef dialog, int controlId, BrowserEvents& events,
                                    NavigationRule rule) override;

    // The address LocationURL reports.
    std::string location;
    bool failAttach = false;
    // The events target of the last browser made; nullptr before.
    BrowserEvents* events = nullptr;
    NavigationRule rule = nullptr;

  private:
    Journal& journal_;
};

}  // namespace kestrun::platform::fake
