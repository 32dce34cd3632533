// The embedded web browser as the windows that host it see it: navigation, the address of
// the top-level document and three of its events. The win32 side hosts the system's web
// browser control; native tests stand in for it.
#pragma once

#include <memory>
#include <string>

#include "platform/types.h"

namespace kestrun::platform {

// What the window that hosts a browser receives from it. Dispatch ids of DWebBrowserEvents2.
constexpr int kDispDownloadComplete = 104;
constexpr int kDispDocumentComplete = 259;
constexpr int kDispWindowClosing = 263;

class BrowserEvents {
  public:
    virtual ~BrowserEvents() = default;
    // One of the three events above; url is the event's address argument for
    // DocumentComplete (empty for the others).
    virtual void OnBrowserEvent(int dispId, const std::string& url) = 0;
};

// The system's web browser control living in a child control of a dialog.
class Browser {
  public:
    virtual ~Browser() = default;
    // Navigate with every optional argument absent.
    virtual void Navigate(const std::string& url) = 0;
    // Navigate with Flags, TargetFrameName and PostData absent and Headers a string
    // variant holding headers (e.g. "Varnel:TRV-615 SSLVPN\r\n").
    virtual void NavigateWithHeaders(const std::string& url, const std::string& headers) = 0;
    // The LocationURL property (address of the top-level document); "" when unreadable.
    virtual std::string LocationURL() = 0;
};

// Whether the browser may show target as its top-level document, given the address of the
// one it shows (current) and the local page it was last sent to with Navigate (localPage).
using NavigationRule = bool (*)(const std::string& target, const std::string& current,
                                const std::string& localPage);

class BrowserFactory {
  public:
    virtual ~BrowserFactory() = default;
    // Hosts the control inside the child control controlId of the dialog window `dialog`,
    // filling it, and routes its events to events. nullptr when the control cannot be made.
    // The control shows no context menu, opens no other window, downloads nothing and
    // cancels every top-level navigation that rule refuses.
    virtual std::unique_ptr<Browser> Attach(WindowRef dialog, int controlId, BrowserEvents& events,
                                            NavigationRule rule) = 0;
};

}  // namespace kestrun::platform
