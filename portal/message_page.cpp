#include "portal/message_page.h"

#include "platform/traced_write.h"

namespace kestrun {

std::string MessagePageText(const std::string& body) {
    return "<HTML><BODY menubar=no, scroll=no>" + body + "</BODY></HTML>";
}

int WriteMessagePage(platform::Files& files, platform::Trace& trace, const std::string& path,
                     const std::string& body) {
    return WriteFileTraced(files, trace, path, MessagePageText(body)) ? 1 : 0;
}

}  // namespace kestrun
