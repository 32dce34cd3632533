// Writing one of the client's own files (scripts, the message page): a failure is only
// reported in the trace, and the caller goes on.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kestrun {

// Files::WriteNew; on failure traces "Can't open file <path>, error = <code>\n" and
// returns false.
bool WriteFileTraced(platform::Platform& platform, const std::string& path,
                     const std::string& bytes);

}  // namespace kestrun
