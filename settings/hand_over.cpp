#include "settings/hand_over.h"

#include "platform/format.h"
#include "platform/traced_write.h"
#include "platform/types.h"

namespace kestrun {
namespace {

constexpr std::uint32_t kErrorPathNotFound = 3;

void TraceCopyFailure(platform::Trace& trace, std::uint32_t error, const std::string& from,
                      const std::string& to) {
    if (error == platform::kNotPlainFile) {
        trace.Output(Format("****Copy %s skipped: %s is not a plain file of at most %u bytes\n",
                            to.c_str(), from.c_str(), kHandOverFileLimit));
    } else {
        trace.Output(Format("****Copy %s Error:%d\n", to.c_str(), static_cast<int>(error)));
    }
}

bool Missing(std::uint32_t error) {
    return error == platform::kErrorFileNotFound || error == kErrorPathNotFound;
}

// The bytes of the profile copy now; nothing when it cannot be read as a plain file.
std::optional<std::string> ReadProfileCopy(platform::Files& files, const std::string& path) {
    std::string bytes;
    if (files.ReadPlainFile(path, kHandOverFileLimit, bytes) != 0) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::optional<HandOver> ReadHandOver(platform::Files& files, platform::Trace& trace,
                                     const std::string& profileDir, const std::string& currentDir) {
    const std::string settingsFrom = Format("%s\\Setting.tmp", profileDir.c_str());
    const std::string settingsTo = Format("%s\\Setting.tmp", currentDir.c_str());
    const std::string keyFrom = Format("%s\\Key.txt", profileDir.c_str());
    const std::string keyTo = Format("%s\\Key.txt", currentDir.c_str());

    HandOver handOver;
    std::uint32_t error = files.ReadPlainFile(settingsFrom, kHandOverFileLimit, handOver.settings);
    if (error != 0) {
        // No profile copy: no login was handed over, which is no failure.
        if (!Missing(error)) {
            TraceCopyFailure(trace, error, settingsFrom, settingsTo);
        }
        return std::nullopt;
    }
    std::string key;
    error = files.ReadPlainFile(keyFrom, kHandOverFileLimit, key);
    if (error == 0) {
        handOver.key = std::move(key);
    } else if (!Missing(error)) {
        TraceCopyFailure(trace, error, keyFrom, keyTo);
        return std::nullopt;
    }
    if (ReadProfileCopy(files, settingsFrom) != handOver.settings) {
        trace.Output(Format("****Copy %s postponed: %s changed while it was read\n",
                            settingsTo.c_str(), settingsFrom.c_str()));
        return std::nullopt;
    }
    return handOver;
}

bool WriteHandOver(platform::Files& files, platform::Trace& trace, const HandOver& handOver,
                   const std::string& currentDir) {
    const std::string keyTo = Format("%s\\Key.txt", currentDir.c_str());
    const std::string settingsTo = Format("%s\\Setting.tmp", currentDir.c_str());
    const auto written = [&trace](std::uint32_t error, const std::string& to) {
        if (error != 0) {
            TraceCopyFailure(trace, error, to, to);
        }
        return error == 0;
    };
    return written(handOver.key ? files.WriteNew(keyTo, *handOver.key) : files.Remove(keyTo),
                   keyTo) &&
           written(files.WriteNew(settingsTo, handOver.settings), settingsTo);
}

}  // namespace kestrun
