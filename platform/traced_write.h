// Writing one of the client's own files (scripts, the message page): a failure is only
// reported in the trace, and the caller goes on.
#pragma once

#include <string>

#include "platform/platform.h"

namespace kestrun {

// Files::WriteNew; on failure traces "Can't open file <path>, error = <code>\n" and
// returns false.
bool WriteFileTraced(platform::Files& files, platform::Trace& trace, const std::string& path,
                     const std::string& bytes);

// The largest hand-over file (Setting.tmp, Key.txt) taken from the user's profile directory;
// both are a few hundred bytes.
constexpr std::uint32_t kHandOverFileLimit = 65536;

// Files::CopyPlainFile with that limit; a failure is traced ("****Copy <to> Error:<code>\n",
// or a line naming a file that is not a plain one) and false returned.
bool CopyPlainFileTraced(platform::Files& files, platform::Trace& trace, const std::string& from,
                         const std::string& to);

// Whether a write by name may go to path, which the user can replace: a missing file (it is
// then created) or a plain one as CopyPlainFile takes it. A refusal is traced.
bool PlainFileForWrite(platform::Files& files, platform::Trace& trace, const std::string& path);

}  // namespace kestrun
