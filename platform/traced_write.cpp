#include "platform/traced_write.h"

#include "platform/format.h"

namespace kestrun {

bool WriteFileTraced(platform::Files& files, platform::Trace& trace, const std::string& path,
                     const std::string& bytes) {
    const std::uint32_t error = files.WriteNew(path, bytes);
    if (error != 0) {
        trace.Output(Format("Can't open file %s, error = %u\n", path.c_str(), error));
        return false;
    }
    return true;
}

bool CopyPlainFileTraced(platform::Files& files, platform::Trace& trace, const std::string& from,
                         const std::string& to) {
    const std::uint32_t error = files.CopyPlainFile(from, to, kHandOverFileLimit);
    if (error == platform::kNotPlainFile) {
        trace.Output(
            Format("****Copy %s skipped: %s is not a plain file of at most %u "
                   "bytes\n",
                   to.c_str(), from.c_str(), kHandOverFileLimit));
    } else if (error != 0) {
        trace.Output(Format("****Copy %s Error:%d\n", to.c_str(), static_cast<int>(error)));
    }
    return error == 0;
}

bool PlainFileForWrite(platform::Files& files, platform::Trace& trace, const std::string& path) {
    const std::uint32_t error = files.CheckPlainFile(path, kHandOverFileLimit);
    if (error == 0 || error == platform::kErrorFileNotFound) {
        return true;
    }
    trace.Output(Format("Flags not written: %s is not a plain file (%u)\n", path.c_str(), error));
    return false;
}

}  // namespace kestrun
