// The login-address history on a real settings file: fill, store and the merge of a login.
#include "settings/address_history.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/setting_file.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"
#include "tests/support/vector_box.h"

namespace kestrun {
namespace {

class AddressHistoryTest : public ::testing::Test {
  protected:
    void Store(const std::vector<std::string>& keys) {
        for (std::size_t i = 0; i < keys.size(); ++i) {
            fake.profile.WriteString("IPSec", "URL" + std::to_string(i), keys[i], kPath);
        }
    }
    std::vector<std::string> Keys() {
        std::vector<std::string> keys;
        for (int i = 0; i <= 10; ++i) {
            keys.push_back(
                fake.profile.GetString("IPSec", "URL" + std::to_string(i), "-", 300, kPath));
        }
        return keys;
    }
    static constexpr const char* kPath = ".\\Setting.tmp";
    test::ScopedWorkDir dir;
    platform::fake::FakePlatform fake;
    test::VectorBox box;
    int selIndex = 0;
    SettingFile file{fake.profile, kPath};
    LoginHistory history{file, fake.trace, box, selIndex};
    const std::function<void(bool)> noExchange = [](bool) {};
};

TEST_F(AddressHistoryTest, FillListsStoredAddressesAndSelectsTheLastNamingTheGateway) {
    Store({"https://a.example/", "", "https://gw.example/1", "https://gw.example/2"});
    history.FillFromFile("gw.example");
    EXPECT_EQ(box.items, (std::vector<std::string>{"https://a.example/", "https://gw.example/1",
                                                   "https://gw.example/2"}));
    EXPECT_EQ(selIndex, 3);  // the key number, which the gap shifts off the box's position
    EXPECT_EQ(box.selection, -1);

    selIndex = 0;
    history.FillFromFile("");  // an empty gateway names every key
    EXPECT_EQ(selIndex, 9);
}

TEST_F(AddressHistoryTest, FillLeavesOutAddressesOfOtherSchemes) {
    Store({"javascript:void(0)//1.2.3.4", "https://a.example/", "mk:@MSITStore:x//1.2.3.4",
           "https://1.2.3.4/"});
    history.FillFromFile("1.2.3.4");
    EXPECT_EQ(box.items, (std::vector<std::string>{"https://a.example/", "https://1.2.3.4/"}));
    EXPECT_EQ(box.selection, 1);
}

// Short entries take no key; keys left over from a longer history are emptied so the next
// fill lists nothing twice.
TEST_F(AddressHistoryTest, StoreWritesConsecutiveKeysAndLeavesNoStaleOne) {
    Store({"https://one/", "short", "https://two/", "https://old3/"});
    box.items = {"https://one/", "short", "https://two/"};
    history.StoreToFile();
    const std::vector<std::string> keys = Keys();
    EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 4),
              (std::vector<std::string>{"https://one/", "https://two/", "", ""}));
    EXPECT_EQ(keys[4], "-");  // keys that held nothing are not added
    history.FillFromFile("nothing");
    EXPECT_EQ(box.items, (std::vector<std::string>{"https://one/", "https://two/"}));
}

TEST_F(AddressHistoryTest, StoreKeepsTheNewestTenAndTheChosenOne) {
    for (int i = 0; i < 12; ++i) {
        box.items.push_back("https://host" + std::to_string(i) + "/");
    }
    box.selection = 5;
    history.StoreToFile();
    EXPECT_EQ(Keys()[0], "https://host2/");
    EXPECT_EQ(Keys()[9], "https://host11/");
    box.selection = 0;
    box.edit = "https://chosen/";
    history.StoreToFile();
    EXPECT_EQ(Keys()[0], "https://chosen/");
    EXPECT_EQ(Keys()[1], "https://host3/");
    EXPECT_EQ(Keys()[9], "https://host11/");
}

TEST_F(AddressHistoryTest, LoginMergesItsAddress) {
    const struct {
        const char* name;
        std::vector<std::string> stored;
        std::string input;
        std::vector<std::string> keysAfter;  // URL0 onwards, as far as they matter
        int selIndexAfter;
    } cases[] = {
        {"new into empty", {}, "https://router/", {"https://router/", "-"}, 1},
        {"stored in other case",
         {"https://Router/"},
         "HTTPS://ROUTER/",
         {"https://Router/", "-"},
         0},
        {"three letters match the first",
         {"https://a/", "https://b/"},
         "abc",
         {"https://a/", "https://b/", "-"},
         0},
        {"appended", {"https://a/"}, "https://b/", {"https://a/", "https://b/", "-"}, 1},
    };
    for (const auto& c : cases) {
        std::remove(kPath);
        Store(c.stored);
        selIndex = 0;
        history.FillFromFile("none");
        box.edit = c.input;
        history.SaveURLHistory(noExchange);
        std::vector<std::string> keys = Keys();
        keys.resize(c.keysAfter.size());
        EXPECT_EQ(keys, c.keysAfter) << c.name;
        EXPECT_EQ(selIndex, c.selIndexAfter) << c.name;
    }
}

// An address longer than an earlier version kept is stored once, whole, and completes the
// cut copy such a version left.
TEST_F(AddressHistoryTest, LongAddressIsKeptWholeUnderOneKey) {
    const std::string address = "https://router/" + std::string(200, 'x');
    Store({address.substr(0, 127)});
    for (int login = 0; login < 3; ++login) {
        history.FillFromFile("none");
        box.edit = address;
        history.SaveURLHistory(noExchange);
        history.FillFromFile("none");
        history.StoreToFile();
    }
    EXPECT_EQ(Keys()[0], address);
    EXPECT_EQ(Keys()[1], "-");
}

// Ten stored addresses: a new one is kept as the newest of ten, not under a key nobody reads.
TEST_F(AddressHistoryTest, NewAddressOnAFullHistoryDropsTheOldest) {
    std::vector<std::string> stored;
    for (int i = 0; i < 10; ++i) {
        stored.push_back("https://host" + std::to_string(i) + "/");
    }
    Store(stored);
    history.FillFromFile("none");
    box.edit = "https://new/";
    history.SaveURLHistory(noExchange);
    const std::vector<std::string> keys = Keys();
    EXPECT_EQ(keys[0], "https://host1/");
    EXPECT_EQ(keys[9], "https://new/");
    EXPECT_EQ(keys[10], "-");
    EXPECT_TRUE(fake.trace.Contains("****i=10, m_nSelIndex=1, CurSel=10, CurCount=11\n"));
}

}  // namespace
}  // namespace kestrun
