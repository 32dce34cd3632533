#include "netprobe/adapter_icon.h"

#include "netprobe/os_type.h"
#include "platform/format.h"
#include "platform/text.h"

namespace kestrun {
namespace {

// The class entries are numbered 0000 to 0098.
constexpr int kClassEntries = 99;
constexpr std::uint32_t kCharacteristicsShown = 0x81;   // NCF_VIRTUAL | NCF_HAS_UI
constexpr std::uint32_t kCharacteristicsHidden = 0x89;  // ... | NCF_HIDDEN
constexpr std::size_t kInstanceIdBufferSize = 260;

// The two templates differ in the case of one letter of the class id; each is the
// system's own spelling and is used as it is.
std::string ClassEntryKey(int index) {
    return Format(
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\%04d",
        index);
}

std::string ConnectionKey(const std::string& guid) {
    return Format(
        "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\%s"
        "\\Connection",
        guid.c_str());
}

}  // namespace

int SetAdapterIcon(platform::Registry& registry, platform::Trace& trace, int osType,
                   const std::string& strGUID, int show) {
    trace.Output(Format("SetAdapterIcon:strGUID=%s\n", strGUID.c_str()));
    const bool visible = show == 1;

    for (int index = 0; index < kClassEntries; ++index) {
        const std::string path = ClassEntryKey(index);
        auto key = registry.Open(platform::RegRoot::LocalMachine, path, platform::kKeyAllAccess);
        if (!key) {
            trace.Output(Format("open RegKey:[%s] Failed!!!\n", path.c_str()));
            return 0;
        }
        const auto instanceId = key->QueryString("NetCfgInstanceId", kInstanceIdBufferSize);
        // No adapter found means an empty name, which must not pick an entry.
        if (instanceId && !strGUID.empty() && EqualsIgnoringCase(*instanceId, strGUID)) {
            trace.Output(Format("Index=%04d\n", index));
            if (!key->SetDword("Characteristics",
                               visible ? kCharacteristicsShown : kCharacteristicsHidden)) {
                return 0;
            }
        }
    }

    // The connection values exist from Windows NT 4 to Server 2003.
    if (!IsNt4ToServer2003(osType)) {
        return 0;
    }
    const std::string path = ConnectionKey(strGUID);
    auto key = strGUID.empty()
                   ? nullptr
                   : registry.Open(platform::RegRoot::LocalMachine, path, platform::kKeyAllAccess);
    if (!key) {
        trace.Output(Format("open RegKey:[%s] Failed!!!\n", path.c_str()));
        return 0;
    }
    const std::uint32_t value = visible ? 1 : 0;
    if (!key->SetDword("IpCheckingEnabled", value)) {
        trace.Output("Could not set the [IpCheckingEnabled] value.");
        return 0;
    }
    if (!key->SetDword("ShowIcon", value)) {
        trace.Output("Could not set the [ShowIcon] value.");
        return 0;
    }
    return 1;
}

}  // namespace kestrun
