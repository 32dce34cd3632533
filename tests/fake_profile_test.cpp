// The fake INI layer must behave like the platform's profile functions, since every
// settings test relies on it.
#include <gtest/gtest.h>

#include "tests/fakes/fake_platform.h"
#include "tests/support/scoped_work_dir.h"

namespace kestrun {
namespace {

using platform::fake::FakePlatform;

class FakeProfileTest : public ::testing::Test {
  protected:
    void Put(const std::string& bytes) { ASSERT_EQ(fake.files.WriteNew(kPath, bytes), 0u); }
    std::string Bytes() { return fake.files.ReadAll(kPath).value_or("<missing>"); }
    std::string Get(const std::string& section, const std::string& key,
                    const std::string& def = "dflt", std::size_t size = 128) {
        return fake.profile.GetString(section, key, def, size, kPath);
    }

    static constexpr const char* kPath = ".\\Setting.tmp";
    test::ScopedWorkDir dir;
    FakePlatform fake;
};

TEST_F(FakeProfileTest, ReadsCutValueToBufferSizeLessOne) {
    Put("[S]\r\nk=abcdef\r\n");
    EXPECT_EQ(Get("S", "k", "", 4), "abc");
    EXPECT_EQ(Get("S", "k", "", 7), "abcdef");
    EXPECT_EQ(Get("S", "k", "", 1), "");
    // The default is cut the same way.
    EXPECT_EQ(Get("S", "missing", "0123456789", 5), "0123");
}

TEST_F(FakeProfileTest, MissingFileSectionOrKeyGiveTheDefault) {
    EXPECT_EQ(Get("S", "k"), "dflt");
    Put("[Other]\r\nk=1\r\n");
    EXPECT_EQ(Get("S", "k"), "dflt");
    Put("[S]\r\nj=1\r\n");
    EXPECT_EQ(Get("S", "k"), "dflt");
}

TEST_F(FakeProfileTest, PresentEmptyValueIsEmptyNotDefault) {
    Put("[S]\r\nk=\r\nm =   \r\n");
    EXPECT_EQ(Get("S", "k"), "");
    EXPECT_EQ(Get("S", "m"), "");
}

TEST_F(FakeProfileTest, LineWithoutEqualsGivesTheDefault) {
    Put("[S]\r\nk\r\n");
    EXPECT_EQ(Get("S", "k"), "dflt");
}

TEST_F(FakeProfileTest, NamesMatchWithoutCaseAndBlanksAroundAreDropped) {
    Put("  [ipsec]  \r\n  GateWay  =  1.2.3.4  \r\n");
    EXPECT_EQ(Get("IPSec", "Gateway"), "1.2.3.4");
}

TEST_F(FakeProfileTest, WriteCreatesFileAndSectionWithCrLf) {
    ASSERT_TRUE(fake.profile.WriteString("IPSec", "ParseSettingFlag", "FALSE", kPath));
    EXPECT_EQ(Bytes(), "[IPSec]\r\nParseSettingFlag=FALSE\r\n");
}

TEST_F(FakeProfileTest, WriteReplacesInPlaceOrAppendsAtEndOfItsSection) {
    Put("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
    ASSERT_TRUE(fake.profile.WriteString("a", "X", "10", kPath));
    ASSERT_TRUE(fake.profile.WriteString("A", "w", "4", kPath));
    ASSERT_TRUE(fake.profile.WriteString("C", "v", "5", kPath));
    EXPECT_EQ(Bytes(), "[A]\r\nx=10\r\ny=2\r\nw=4\r\n[B]\r\nz=3\r\n[C]\r\nv=5\r\n");
}

TEST_F(FakeProfileTest, WriteDropsOnlyLeadingBlanksOfTheValue) {
    ASSERT_TRUE(fake.profile.WriteString("S", "k", "  a b  ", kPath));
    EXPECT_EQ(Bytes(), "[S]\r\nk=a b  \r\n");
    EXPECT_EQ(Get("S", "k"), "a b");
}

TEST_F(FakeProfileTest, WriteGivesValueToKeyWithoutEquals) {
    Put("[S]\r\nk\r\n");
    ASSERT_TRUE(fake.profile.WriteString("S", "k", "v", kPath));
    EXPECT_EQ(Bytes(), "[S]\r\nk=v\r\n");
}

TEST_F(FakeProfileTest, ValueInMatchingQuotesLosesThem) {
    Put("[S]\r\na=\"x y\"\r\nb='z'\r\nc=\"half\r\n");
    EXPECT_EQ(Get("S", "a"), "x y");
    EXPECT_EQ(Get("S", "b"), "z");
    EXPECT_EQ(Get("S", "c"), "\"half");
}

TEST_F(FakeProfileTest, GetIntReadsLeadingNumberOrDefault) {
    Put("[S]\r\nn=42abc\r\nneg=-5\r\nhex=0x10\r\nempty=\r\nword=abc\r\nbig=4294967295\r\n");
    struct Case {
        const char* key;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"n", 42u},      {"neg", static_cast<std::uint32_t>(-5)},
        {"hex", 16u},    {"empty", 7u},
        {"word", 0u},    {"big", 4294967295u},
        {"missing", 7u},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fake.profile.GetInt("S", c.key, 7, kPath), c.expected) << c.key;
    }
    EXPECT_EQ(fake.profile.GetInt("S", "n", 7, "no-such-file"), 7u);
}

}  // namespace
}  // namespace kestrun
