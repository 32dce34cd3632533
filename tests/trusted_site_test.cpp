#include "netprobe/trusted_site.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include "netprobe/os_type.h"
#include "tests/fakes/fake_platform.h"

namespace kestrun {
namespace {

using platform::RegRoot;
using platform::fake::FakePlatform;
using ::testing::ElementsAre;

const std::string kRanges =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Ranges\\Range";
const std::string kAddress = "https://192.168.1.10/login";

// One range key: nothing = key missing; a value = key present with that ":Range" text;
// "<novalue>" = key present without ":Range".
using Range = std::optional<std::string>;

struct TrustCase {
    const char* name;
    std::vector<Range> ranges;  // Range1, Range2, ...
    std::string address;
    int expected;
    std::vector<std::string> trace;
};
KESTRUN_PRINTS_CASE_NAME(TrustCase)

class TrustedSiteTest : public ::testing::TestWithParam<TrustCase> {
  protected:
    void AddRanges(const std::vector<Range>& ranges) {
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            if (!ranges[i]) {
                continue;
            }
            auto& key = fake.registry.At(RegRoot::CurrentUser, kRanges + std::to_string(i + 1));
            if (*ranges[i] != "<novalue>") {
                key.values[":Range"].text = *ranges[i];
            }
        }
    }
    FakePlatform fake;
};

std::string Failed(int number) {
    return "open RegKey:[" + kRanges + std::to_string(number) + "] Failed!!!\n";
}

TEST_P(TrustedSiteTest, SearchesTheZoneRanges) {
    const TrustCase& c = GetParam();
    AddRanges(c.ranges);
    EXPECT_EQ(CheckTrustedSite(fake.registry, fake.trace, OS_VISTA, c.address), c.expected);
    EXPECT_EQ(fake.TraceLines(), c.trace);
}

const Range kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Vista, TrustedSiteTest,
    ::testing::Values(
        TrustCase{"FirstRangeMatches",
                  {Range("192.168.1.10")},
                  kAddress,
                  1,
                  {"CheckTrustedSite:Index=0001\n"}},
        TrustCase{"Range1MissingRange2Matches",
                  {kNone, Range("192.168.1.10")},
                  kAddress,
                  1,
                  {Failed(1), "CheckTrustedSite:Index=0002\n"}},
        TrustCase{
            "Range4MissingEndsSearch",
            {Range("10.0.0.1"), Range("10.0.0.2"), Range("10.0.0.3"), kNone, Range("192.168.1.10")},
            kAddress,
            0,
            {Failed(4)}},
        TrustCase{"Range1And2MissingEndsAtRange2",
                  {kNone, kNone, Range("192.168.1.10")},
                  kAddress,
                  0,
                  {Failed(1), Failed(2)}},
        TrustCase{"PrefixOfHostMatches",
                  {Range("192.168.1.1")},
                  kAddress,
                  1,
                  {"CheckTrustedSite:Index=0001\n"}},
        TrustCase{"EmptyRangeNeverMatches", {Range(""), kNone}, kAddress, 0, {Failed(2)}},
        TrustCase{
            "MatchAtFirstCharacterDoesNotCount", {Range("https"), kNone}, kAddress, 0, {Failed(2)}},
        TrustCase{"WholeAddressDoesNotCount", {Range(kAddress), kNone}, kAddress, 0, {Failed(2)}},
        TrustCase{"CaseMatters", {Range("HTTPS://192"), kNone}, "xhttps://192", 0, {Failed(2)}},
        TrustCase{"KeyWithoutValueIsSkipped",
                  {Range("<novalue>"), Range("1.10")},
                  kAddress,
                  1,
                  {"CheckTrustedSite:Index=0002\n"}},
        TrustCase{"ValueTooLongIsSkipped",
                  {Range(std::string(260, '1')), Range("168")},
                  kAddress + std::string(300, '1'),
                  1,
                  {"CheckTrustedSite:Index=0002\n"}},
        TrustCase{"ValueOf259Fits",
                  {Range("/" + std::string(258, '1'))},
                  kAddress + "/" + std::string(300, '1'),
                  1,
                  {"CheckTrustedSite:Index=0001\n"}},
        TrustCase{"NoKeysAtAll", {}, kAddress, 0, {Failed(1), Failed(2)}}),
    test::CaseName());

TEST_F(TrustedSiteTest, NotVistaPassesWithoutOpeningAnyKey) {
    for (int os : {OS_ERROR, OS_WIN2000, OS_WINXP, OS_WINSERVER, OS_OTHER}) {
        EXPECT_EQ(CheckTrustedSite(fake.registry, fake.trace, os, kAddress), 1) << os;
    }
    EXPECT_TRUE(fake.journal.Of("registry").empty());
    EXPECT_TRUE(fake.TraceLines().empty());
}

TEST_F(TrustedSiteTest, Windows7AndLaterSearchLikeVista) {
    fake.registry.At(RegRoot::CurrentUser, kRanges + "1").values[":Range"].text = "192.168.1.10";
    EXPECT_EQ(CheckTrustedSite(fake.registry, fake.trace, OS_WIN7, kAddress), 1);
    EXPECT_THAT(fake.TraceLines(), ElementsAre("CheckTrustedSite:Index=0001\n"));
}

TEST_F(TrustedSiteTest, Ranges99AndAboveAreNeverRead) {
    for (int number = 1; number <= 120; ++number) {
        fake.registry.At(RegRoot::CurrentUser, kRanges + std::to_string(number))
            .values[":Range"]
            .text = number >= 99 ? "192.168.1.10" : "no-match";
    }
    EXPECT_EQ(CheckTrustedSite(fake.registry, fake.trace, OS_VISTA, kAddress), 0);
    const std::vector<std::string> opened = fake.journal.Of("registry");
    ASSERT_EQ(opened.size(), 98u);
    EXPECT_EQ(opened.front(), "open " + kRanges + "1");
    EXPECT_EQ(opened.back(), "open " + kRanges + "98");
    EXPECT_TRUE(fake.TraceLines().empty());
}

TEST_F(TrustedSiteTest, Range98IsStillRead) {
    for (int number = 1; number <= 98; ++number) {
        fake.registry.At(RegRoot::CurrentUser, kRanges + std::to_string(number))
            .values[":Range"]
            .text = number == 98 ? "192.168.1.10" : "no-match";
    }
    EXPECT_EQ(CheckTrustedSite(fake.registry, fake.trace, OS_VISTA, kAddress), 1);
    EXPECT_THAT(fake.TraceLines(), ElementsAre("CheckTrustedSite:Index=0098\n"));
}

}  // namespace
}  // namespace kestrun
