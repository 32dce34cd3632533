#include "app/program_directory.h"

namespace kestrun {

std::optional<std::string> ProgramDirectoryOf(const std::string& modulePath) {
    const std::size_t slash = modulePath.rfind('\\');
    if (slash == std::string::npos) {
        return std::nullopt;
    }
    return modulePath.substr(0, slash + 1);
}

}  // namespace kestrun
