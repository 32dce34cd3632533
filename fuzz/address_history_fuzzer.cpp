// The login-address history under any order of fills, stores, logins and user picks, on a
// settings file that starts with any bytes: at most ten addresses come back from the file,
// and a store writes its addresses under consecutive keys from "URL0", in the box's order,
// and leaves no key after them holding an address.
//
// Input: the file's bytes (up to a backslash that is not doubled), then the operations.
#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "settings/address_history.h"
#include "settings/setting_file.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"
#include "tests/support/vector_box.h"

namespace kestrun::fuzz {
namespace {

constexpr const char* kPath = ".\\Setting.tmp";
constexpr const char* kSetSuffix = " IPSec|.\\Setting.tmp";
constexpr int kKeys = 10;
constexpr int kMostOperations = 16;

const char* const kAddresses[] = {"https://router/",
                                  "https://Router/",
                                  "https://10.0.0.1/",
                                  "abc",
                                  "",
                                  "https://a.example/login.asp"};
const char* const kGateways[] = {"router", "10.0.0.1", ""};

class HistoryCheck {
  public:
    explicit HistoryCheck(FuzzedDataProvider& in) : in_(in) {}

    void Run(const std::string& file) {
        {
            std::ofstream out(kPath, std::ios::binary);
            out << file;
        }
        for (int i = 0; i < kMostOperations && in_.remaining_bytes() > 0; ++i) {
            fake_.journal.Clear();
            switch (in_.ConsumeIntegralInRange(0, 4)) {
                case 0:
                    history_.FillFromFile(PickName(in_, kGateways));
                    Require(box_.Count() <= kKeys, "at most ten addresses are read back");
                    break;
                case 1: {
                    const std::vector<std::string> items = box_.items;
                    const std::string edit = box_.edit;
                    history_.StoreToFile();
                    CheckStore(items, edit);
                    break;
                }
                case 2:
                    history_.SaveURLHistory([](bool) {});
                    break;
                case 3:
                    box_.SetCurSel(in_.ConsumeIntegralInRange(-1, box_.Count()));
                    break;
                default:
                    Type();
                    break;
            }
        }
    }

  private:
    // What the user types into the box's edit field: one line, as a single-line edit control
    // takes no line end and no NUL. Typing may or may not leave the list's selection.
    void Type() {
        std::string text = PickName(in_, kAddresses);
        for (char& c : text) {
            if (c == '\r' || c == '\n' || c == '\0') {
                c = '_';
            }
        }
        box_.edit = text;
        if (in_.ConsumeBool()) {
            box_.selection = -1;
        }
    }

    static std::string Listed(const std::vector<std::string>& items) {
        std::string list;
        for (const std::string& item : items) {
            list += "<" + item + ">";
        }
        return list;
    }

    std::string ReadKey(int key) {
        return fake_.profile.GetString("IPSec", "URL" + std::to_string(key), "", 128, kPath);
    }

    // The "URL<n>" writes of the last operation, as (n, value).
    std::vector<std::pair<int, std::string>> Writes() const {
        std::vector<std::pair<int, std::string>> writes;
        for (const std::string& call : fake_.journal.Of("profile", "set")) {
            if (call.compare(0, 3, "URL") != 0) {
                continue;
            }
            const std::size_t eq = call.find('=');
            const std::size_t suffix = call.size() - std::string(kSetSuffix).size();
            Require(
                eq != std::string::npos && call.compare(suffix, std::string::npos, kSetSuffix) == 0,
                "an address is written to the settings file: " + call);
            writes.emplace_back(std::stoi(call.substr(3, eq - 3)),
                                call.substr(eq + 1, suffix - eq - 1));
        }
        return writes;
    }

    void CheckStore(const std::vector<std::string>& items, const std::string& edit) {
        const auto writes = Writes();
        // The addresses: keys 0, 1, 2, ... in this order. Only the chosen address, kept from a
        // longer list, may be empty.
        const bool chosenFirst = items.size() > kKeys;
        std::size_t stored = 0;
        while (stored < writes.size() && writes[stored].first == static_cast<int>(stored) &&
               (!writes[stored].second.empty() || (stored == 0 && chosenFirst))) {
            ++stored;
        }
        Require(stored <= kKeys, "at most ten addresses are stored");
        // Each one an entry of the box, in the box's order; of a longer list the first may be
        // the chosen address instead.
        std::size_t item = 0;
        for (std::size_t i = 0; i < stored; ++i) {
            if (i == 0 && chosenFirst && writes[0].second == edit) {
                continue;
            }
            while (item < items.size() && items[item] != writes[i].second) {
                ++item;
            }
            Require(item < items.size(), "a store writes the box's entries in order: URL" +
                                             std::to_string(i) + "=" + writes[i].second + " of " +
                                             Listed(items));
            ++item;
        }
        // Then only keys emptied, and none after the addresses keeps one.
        for (std::size_t i = stored; i < writes.size(); ++i) {
            Require(writes[i].second.empty() && writes[i].first >= static_cast<int>(stored),
                    "after the addresses a store only empties keys");
        }
        for (int key = static_cast<int>(stored); key < kKeys; ++key) {
            Require(ReadKey(key).empty(),
                    "no key after the stored addresses keeps one: URL" + std::to_string(key));
        }
    }

    FuzzedDataProvider& in_;
    platform::fake::FakePlatform fake_;
    test::VectorBox box_;
    int selIndex_ = 0;
    SettingFile file_{fake_.profile, kWorkingCopyPath};
    LoginHistory history_{file_, fake_.trace, box_, selIndex_};
};

}  // namespace
}  // namespace kestrun::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kestrun::test::ScopedWorkDir dir;
    FuzzedDataProvider in(data, size);
    const std::string file = in.ConsumeRandomLengthString(4096);
    kestrun::fuzz::HistoryCheck(in).Run(file);
    return 0;
}
