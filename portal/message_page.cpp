#include "portal/message_page.h"

#include "platform/format.h"

namespace kestrun {

std::string MessagePageText(const std::string& body) {
    return "<HTML><BODY menubar=no, scroll=no>" + body + "</BODY></HTML>";
}

int WriteMessagePage(platform::Platform& platform, const std::string& path,
                     const std::string& body) {
    const std::uint32_t error = platform.files.WriteNew(path, MessagePageText(body));
    if (error != 0) {
        platform.trace.Output(Format("Can't open file %s, error = %u\n", path.c_str(), error));
        return 0;
    }
    return 1;
}

}  // namespace kestrun
