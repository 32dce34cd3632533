// Values from Setting.tmp end up unquoted in batch files that run with administrator
// rights. A value that cmd.exe could read as more than plain words is refused, so the
// portal side cannot smuggle a second command into a script.
#pragma once

#include <string>

namespace kestrun {

// True when value holds none of & | < > ^ % " and no control byte (below 0x20, or 0x7F).
// Blanks are allowed: they only split arguments.
bool IsScriptSafe(const std::string& value);

// The trace line that names a refused value, e.g. "Refused unsafe value of Gateway\n".
std::string RefusedValueTrace(const std::string& name);

}  // namespace kestrun
