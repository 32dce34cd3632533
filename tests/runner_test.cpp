#include "tunnel/runner.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/interpreter_command.h"
#include "tests/fakes/fake_platform.h"

namespace kestrun {
namespace {

using platform::BuildInterpreterCommand;

constexpr const char* kSys = "C:\\WINDOWS\\system32";
constexpr const char* kProg = "C:\\Program Files\\Kestrun\\";

TEST(InterpreterCommandTest, EveryCommandOfTheClient) {
    const std::string cmd = "\"C:\\WINDOWS\\system32\\cmd.exe\" /D /E:ON /V:OFF /S /C ";
    const struct {
        const char* command;
        std::string line;
    } cases[] = {
        {"DelRouteTable.bat", cmd + "\"\"C:\\Program Files\\Kestrun\\DelRouteTable.bat\"\""},
        {"Clear_IPsec.bat", cmd + "\"\"C:\\Program Files\\Kestrun\\Clear_IPsec.bat\"\""},
        {"Varnel_IPSecVPN.bat", cmd + "\"\"C:\\Program Files\\Kestrun\\Varnel_IPSecVPN.bat\"\""},
        {"Varnel_openVPN.bat", cmd + "\"\"C:\\Program Files\\Kestrun\\Varnel_openVPN.bat\"\""},
        {".\\Refresh.bat", cmd + "\"\"C:\\Program Files\\Kestrun\\Refresh.bat\"\""},
        {"GetIPSecStats.bat", cmd + "\"\"C:\\Program Files\\Kestrun\\GetIPSecStats.bat\"\""},
        {"ipconfig /flushdns", cmd + "\"\"C:\\WINDOWS\\system32\\ipconfig.exe\" /flushdns\""},
    };
    for (const auto& c : cases) {
        const auto built = BuildInterpreterCommand(kSys, kProg, c.command);
        ASSERT_TRUE(built) << c.command;
        EXPECT_EQ(built->commandLine, c.line) << c.command;
        EXPECT_EQ(built->interpreter, "C:\\WINDOWS\\system32\\cmd.exe");
    }
    EXPECT_EQ(BuildInterpreterCommand(kSys, "C:\\Kestrun", "Clear_IPsec.bat")->target,
              "C:\\Kestrun\\Clear_IPsec.bat");
}

TEST(InterpreterCommandTest, RefusesWhatCouldNameAnotherProgram) {
    const struct {
        const char* system;
        const char* program;
        const char* command;
    } cases[] = {
        {kSys, "C:\\%USERPROFILE%\\Kestrun", "Clear_IPsec.bat"},
        {"C:\\WIN%X%", kProg, "ipconfig /flushdns"},
        {kSys, "", "Clear_IPsec.bat"},
        {kSys, "C:\\a\"b", "Clear_IPsec.bat"},
        {kSys, kProg, "..\\x.bat"},
        {kSys, kProg, "C:\\x.bat"},
        {kSys, kProg, "a&b.bat"},
        {kSys, kProg, "\"x.bat\""},
        {kSys, kProg, ""},
        {kSys, kProg, "ipconfig /flushdns & calc"},
        {kSys, kProg, "ipconfig %COMSPEC%"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(BuildInterpreterCommand(c.system, c.program, c.command))
            << c.system << " | " << c.program << " | " << c.command;
    }
}

TEST(InterpreterCommandTest, UnderWow64TheNativeInterpreterWhereTheSystemHasIt) {
    const auto only = [](const char* path) {
        return [path](const std::string& file) { return file == path; };
    };
    const char* sysnativeCmd = "C:\\WINDOWS\\Sysnative\\cmd.exe";
    const struct {
        const char* windows;
        bool wow64;
        std::function<bool(const std::string&)> isFile;
        const char* folder;
    } cases[] = {
        {"C:\\WINDOWS", false, only(sysnativeCmd), kSys},
        {"C:\\WINDOWS", true, only(sysnativeCmd), "C:\\WINDOWS\\Sysnative"},
        {"C:\\WINDOWS\\", true, only(sysnativeCmd), "C:\\WINDOWS\\Sysnative"},
        {"C:\\WINDOWS", true, only("C:\\WINDOWS\\Sysnative"), kSys},  // XP x64 without it
        {"", true, only(sysnativeCmd), kSys},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::InterpreterFolder(kSys, c.windows, c.wow64, c.isFile), c.folder)
            << c.windows << " " << c.wow64;
    }
    // Only the interpreter changes; tools are still named in the system directory.
    const auto native =
        BuildInterpreterCommand(kSys, kProg, "ipconfig /flushdns", "C:\\WINDOWS\\Sysnative");
    ASSERT_TRUE(native);
    EXPECT_EQ(native->interpreter, sysnativeCmd);
    EXPECT_EQ(native->commandLine,
              "\"C:\\WINDOWS\\Sysnative\\cmd.exe\" /D /E:ON /V:OFF /S /C "
              "\"\"C:\\WINDOWS\\system32\\ipconfig.exe\" /flushdns\"");
    EXPECT_FALSE(BuildInterpreterCommand(kSys, kProg, "Clear_IPsec.bat", "C:\\W%X%"));
}

TEST(RunCommandTest, AHungCommandIsEndedTracedAndTheCallerGoesOn) {
    platform::fake::FakePlatform fake;
    fake.runner.startErrors["Clear_IPsec.bat"] = platform::kRunTimedOut;
    RunCommand(fake.runner, fake.trace, "Clear_IPsec.bat");
    EXPECT_EQ(fake.runner.lastTimeout, 120000u);
    EXPECT_EQ(fake.TraceLines(),
              std::vector<std::string>{
                  "RunCommand: Clear_IPsec.bat did not end within 120 s and was ended.\n"});
}

}  // namespace
}  // namespace kestrun
