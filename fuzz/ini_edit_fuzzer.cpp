// The flags set on the bytes of a profile copy of any content: read back through the profile
// functions they hold what was set, and every value under another name reads as before.
#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "settings/setting_file.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"

namespace kestrun::fuzz {
namespace {

constexpr const char* kPath = ".\\Setting.tmp";
constexpr const char* kMissing = "\x01missing";
constexpr std::size_t kWholeValue = 1 << 16;

const char* const kSections[] = {"IPSec", "Other", ""};
const char* const kKeys[] = {"Gateway", "VPN Mode", "CallByIE", "RemoveIPsec", "URL0"};

void Put(const std::string& bytes) {
    std::ofstream out(kPath, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool IsSetHere(const std::string& section, const std::string& key) {
    return section == "IPSec" && (key == "VPN Mode" || key == "CallByIE" || key == "RemoveIPsec");
}

}  // namespace
}  // namespace kestrun::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kestrun::fuzz;
    const kestrun::test::ScopedWorkDir dir;
    const std::string file(reinterpret_cast<const char*>(data), size);
    kestrun::platform::fake::Journal journal;
    kestrun::platform::fake::FakeProfile profile{journal};
    const auto read = [&profile](const char* section, const char* key) {
        return profile.GetString(section, key, kMissing, kWholeValue, kPath);
    };

    Put(file);
    std::vector<std::pair<std::pair<const char*, const char*>, std::string>> before;
    for (const char* section : kSections) {
        for (const char* key : kKeys) {
            before.push_back({{section, key}, read(section, key)});
        }
    }
    Put(kestrun::WithHandOverTaken(kestrun::WithMode(file, 2)));
    Require(read("IPSec", "VPN Mode") == "2", "the mode reads back");
    Require(read("IPSec", "CallByIE") == "FALSE" && read("IPSec", "RemoveIPsec") == "FALSE",
            "the hand-over's flags read back as taken");
    for (const auto& [name, old] : before) {
        if (!IsSetHere(name.first, name.second) && read(name.first, name.second) != old) {
            Broken(std::string("the flags keep [") + name.first + "] " + name.second + "=" + old);
        }
    }
    return 0;
}
