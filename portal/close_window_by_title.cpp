#include "portal/close_window_by_title.h"

#include "platform/format.h"
#include "platform/window_message.h"

namespace kestrun {
namespace {

// GetWindowTextA's buffer: at most 254 characters of a title take part in the search.
constexpr std::size_t kTitleBufferSize = 255;

}  // namespace

int CloseWindowByTitle(platform::Ui& ui, const std::string& text) {
    int number = 0;
    for (const platform::WindowRef window : ui.TopLevelWindows()) {
        ++number;
        const std::string title = ui.WindowText(window, kTitleBufferSize);
        // The search runs over the whole line, so a text such as "]Title=" would match
        // every window; callers pass a plain word.
        const std::string line = Format("[%d]Title=%s\n", number, title.c_str());
        if (line.find(text) != std::string::npos) {
            return ui.Post(window, platform::kWmClose, 0, 0) ? 1 : 0;
        }
    }
    return 0;
}

}  // namespace kestrun
