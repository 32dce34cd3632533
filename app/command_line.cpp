#include "app/command_line.h"

namespace kestrun {

bool IsRemoveRequest(const std::string& commandLine) {
    return commandLine.size() == 2 && commandLine[0] == '-' &&
           (commandLine[1] == 'r' || commandLine[1] == 'R');
}

bool IsPortalAddress(const std::string& commandLine) {
    return commandLine.compare(0, 5, "https") == 0;
}

}  // namespace kestrun
