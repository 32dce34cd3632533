"""The real web browser control hosted by the platform layer's container (browser_probe),
against the portal stand-in (tools/portal_standin.py) inside the test's own network
namespace, where the bare host name "router" resolves to the namespace's own address.

Wine's control has no Gecko here: it requests the page and then reports NavigateError, so
DocumentComplete never comes; DownloadComplete does."""

import os
import re
import subprocess
import sys

from harness import NetNamespace, check, log, scenario
from steps import PORTAL_HOST, VARNEL, portal_standin

PORTAL_URL = f"http://{NetNamespace.ADDRESS}"


def post_login(s):
    """The login form's post, sent from inside the namespace as a browser with a working
    page would send it."""
    script = ("import urllib.request; urllib.request.urlopen(urllib.request.Request("
              f"'{PORTAL_URL}/auth.asp', data=b'user=admin&password=secret'), timeout=10)")
    subprocess.run(s.netns.wrap([sys.executable, "-c", script]), check=True, timeout=30)


def request_to(requests, request_line):
    found = [r for r in requests if r["request_line"] == request_line]
    check(len(found) == 1, f"expected one '{request_line}', the stand-in saw "
          f"{[r['request_line'] for r in requests]}")
    return found[0]


@scenario("browser_navigate_with_header", netns=True, timeout=120, labels=("e2e", "browser"))
def navigate_with_header(s):
    s.netns.add_host(PORTAL_HOST, NetNamespace.ADDRESS)
    s.write_program_file("Setting.tmp", "[IPSec]\r\nURL0=https://router\r\n")
    setting = os.path.join(s.program_dir, "Setting.tmp")
    with portal_standin(s, setting, ["Gateway=192.0.2.9"]) as requests:
        probe = s.wine([s.paths.tool("browser_probe"), "-t", "3", "-p",
                        f"{PORTAL_HOST}/plain.html", f"{PORTAL_HOST}/auth.asp?x=1"],
                       timeout=90, check_rc=False)
        log(f"browser_probe ({probe.returncode}):\n{probe.stdout}")
        check(probe.returncode == 0, "browser_probe failed")
        seen = requests()
        post_login(s)

    # The control fills the child control and follows it; disabling the child control
    # takes the focus and the mouse away from the control.
    out = probe.stdout
    for label in ("attached", "grown"):
        sizes = re.search(rf"^layout {label} .* size (\S+) child (\S+)$", out, re.M)
        check(sizes and sizes.group(1) == sizes.group(2), f"layout {label}: {sizes}")
    for line in ("second attach refused",
                 "enabled control-enabled=1 focus-inside=1 clicks-inside=1",
                 "disabled focus-kept=0",
                 "disabled control-enabled=0 focus-inside=0 clicks-inside=0",
                 "enabled again control-enabled=1 focus-inside=1 clicks-inside=1",
                 "OnBrowserEvent 104 ",
                 f"final LocationURL http://{PORTAL_HOST}/auth.asp?x=1",
                 "closed LocationURL "):
        check(line in out.splitlines(), f"browser_probe did not report '{line}'")

    # Only the navigation with headers carries the extra header line.
    plain = request_to(seen, "GET /plain.html HTTP/1.1")
    portal = request_to(seen, "GET /auth.asp?x=1 HTTP/1.1")
    check(["Host", PORTAL_HOST] in portal["headers"], f"Host header: {portal['headers']}")
    check(VARNEL in portal["headers"], f"no '{VARNEL[0]}: {VARNEL[1]}': {portal['headers']}")
    check(not any(name.lower() == "varnel" for name, _ in plain["headers"]),
          f"plain navigation carried the header: {plain['headers']}")

    # The stand-in's login leaves the tunnel keys and the flag beside what was there.
    text = s.read_program_file("Setting.tmp").decode("latin-1")
    for line in ("[IPSec]", "URL0=https://router", "Gateway=192.0.2.9",
                 "RemoteLANIP=10.10.0.1", "ParseSettingFlag=TRUE"):
        check(f"{line}\r\n" in text, f"Setting.tmp lacks '{line}': {text!r}")
