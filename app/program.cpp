#include "app/program.h"

#include "app/main_dialog.h"
#include "app/startup.h"

namespace kestrun {

int RunProgram(platform::Platform& platform, platform::Desktop& desktop,
               const std::string& commandLine) {
    CKestrunApp app(platform, desktop, commandLine);
    if (!app.InitInstance()) {
        return 0;
    }
    return desktop.framework.RunMessageLoop(app.MainWindow()->Host().Handle());
}

}  // namespace kestrun
