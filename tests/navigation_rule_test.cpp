#include "portal/navigation_rule.h"

#include <gtest/gtest.h>

namespace kestrun {
namespace {

constexpr const char* kPage = "C:\\Program Files\\Kestrun\\msg.html";
constexpr const char* kPortal = "https://router/auth.asp";

TEST(NavigationRuleTest, TopLevelOnlyToTheWebAndTheLocalPage) {
    const struct {
        const char* target;
        const char* current;
        bool allowed;
    } cases[] = {
        {"https://router/", "", true},
        {"HTTP://router/login", kPortal, true},
        {kPage, "", true},
        {"c:\\program files\\kestrun\\MSG.HTML", "", true},
        {"file:///C:/Program%20Files/Kestrun/msg.html", kPortal, true},
        {"file://C:\\Program Files\\Kestrun\\msg.html", "", true},
        {"javascript:doLogin()", kPortal, true},
        {"javascript:doLogin()", "", false},
        {"javascript:alert(1)", "file:///C:/Program%20Files/Kestrun/msg.html", false},
        {"file:///C:/Program%20Files/Kestrun/other.html", kPortal, false},
        {"file:///C:/Windows/system32/cmd.exe", kPortal, false},
        {"C:\\Windows\\system32\\cmd.exe", kPortal, false},
        {"\\\\server\\share\\x.hta", kPortal, false},
        {"vbscript:msgbox(1)", kPortal, false},
        {"mk:@MSITStore:c:\\x.chm::/a.htm", kPortal, false},
        {"res://shdoclc.dll/about.htm", kPortal, false},
        {"about:blank", kPortal, false},
        {"ftp://router/", kPortal, false},
        {"shell:desktop", kPortal, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AllowsTopLevelNavigation(c.target, c.current, kPage), c.allowed)
            << c.target << " from " << c.current;
    }
    EXPECT_FALSE(AllowsTopLevelNavigation("", "", ""));
}

}  // namespace
}  // namespace kestrun
