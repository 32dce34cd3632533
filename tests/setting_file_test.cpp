#include "settings/setting_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/decimal.h"
#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;
using platform::fake::Journal;
using ::testing::ElementsAre;

constexpr const char* kPath = ".\\Setting.tmp";

// Records when the history steps run, relative to the profile calls around them.
class HistoryProbe : public AddressHistory {
  public:
    explicit HistoryProbe(Journal& journal) : journal_(journal) {}
    void FillFromFile(const std::string& gateway) override {
        journal_.Add("history", "fill " + gateway);
    }
    void StoreToFile() override { journal_.Add("history", "store"); }

  private:
    Journal& journal_;
};

class SettingFileTest : public ::testing::Test {
  protected:
    void Put(const std::string& bytes) { ASSERT_EQ(fake.files.WriteNew(kPath, bytes), 0u); }
    std::string Bytes() { return fake.files.ReadAll(kPath).value_or("<missing>"); }
    std::string Value(const char* key) {
        return fake.profile.GetString("IPSec", key, "<absent>", 100000, kPath);
    }
    void Parse() { file.ParseSetting(settings, interfaceIndex, noHistory); }
    void Save() { EXPECT_EQ(file.SaveSetting(settings, interfaceIndex, noHistory), 1); }

    test::ScopedWorkDir dir;
    FakePlatform fake;
    SettingFile file{fake.profile, kPath};
    TunnelSettings settings;
    std::int32_t interfaceIndex = 0;
    NoAddressHistory noHistory;
};

void ExpectDefaults(const TunnelSettings& s) {
    EXPECT_EQ(s.m_strModelName, "QZM_SSL");
    EXPECT_EQ(s.m_strGateway, "0.0.0.0");
    EXPECT_EQ(s.m_strPreSharedKey, "2637");
    EXPECT_EQ(s.m_strRemoteLANIP, "192.168.0.99");
    EXPECT_EQ(s.m_strNetworkIP, "192.168.99.0");
    EXPECT_EQ(s.m_strSubmask, "255.255.255.255");
    EXPECT_EQ(s.m_strOvpnSerIP, "10.1.99.1");
    EXPECT_EQ(s.m_strOvpnIfconfig, "99");
    EXPECT_EQ(s.m_strOvpnSerMask, "255.255.255.255");
    EXPECT_EQ(s.m_strOvpnSerPort, "999");
}

TEST_F(SettingFileTest, NoFileGivesDefaultsAndLeavesOnlyTheFlag) {
    interfaceIndex = 5;
    Parse();
    ExpectDefaults(settings);
    EXPECT_EQ(interfaceIndex, 0);
    EXPECT_EQ(Bytes(), "[IPSec]\r\nParseSettingFlag=FALSE\r\n");
}

// A profile call on the settings file's section, as the journal records it.
std::string OnFile(const std::string& call) {
    return "profile: " + call + " IPSec|" + kPath;
}

// The history is filled by the gateway just read, and the portal's flag is taken last, so
// that a parameter set the portal writes meanwhile is not marked as taken unread.
TEST_F(SettingFileTest, ParseFillsTheHistoryByTheNewGatewayThenTakesTheFlag) {
    Put("[IPSec]\r\nParseSettingFlag=TRUE\r\nGateway=1.2.3.4\r\n");
    HistoryProbe history(fake.journal);
    file.ParseSetting(settings, interfaceIndex, history);
    EXPECT_EQ(fake.journal.Of("history", "fill"), std::vector<std::string>{"1.2.3.4"});
    EXPECT_TRUE(fake.journal.Before("history: fill", OnFile("set ParseSettingFlag=FALSE")));
    EXPECT_FALSE(file.ParseSettingFlagSet());
}

TEST_F(SettingFileTest, SaveWritesInOrderThenStoresHistory) {
    HistoryProbe history(fake.journal);
    settings.m_strGateway = "g";
    settings.m_strPreSharedKey = "k";
    settings.m_strNetworkIP = "n";
    settings.m_strSubmask = "m";
    settings.m_dwStartTime = 1234;
    settings.m_strRemoteLANIP = "r";
    settings.m_strOvpnSerIP = "o";
    EXPECT_EQ(file.SaveSetting(settings, -3, history), 1);
    EXPECT_THAT(
        fake.journal.Entries(),
        ElementsAre(OnFile("set Interface=-3"), OnFile("set Gateway=g"),
                    OnFile("set PreSharedKey=k"), OnFile("set RemoteLANIP=r"),
                    OnFile("set NetworkIP=n"), OnFile("set Submask=m"), OnFile("set OVPN_SerIP=o"),
                    OnFile("set StartTime=1234"), "history: store"));
}

TEST_F(SettingFileTest, ModelNameEmptyOrAbsent) {
    Put("[IPSec]\r\nModelName=\r\n");
    Parse();
    EXPECT_EQ(settings.m_strModelName, "TRV-615_SSL");
    Put("[IPSec]\r\nModelName=R1\r\n");
    Parse();
    EXPECT_EQ(settings.m_strModelName, "R1_SSL");
    Put("[IPSec]\r\n");
    Parse();
    EXPECT_EQ(settings.m_strModelName, "QZM_SSL");
}

TEST_F(SettingFileTest, LongPreSharedKeyIsCutTo127AndWrittenBackSo) {
    const std::string key(200, 'k');
    Put("[IPSec]\r\nPreSharedKey=" + key + "\r\n");
    Parse();
    EXPECT_EQ(settings.m_strPreSharedKey, key.substr(0, 127));
    Save();
    EXPECT_EQ(Value("PreSharedKey"), key.substr(0, 127));
}

TEST_F(SettingFileTest, TenThousandCharacterValueIsCutTo127) {
    const std::string gateway(10000, '9');
    Put("[IPSec]\r\nGateway=" + gateway + "\r\nSubmask=255.0.0.0\r\n");
    Parse();
    EXPECT_EQ(settings.m_strGateway, gateway.substr(0, 127));
    EXPECT_EQ(settings.m_strSubmask, "255.0.0.0");
}

TEST_F(SettingFileTest, LinesWithoutEqualsReadAsAbsent) {
    Put("[IPSec]\r\nGateway\r\ngarbage line\r\nPreSharedKey=secret\r\n");
    Parse();
    EXPECT_EQ(settings.m_strGateway, "0.0.0.0");
    EXPECT_EQ(settings.m_strPreSharedKey, "secret");
}

TEST_F(SettingFileTest, MissingSectionGivesDefaultsAndKeepsOtherSections) {
    Put("[Other]\r\nGateway=1.1.1.1\r\n");
    Parse();
    ExpectDefaults(settings);
    EXPECT_EQ(Bytes(), "[Other]\r\nGateway=1.1.1.1\r\n[IPSec]\r\nParseSettingFlag=FALSE\r\n");
}

TEST_F(SettingFileTest, EmptyFileGivesDefaults) {
    Put("");
    Parse();
    ExpectDefaults(settings);
    EXPECT_EQ(Bytes(), "[IPSec]\r\nParseSettingFlag=FALSE\r\n");
}

TEST_F(SettingFileTest, BinaryFileDoesNotBreakLoading) {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes.push_back(static_cast<char>((i * 7919) & 0xFF));
    }
    bytes += "\n[IPSec]\nGateway=5.6.7.8\0tail\n";
    bytes.append(std::string("\0\0\xff\xfe", 4));
    Put(bytes);
    Parse();
    EXPECT_EQ(settings.m_strGateway, "5.6.7.8");
    EXPECT_LE(settings.m_strPreSharedKey.size(), 127u);
    EXPECT_EQ(Value("ParseSettingFlag"), "FALSE");
}

TEST_F(SettingFileTest, HugeFileIsRead) {
    std::string bytes = "[Junk]\r\n";
    for (int i = 0; bytes.size() < 2'000'000; ++i) {
        bytes += "key" + std::to_string(i) + "=" + std::string(40, 'v') + "\r\n";
    }
    bytes += "[IPSec]\r\nNetworkIP=10.9.0.0\r\n";
    Put(bytes);
    Parse();
    EXPECT_EQ(settings.m_strNetworkIP, "10.9.0.0");
    EXPECT_EQ(Value("ParseSettingFlag"), "FALSE");
}

TEST_F(SettingFileTest, InterfaceIsReadLikeAtoi) {
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"12", 12},         {"abc", 0}, {"  7x", 7},
        {"-4", -4},         {"+9", 9},  {"", 0},
        {"0x1F", 0},        {"- 3", 0}, {"2147483647", 2147483647},
        {"4294967295", -1},
    };
    for (const Case& c : cases) {
        Put(std::string("[IPSec]\r\nInterface=") + c.text + "\r\n");
        interfaceIndex = 99;
        Parse();
        EXPECT_EQ(interfaceIndex, c.expected) << '"' << c.text << '"';
        EXPECT_EQ(ParseDecimal(c.text), c.expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(ParseDecimal("\t\n 5"), 5);
}

TEST_F(SettingFileTest, LettersInInterfaceAreWrittenBackAsZero) {
    Put("[IPSec]\r\nInterface=eth\r\n");
    Parse();
    Save();
    EXPECT_EQ(Value("Interface"), "0");
}

TEST_F(SettingFileTest, SaveAfterParseFillsMissingKeysWithDefaults) {
    Put("[IPSec]\r\nModelName=X\r\nGateway=9.9.9.9\r\n");
    Parse();
    Save();
    EXPECT_EQ(Bytes(),
              "[IPSec]\r\nModelName=X\r\nGateway=9.9.9.9\r\nParseSettingFlag=FALSE\r\n"
              "Interface=0\r\nPreSharedKey=2637\r\nRemoteLANIP=192.168.0.99\r\n"
              "NetworkIP=192.168.99.0\r\nSubmask=255.255.255.255\r\nOVPN_SerIP=10.1.99.1\r\n"
              "StartTime=0\r\n");
}

TEST_F(SettingFileTest, StartTimeAbove2To31IsWrittenAsNegativeText) {
    settings.m_dwStartTime = 0x80000005u;
    Save();
    EXPECT_EQ(Value("StartTime"), "-2147483643");
    settings.m_dwStartTime = 0xFFFFFFFFu;
    Save();
    EXPECT_EQ(Value("StartTime"), "-1");
    // Reading it back as an integer gives the original tick.
    EXPECT_EQ(fake.profile.GetInt("IPSec", "StartTime", 0, kPath), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace kestrun

namespace kestrun {
namespace {

// The profile copy's flags are set on its bytes: the portal's own lines, comments and
// letter case stay as it wrote them, and the result still reads back as the profile
// functions read it.
TEST(SettingBytesTest, FlagsAreSetWithoutTouchingTheRest) {
    const struct {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"value replaced in place",
         "; portal\r\n[IPSec]\r\nCallByIE = TRUE \r\nGateway=1.2.3.4\r\n",
         "; portal\r\n[IPSec]\r\nCallByIE=FALSE\r\nGateway=1.2.3.4\r\nRemoveIPsec=FALSE\r\n"},
        {"names in other case, LF ends", "[ipsec]\ncallbyie=TRUE\nremoveipsec=TRUE\n[Next]\nx=1\n",
         "[ipsec]\nCallByIE=FALSE\nRemoveIPsec=FALSE\n[Next]\nx=1\n"},
        {"added after the section's last line", "[IPSec]\r\nGateway=1\r\n\r\n[Other]\r\nk=v",
         "[IPSec]\r\nGateway=1\r\nRemoveIPsec=FALSE\r\nCallByIE=FALSE\r\n\r\n[Other]\r\nk=v"},
        {"last line without its end", "[IPSec]\r\nGateway=1",
         "[IPSec]\r\nGateway=1\r\nRemoveIPsec=FALSE\r\nCallByIE=FALSE\r\n"},
        {"no section", "[Other]\r\nk=v",
         "[Other]\r\nk=v\r\n[IPSec]\r\nRemoveIPsec=FALSE\r\nCallByIE=FALSE\r\n"},
        {"key of the same name elsewhere", "[Other]\r\nCallByIE=TRUE\r\n[IPSec]\r\n",
         "[Other]\r\nCallByIE=TRUE\r\n[IPSec]\r\nRemoveIPsec=FALSE\r\nCallByIE=FALSE\r\n"},
    };
    test::ScopedWorkDir dir;
    FakePlatform fake;
    for (const auto& c : cases) {
        const std::string after = WithHandOverTaken(c.before);
        EXPECT_EQ(after, c.after) << c.name;
        ASSERT_EQ(fake.files.WriteNew(kPath, after), 0u);
        EXPECT_EQ(SettingFile(fake.profile, kPath).CallByIe(settings::Reader::kSetUp), "FALSE")
            << c.name;
    }
    EXPECT_EQ(WithMode("[IPSec]\r\nVPN Mode=1\r\n", VPN_MODE_OPENVPN), "[IPSec]\r\nVPN Mode=2\r\n");
}

}  // namespace
}  // namespace kestrun
