#include "netprobe/adapter_icon.h"

#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "netprobe/os_type.h"
#include "platform/format.h"
#include "tests/fakes/fake_platform.h"

namespace kestrun {
namespace {

using platform::RegRoot;
using platform::fake::FakePlatform;
using platform::fake::FakeRegistry;

constexpr const char* kGuid = "{A1B2C3D4-0000-1111-2222-ABCDEF012345}";

std::string EntryPath(int index) {
    return Format(
        "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}\\%04d",
        index);
}

std::string ConnectionPath(const std::string& guid) {
    return "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\" +
           guid + "\\Connection";
}

enum class Fail { None, Characteristics, ConnectionKey, IpChecking, ShowIcon };

struct WalkCase {
    const char* name;
    int entries;               // class entries 0000..entries-1 exist
    std::vector<int> matches;  // entries whose NetCfgInstanceId is the adapter's
    std::string guidGiven;     // the adapter name passed in
    int show;
    int osType;
    Fail fail;
    int result;
    std::vector<int> marked;                       // entries whose Characteristics is written
    std::optional<std::uint32_t> connectionValue;  // IpCheckingEnabled and ShowIcon
    std::vector<std::string> trace;                // after the first line
};
KESTRUN_PRINTS_CASE_NAME(WalkCase)

class AdapterIconWalkTest : public testing::TestWithParam<WalkCase> {};

TEST_P(AdapterIconWalkTest, WalksTheClassAndTheConnection) {
    const WalkCase& c = GetParam();
    FakePlatform fake;
    for (int i = 0; i < c.entries; ++i) {
        FakeRegistry::Key& key = fake.registry.At(RegRoot::LocalMachine, EntryPath(i));
        key.values["NetCfgInstanceId"].text = Format("{00000000-0000-0000-0000-%012d}", i);
    }
    for (int i : c.matches) {
        fake.registry.At(RegRoot::LocalMachine, EntryPath(i)).values["NetCfgInstanceId"].text =
            kGuid;
    }
    if (c.fail == Fail::Characteristics) {
        for (int i : c.matches) {
            fake.registry.At(RegRoot::LocalMachine, EntryPath(i)).failSet = true;
        }
    }
    if (c.fail != Fail::ConnectionKey) {
        FakeRegistry::Key& connection =
            fake.registry.At(RegRoot::LocalMachine, ConnectionPath(kGuid));
        if (c.fail == Fail::IpChecking) {
            connection.failSetValues.insert("IpCheckingEnabled");
        }
        if (c.fail == Fail::ShowIcon) {
            connection.failSetValues.insert("ShowIcon");
        }
    }

    EXPECT_EQ(SetAdapterIcon(fake.registry, fake.trace, c.osType, c.guidGiven, c.show), c.result);

    for (int i = 0; i < c.entries; ++i) {
        const auto* key = fake.registry.Find(RegRoot::LocalMachine, EntryPath(i));
        ASSERT_NE(key, nullptr);
        auto value = key->values.find("Characteristics");
        const bool marked = std::find(c.marked.begin(), c.marked.end(), i) != c.marked.end();
        if (marked) {
            ASSERT_NE(value, key->values.end()) << i;
            EXPECT_EQ(value->second.dword, c.show == 1 ? 0x81u : 0x89u) << i;
        } else {
            EXPECT_EQ(value, key->values.end()) << i;
        }
    }
    const auto* connection = fake.registry.Find(RegRoot::LocalMachine, ConnectionPath(kGuid));
    auto valueOf = [&](const char* name) -> std::optional<std::uint32_t> {
        if (connection == nullptr || connection->values.count(name) == 0) {
            return std::nullopt;
        }
        return connection->values.at(name).dword;
    };
    if (c.fail == Fail::ShowIcon) {
        EXPECT_EQ(valueOf("IpCheckingEnabled"), c.connectionValue);  // stays written
        EXPECT_EQ(valueOf("ShowIcon"), std::nullopt);
    } else {
        EXPECT_EQ(valueOf("IpCheckingEnabled"), c.connectionValue);
        EXPECT_EQ(valueOf("ShowIcon"), c.connectionValue);
    }

    const std::vector<std::string> trace = fake.TraceLines();
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace[0], "SetAdapterIcon:strGUID=" + c.guidGiven + "\n");
    EXPECT_EQ(std::vector<std::string>(trace.begin() + 1, trace.end()), c.trace);
}

std::string OpenFailed(const std::string& path) {
    return "open RegKey:[" + path + "] Failed!!!\n";
}

const std::string kLower = "{a1b2c3d4-0000-1111-2222-abcdef012345}";

INSTANTIATE_TEST_SUITE_P(
    Cases, AdapterIconWalkTest,
    testing::Values(
        // The usual case: the entries stop before 0099, the walk ends there with 0.
        WalkCase{"UsualStopsAtFirstMissing",
                 12,
                 {3},
                 kGuid,
                 0,
                 6,
                 Fail::None,
                 0,
                 {3},
                 std::nullopt,
                 {"Index=0003\n", OpenFailed(EntryPath(12))}},
        WalkCase{"NoEntriesAtAll",
                 0,
                 {},
                 kGuid,
                 0,
                 6,
                 Fail::None,
                 0,
                 {},
                 std::nullopt,
                 {OpenFailed(EntryPath(0))}},
        WalkCase{"MatchBeyondTheGapIsNotReached",
                 5,
                 {},
                 kGuid,
                 0,
                 6,
                 Fail::None,
                 0,
                 {},
                 std::nullopt,
                 {OpenFailed(EntryPath(5))}},
        // All 99 entries: the connection values follow on NT 4 to Server 2003.
        WalkCase{
            "AllEntriesHideOnXp", 99, {40}, kGuid, 0, 6, Fail::None, 1, {40}, 0u, {"Index=0040\n"}},
        WalkCase{"AllEntriesShowOnNt4",
                 99,
                 {98},
                 kGuid,
                 1,
                 4,
                 Fail::None,
                 1,
                 {98},
                 1u,
                 {"Index=0098\n"}},
        WalkCase{
            "ServerIsIncluded", 99, {0}, kGuid, 0, 7, Fail::None, 1, {0}, 0u, {"Index=0000\n"}},
        WalkCase{"VistaSkipsConnection",
                 99,
                 {7},
                 kGuid,
                 0,
                 8,
                 Fail::None,
                 0,
                 {7},
                 std::nullopt,
                 {"Index=0007\n"}},
        WalkCase{"WindowsMeSkipsConnection",
                 99,
                 {7},
                 kGuid,
                 0,
                 3,
                 Fail::None,
                 0,
                 {7},
                 std::nullopt,
                 {"Index=0007\n"}},
        WalkCase{
            "UnknownOsSkipsConnection", 99, {}, kGuid, 0, -1, Fail::None, 0, {}, std::nullopt, {}},
        WalkCase{"Win7SkipsConnection",
                 99,
                 {3},
                 kGuid,
                 0,
                 OS_WIN7,
                 Fail::None,
                 0,
                 {3},
                 std::nullopt,
                 {"Index=0003\n"}},
        // A match does not end the walk; every matching entry is marked.
        WalkCase{"TwoMatchesBothMarked",
                 99,
                 {2, 60},
                 kGuid,
                 0,
                 5,
                 Fail::None,
                 1,
                 {2, 60},
                 0u,
                 {"Index=0002\n", "Index=0060\n"}},
        // The name matches whatever the case of its hexadecimal digits.
        WalkCase{
            "CaseOfGuidIgnored", 99, {11}, kLower, 0, 5, Fail::None, 1, {11}, 0u, {"Index=0011\n"}},
        // Show values other than 1 hide.
        WalkCase{"ShowTwoHides", 99, {1}, kGuid, 2, 6, Fail::None, 1, {1}, 0u, {"Index=0001\n"}},
        // No virtual adapter: an empty name matches nothing, the walk still runs.
        WalkCase{"EmptyNameMatchesNothing",
                 99,
                 {},
                 "",
                 0,
                 6,
                 Fail::None,
                 0,
                 {},
                 std::nullopt,
                 {OpenFailed(ConnectionPath(""))}},
        // Failures end with 0; what was written stays written.
        WalkCase{"CharacteristicsWriteFails",
                 99,
                 {9},
                 kGuid,
                 0,
                 6,
                 Fail::Characteristics,
                 0,
                 {},
                 std::nullopt,
                 {"Index=0009\n"}},
        WalkCase{"ConnectionKeyMissing",
                 99,
                 {9},
                 kGuid,
                 0,
                 6,
                 Fail::ConnectionKey,
                 0,
                 {9},
                 std::nullopt,
                 {"Index=0009\n", OpenFailed(ConnectionPath(kGuid))}},
        WalkCase{"IpCheckingFails",
                 99,
                 {9},
                 kGuid,
                 0,
                 6,
                 Fail::IpChecking,
                 0,
                 {9},
                 std::nullopt,
                 {"Index=0009\n", "Could not set the [IpCheckingEnabled] value."}},
        WalkCase{"ShowIconFails",
                 99,
                 {9},
                 kGuid,
                 1,
                 6,
                 Fail::ShowIcon,
                 0,
                 {9},
                 1u,
                 {"Index=0009\n", "Could not set the [ShowIcon] value."}}),
    test::CaseName());

TEST(AdapterIconTest, UsesTheTwoKeySpellingsAsTheyAre) {
    FakePlatform fake;
    for (int i = 0; i < 99; ++i) {
        fake.registry.At(RegRoot::LocalMachine, EntryPath(i));
    }
    fake.registry.At(RegRoot::LocalMachine, ConnectionPath(kGuid));
    SetAdapterIcon(fake.registry, fake.trace, OS_WINXP, kGuid, 0);
    const std::vector<std::string> opened = fake.journal.Of("registry");
    ASSERT_EQ(opened.size(), 100u);
    EXPECT_NE(opened[0].find("{4D36E972-E325-11CE-BFC1-08002bE10318}\\0000"), std::string::npos);
    EXPECT_NE(opened[98].find("\\0098"), std::string::npos);
    EXPECT_NE(opened[99].find("{4D36E972-E325-11CE-BFC1-08002BE10318}\\"), std::string::npos);
}

TEST(AdapterIconTest, TooLongInstanceIdDoesNotMatch) {
    FakePlatform fake;
    const std::string longName(300, 'a');
    fake.registry.At(RegRoot::LocalMachine, EntryPath(0)).values["NetCfgInstanceId"].text =
        longName;
    EXPECT_EQ(SetAdapterIcon(fake.registry, fake.trace, OS_WINXP, longName, 0), 0);
    EXPECT_EQ(
        fake.registry.Find(RegRoot::LocalMachine, EntryPath(0))->values.count("Characteristics"),
        0u);
}

}  // namespace
}  // namespace kestrun
