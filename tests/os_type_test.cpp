#include "netprobe/os_type.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/case_name.h"

#include "tests/fakes/fake_platform.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;

constexpr std::uint8_t kServer = 3;

struct VersionCase {
    const char* name;
    std::uint32_t platformId;
    std::uint32_t major;
    std::uint32_t minor;
    std::uint8_t productType;
    std::optional<std::uint16_t> architecture;
    const char* csd;
    int expected;
    std::vector<std::string> trace;
};
KESTRUN_PRINTS_CASE_NAME(VersionCase)

class OsTypeTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(OsTypeTest, ClassifiesAndTraces) {
    const VersionCase& c = GetParam();
    FakePlatform fake;
    fake.system.version.platformId = c.platformId;
    fake.system.version.major = c.major;
    fake.system.version.minor = c.minor;
    fake.system.version.productType = c.productType;
    fake.system.version.csdVersion = c.csd;
    fake.system.architecture = c.architecture;
    EXPECT_EQ(GetOSType(fake.system, fake.trace), c.expected);
    EXPECT_EQ(fake.TraceLines(), c.trace);
}

constexpr std::uint32_t k9x = platform::kPlatformWindows;
constexpr std::uint32_t kNt = platform::kPlatformNt;
constexpr std::uint8_t kWs = platform::kProductWorkstation;
constexpr std::uint16_t kAmd64 = platform::kArchitectureAmd64;
constexpr std::uint16_t kX86 = 0;
constexpr std::uint16_t kIa64 = 6;
constexpr const char* kWin7 = "Microsoft Windows 7 or later \n";

INSTANTIATE_TEST_SUITE_P(
    EveryVersion, OsTypeTest,
    ::testing::Values(
        VersionCase{"Win32s",
                    platform::kPlatformWin32s,
                    3,
                    10,
                    0,
                    {},
                    "",
                    OS_WIN32S,
                    {"Microsoft Win32s\n"}},
        VersionCase{"Win95", k9x, 4, 0, 0, {}, "", OS_WIN95, {"Microsoft Windows 95 \n"}},
        VersionCase{
            "Win95OSR2C", k9x, 4, 0, 0, {}, " C", OS_WIN95, {"Microsoft Windows 95 \n", "OSR2 "}},
        VersionCase{
            "Win95OSR2B", k9x, 4, 0, 0, {}, " B", OS_WIN95, {"Microsoft Windows 95 \n", "OSR2 "}},
        VersionCase{"Win95LetterA", k9x, 4, 0, 0, {}, " A", OS_WIN95, {"Microsoft Windows 95 \n"}},
        VersionCase{
            "Win95LetterFirst", k9x, 4, 0, 0, {}, "C", OS_WIN95, {"Microsoft Windows 95 \n"}},
        VersionCase{"Win98", k9x, 4, 10, 0, {}, "", OS_WIN98, {"Microsoft Windows 98 \n"}},
        VersionCase{
            "Win98SE", k9x, 4, 10, 0, {}, " A", OS_WIN98, {"Microsoft Windows 98 \n", "SE "}},
        VersionCase{
            "Win98SEB", k9x, 4, 10, 0, {}, " B", OS_WIN98, {"Microsoft Windows 98 \n", "SE "}},
        VersionCase{"Win98LetterC", k9x, 4, 10, 0, {}, " C", OS_WIN98, {"Microsoft Windows 98 \n"}},
        VersionCase{
            "WinMe", k9x, 4, 90, 0, {}, "", OS_WINME, {"Microsoft Windows Millennium Edition\n"}},
        VersionCase{"Win9xOtherMinor", k9x, 4, 20, 0, {}, "", OS_OTHER, {}},
        VersionCase{"Win9xOtherMajor", k9x, 5, 0, 0, {}, "", OS_OTHER, {}},
        VersionCase{"NT351", kNt, 3, 51, kWs, {}, "", OS_WINNT, {"Microsoft Windows NT \n"}},
        VersionCase{"NT4", kNt, 4, 0, kWs, {}, "", OS_WINNT, {"Microsoft Windows NT \n"}},
        VersionCase{"Win2000", kNt, 5, 0, kWs, {}, "", OS_WIN2000, {"Microsoft Windows 2000 \n"}},
        VersionCase{
            "Win2000Server", kNt, 5, 0, kServer, {}, "", OS_WIN2000, {"Microsoft Windows 2000 \n"}},
        VersionCase{"WinXP", kNt, 5, 1, kWs, {}, "", OS_WINXP, {"Microsoft Windows XP \n"}},
        VersionCase{"XPx64",
                    kNt,
                    5,
                    2,
                    kWs,
                    kAmd64,
                    "",
                    OS_WINXP,
                    {"Microsoft Windows XP Professional x64 Edition \n"}},
        VersionCase{"Server2003",
                    kNt,
                    5,
                    2,
                    kServer,
                    kX86,
                    "",
                    OS_WINSERVER,
                    {"Microsoft Windows Server 2003, "}},
        VersionCase{"Server2003x64",
                    kNt,
                    5,
                    2,
                    kServer,
                    kAmd64,
                    "",
                    OS_WINSERVER,
                    {"Microsoft Windows Server 2003, "}},
        VersionCase{"WorkstationIa64",
                    kNt,
                    5,
                    2,
                    kWs,
                    kIa64,
                    "",
                    OS_WINSERVER,
                    {"Microsoft Windows Server 2003, "}},
        VersionCase{"NoNativeSystemInfo",
                    kNt,
                    5,
                    2,
                    kWs,
                    std::nullopt,
                    "",
                    OS_WINSERVER,
                    {"Microsoft Windows Server 2003, "}},
        VersionCase{"NT53", kNt, 5, 3, kWs, {}, "", OS_OTHER, {}},
        VersionCase{"Vista", kNt, 6, 0, kWs, {}, "", OS_VISTA, {"Microsoft Windows Vista \n"}},
        VersionCase{"Server2008",
                    kNt,
                    6,
                    0,
                    kServer,
                    {},
                    "",
                    OS_WINSERVER,
                    {"Windows Server \"Longhorn\" \n"}},
        VersionCase{"DomainController2008",
                    kNt,
                    6,
                    0,
                    2,
                    {},
                    "",
                    OS_WINSERVER,
                    {"Windows Server \"Longhorn\" \n"}},
        // 7, 8, 8.1 and 10/11 (the last two only with a manifest), workstation and server.
        VersionCase{"Win7", kNt, 6, 1, kWs, {}, "", OS_WIN7, {kWin7}},
        VersionCase{"Server2008R2", kNt, 6, 1, kServer, {}, "", OS_WIN7, {kWin7}},
        VersionCase{"Win8", kNt, 6, 2, kWs, {}, "", OS_WIN7, {kWin7}},
        VersionCase{"Server2012", kNt, 6, 2, kServer, {}, "", OS_WIN7, {kWin7}},
        VersionCase{"Win81", kNt, 6, 3, kWs, {}, "", OS_WIN7, {kWin7}},
        VersionCase{"Server2012R2", kNt, 6, 3, kServer, {}, "", OS_WIN7, {kWin7}},
        VersionCase{"Win10", kNt, 10, 0, kWs, kAmd64, "", OS_WIN7, {kWin7}},
        VersionCase{"Server2022", kNt, 10, 0, kServer, kAmd64, "", OS_WIN7, {kWin7}},
        VersionCase{"NT7", kNt, 7, 0, kWs, {}, "", OS_WIN7, {kWin7}},
        VersionCase{"UnknownPlatform", 3, 5, 0, kWs, {}, "", OS_OTHER, {}}),
    test::CaseName());

TEST(OsTypeFallbackTest, PlainRecordHasNoProductType) {
    FakePlatform fake;
    fake.system.extendedVersionWorks = false;
    fake.system.version = {6, 0, 6000, platform::kPlatformNt, "", kWs};
    // Without the product type a Vista workstation reads as a server.
    EXPECT_EQ(GetOSType(fake.system, fake.trace), OS_WINSERVER);
    fake.system.version = {5, 2, 3790, platform::kPlatformNt, "", kWs};
    fake.system.architecture = kAmd64;
    EXPECT_EQ(GetOSType(fake.system, fake.trace), OS_WINSERVER);
    fake.system.version = {5, 1, 2600, platform::kPlatformNt, "", kWs};
    EXPECT_EQ(GetOSType(fake.system, fake.trace), OS_WINXP);
}

TEST(OsTypeFallbackTest, BothRecordsFailingIsAnError) {
    FakePlatform fake;
    fake.system.extendedVersionWorks = false;
    fake.system.plainVersionWorks = false;
    fake.system.version = {5, 1, 2600, platform::kPlatformNt, "", kWs};
    EXPECT_EQ(GetOSType(fake.system, fake.trace), OS_ERROR);
    EXPECT_TRUE(fake.TraceLines().empty());
}

TEST(OsTypeValuesTest, StoredCodesKeepTheirValues) {
    EXPECT_EQ(OS_ERROR, -1);
    EXPECT_EQ(OS_VISTA, 8);
    EXPECT_EQ(OS_OTHER, 9);
    EXPECT_EQ(OS_WIN7, 10);
}

}  // namespace
}  // namespace kestrun
