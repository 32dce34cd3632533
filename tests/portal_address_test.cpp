#include "portal/portal_address.h"

#include <gtest/gtest.h>

namespace kestrun {
namespace {

TEST(PortalAddressTest, RefusesEveryOtherScheme) {
    const char* refused[] = {"javascript:void(0)//1.2.3.4",
                             "JavaScript:alert(1)",
                             "vbscript:msgbox(1)",
                             "res://shdoclc.dll/about.htm",
                             "mk:@MSITStore:c:\\x.chm::/a.htm",
                             "its:c:\\x.chm::/a.htm",
                             "mhtml:file://c:/x.mht",
                             "ms-its:x.chm",
                             "view-source:https://x/",
                             "file:///c:/",
                             "shell:startup",
                             "ftp://router/",
                             "java\tscript:alert(1)",
                             "router:8443/a\x01",
                             "javascript:1x",
                             "javascript:1/alert(1)",
                             "VBScript:1",
                             "jscript:2?x",
                             "x-y.z+w:whatever",
                             "router:/path",
                             "router:",
                             "http://router/",
                             "1.2.3.4",
                             "https:/",
                             "about:blank"};
    for (const char* address : refused) {
        EXPECT_TRUE(IsRefusedPortalAddress(address)) << address;
    }
}

TEST(PortalAddressTest, HttpsAndBareHostNamesPassAsBefore) {
    const char* passed[] = {"https://192.168.1.1/",
                            "HTTPS://router/auth.asp",
                            "https://router:8443/x?y=z:1",
                            "https:router",
                            "router",
                            "router:8443",
                            "router:8443/auth.asp",
                            "router:443?a",
                            "router:443#top",
                            "router.example.com",
                            "router/path:x"};
    for (const char* address : passed) {
        EXPECT_FALSE(IsRefusedPortalAddress(address)) << address;
    }
}

}  // namespace
}  // namespace kestrun
