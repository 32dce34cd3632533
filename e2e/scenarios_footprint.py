"""The browser is made when it is first needed: a client that stays hidden through a login
made in an outside browser has no browser engine among its modules, and showing the window
afterwards brings the browser into its place.

The module list is the Wine process's own mappings (/proc/<pid>/maps): each DLL a Windows
process loads is a mapped file there."""

import os
import time

from harness import MAIN_TITLE, check, scenario
from steps import (dismiss_setup_boxes, end_by_remove, expected_teardown_calls, hand_over,
                   ipsec_script, quiet_settings, start_instance, wait_calls)

# The engine of the web browser control; any one of them mapped means it was loaded.
BROWSER_ENGINE = ("mshtml.dll", "ieframe.dll", "shdocvw.dll")
WS_CLIPCHILDREN = 0x02000000
KEY_TEXT = ("-----BEGIN OpenVPN Static key V1-----\n0123456789abcdef\n"
            "-----END OpenVPN Static key V1-----\n")


def modules(pid):
    """The lower-case file names of the DLLs mapped into the process."""
    names = set()
    with open(f"/proc/{pid}/maps", encoding="utf-8", errors="replace") as f:
        for line in f:
            fields = line.split(None, 5)
            if len(fields) == 6 and fields[5].strip().lower().endswith(".dll"):
                names.add(os.path.basename(fields[5].strip()).lower())
    return names


def engine_in(pid):
    return sorted(set(BROWSER_ENGINE) & modules(pid))


@scenario("footprint_browser_when_shown", netns=True, timeout=120,
          labels=("e2e", "footprint"))
def browser_when_shown(s):
    s.place_stub_tools()
    s.install_policyagent()
    quiet_settings(s)
    process = start_instance(s)
    dismiss_setup_boxes(s, quiet_for=1.0)
    check(not s.window_visible(MAIN_TITLE), "the main window is visible after start")

    # An outside-browser login: the profile watch copies it and builds the tunnel, hidden.
    before = len(s.stub_calls())
    s.write_profile_file("Key.txt", KEY_TEXT)
    s.write_profile_file("Setting.tmp", hand_over(call_by_ie="TRUE"))
    build = len(expected_teardown_calls("winxp")) + len(ipsec_script("winxp").split("\n"))
    calls = wait_calls(s, before + build, 30)
    check(len(calls) >= before + build, f"no tunnel built from the profile copy: {calls}")
    s.close_boxes("Varnel Ostrimel", 5, quiet_for=1.0)
    check("Timer3:CallByIE=[TRUE]\n" in process.trace(), "the profile watch saw no login")
    check(not s.window_visible(MAIN_TITLE), "the login showed the main window")
    loaded = engine_in(process.popen.pid)
    check(not loaded, f"the hidden client has the browser engine loaded: {loaded}")

    s.helper("command", MAIN_TITLE, 32772)
    deadline = time.monotonic() + 10
    while not engine_in(process.popen.pid) and time.monotonic() < deadline:
        time.sleep(0.2)
    check(s.window_visible(MAIN_TITLE), "the show command did not show the main window")
    loaded = engine_in(process.popen.pid)
    check(loaded, "showing the window loaded no browser engine")
    # The browser in its place: the control hosting it keeps its window off the placeholder.
    style = s.helper("item-style", MAIN_TITLE, 1001).stdout.strip()
    check(style.startswith("style=0x") and int(style[8:], 16) & WS_CLIPCHILDREN,
          f"control 1001 holds no browser: {style}")
    end_by_remove(s, process)
