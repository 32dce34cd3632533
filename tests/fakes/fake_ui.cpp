// Recorded windows, posts and message boxes, and the recorded runner.
#include "tests/fakes/fake_platform.h"

#include <utility>

#include "platform/format.h"
#include "platform/text.h"

namespace kestrun::platform::fake {

WindowRef FakeUi::FindWindowByTitle(const std::string& title) {
    journal_.Add("ui", "find window " + title);
    // FindWindowA compares window names without regard to case.
    for (const Window& window : windows) {
        if (ToLowerAscii(window.title) == ToLowerAscii(title)) {
            return window.ref;
        }
    }
    return 0;
}

bool FakeUi::Post(WindowRef window, std::uint32_t message, std::uintptr_t wParam,
                  std::intptr_t lParam) {
    journal_.Add("ui", Format("post 0x%x to 0x%x", message, static_cast<unsigned>(window)));
    posted.push_back(Posted{window, message, wParam, lParam});
    return window != 0;
}

int FakeUi::MessageBox(WindowRef owner, const std::string& text, const std::string& caption,
                       std::uint32_t style) {
    journal_.Add("ui", Format("message box %s|%s|0x%x", text.c_str(), caption.c_str(), style));
    boxes.push_back(Box{owner, text, caption, style});
    if (onMessageBox) {
        onMessageBox(boxes.back());
    }
    return 1;  // IDOK
}

bool FakeUi::AllowFromLowerIntegrity(WindowRef window, std::uint32_t message) {
    journal_.Add("ui", Format("allow 0x%x to 0x%x from lower integrity", message,
                              static_cast<unsigned>(window)));
    return messageFilterWorks;
}

std::vector<WindowRef> FakeUi::TopLevelWindows() {
    journal_.Add("ui", "top-level windows");
    std::vector<WindowRef> refs;
    for (const Window& window : windows) {
        refs.push_back(window.ref);
    }
    return refs;
}

std::string FakeUi::WindowText(WindowRef window, std::size_t bufferSize) {
    journal_.Add("ui", Format("window text 0x%x", static_cast<unsigned>(window)));
    for (const Window& candidate : windows) {
        if (candidate.ref == window) {
            return bufferSize == 0 ? std::string() : candidate.title.substr(0, bufferSize - 1);
        }
    }
    return std::string();
}

std::uint32_t FakeRunner::RunAndWait(const std::string& commandLine,
                                     std::uint32_t timeoutMilliseconds) {
    journal_.Add("runner", "wait " + commandLine);
    lastTimeout = timeoutMilliseconds;
    auto error = startErrors.find(commandLine);
    if (error != startErrors.end() && error->second != 0) {
        return error->second;
    }
    if (onRun) {
        onRun(commandLine);
    }
    return 0;
}

std::uint32_t FakeRunner::StartHidden(const std::string& commandLine) {
    journal_.Add("runner", "detach " + commandLine);
    return winExecResult;
}

std::unique_ptr<StartedProgram> FakeRunner::StartWatched(const std::string& commandLine,
                                                         std::uint32_t& error) {
    journal_.Add("runner", "start " + commandLine);
    auto failure = startErrors.find(commandLine);
    error = failure == startErrors.end() ? 0 : failure->second;
    if (error != 0) {
        return nullptr;
    }
    programs.push_back(std::make_shared<Program>(Program{commandLine, programsKeepRunning}));
    struct Started : StartedProgram {
        explicit Started(std::shared_ptr<Program> p) : program(std::move(p)) {}
        bool Running() override { return program->running; }
        std::shared_ptr<Program> program;
    };
    return std::make_unique<Started>(programs.back());
}

}  // namespace kestrun::platform::fake
