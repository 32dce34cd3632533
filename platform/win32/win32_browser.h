// The system's web browser control hosted without a framework: a small OLE container
// (client site, in-place site, frame, UI handler) around it inside a child control of a
// dialog, and a DWebBrowserEvents2 sink that hands three of its events on as plain calls and
// cancels new windows, downloads and the top-level navigations its rule refuses.
#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/browser.h"
#include "platform/win32/win32_framework.h"

namespace kestrun::platform::win32 {

class CWebBrowser2;

// Also the message loop's filter: keys typed into a page go to the control first, so that
// Tab and Enter work inside the page instead of moving through the dialog.
class Win32BrowserFactory : public BrowserFactory, public MessageFilter {
  public:
    // Sees every dispatch call that reaches the container: the site's ambient-property
    // requests ("ambient") and each event the control raises ("event"), by dispatch id.
    // For diagnostics only; the program itself passes none.
    using CallObserver = std::function<void(const char* kind, long dispId)>;

    Win32BrowserFactory() = default;
    explicit Win32BrowserFactory(CallObserver observer) : observer_(std::move(observer)) {}
    // Ends OLE on this thread when the first Attach started it; every browser is closed
    // by then.
    ~Win32BrowserFactory() override;
    Win32BrowserFactory(const Win32BrowserFactory&) = delete;
    Win32BrowserFactory& operator=(const Win32BrowserFactory&) = delete;

    // Starts OLE on the calling thread the first time. The control follows the child control's
    // size and enabled state, and is closed when the child control is destroyed.
    std::unique_ptr<Browser> Attach(WindowRef dialog, int controlId, BrowserEvents& events,
                                    NavigationRule rule) override;
    bool PreTranslate(MSG& message) override;

    // Kept by each open browser, for the key filter.
    void Register(CWebBrowser2* browser) { open_.push_back(browser); }
    void Unregister(CWebBrowser2* browser);

  private:
    CallObserver observer_;
    std::vector<CWebBrowser2*> open_;
    bool oleStarted_ = false;
};

}  // namespace kestrun::platform::win32
