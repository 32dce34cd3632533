// The directory of the program file, which start-up makes the current directory.
#pragma once

#include <optional>
#include <string>

namespace kestrun {

// The module path up to and including its last backslash; nothing when the path has none.
std::optional<std::string> ProgramDirectoryOf(const std::string& modulePath);

}  // namespace kestrun
