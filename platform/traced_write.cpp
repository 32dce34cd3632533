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

}  // namespace kestrun
