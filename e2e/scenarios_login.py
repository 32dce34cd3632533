"""The login in the main window, with the real browser control: the address history shown at
set-up and stored by a set-up build, the address test of Connect, and a login address that
reaches the portal stand-in with the request header.

Inside the test's own namespace the bare host name "router" resolves to the namespace's own
address, where the stand-in listens on port 80. Wine's control has no Gecko here, so no page
completes and no settings wait starts: that part is proven by the native tests."""

import re
import time

from harness import MAIN_TITLE, NetNamespace, check, ini_text, log, scenario
from steps import (PORTAL_HOST, RES, VARNEL, WARNING_CAPTION, dismiss_setup_boxes, flags,
                   hand_over, portal_standin, quiet_profile, quiet_settings, show_main,
                   start_instance, wait_for)

WS_DISABLED = 0x08000000
INVALID_URL_TEXT = "The URL is invalid!!!\nPlease Input Again."
LINKING = "Linking Connection"
GATEWAY = "192.0.2.9"
# The stored history, oldest first; the second entry names the router's own address.
HISTORY = ["https://192.0.2.1/", f"https://{GATEWAY}/login.asp", "https://portal.example/"]


def combo(s):
    """The address box's entries, selected index and edit text."""
    out = s.helper("combo", MAIN_TITLE, RES.IDC_COMBO_URL).stdout.splitlines()
    header = re.match(r"count=(-?\d+) sel=(-?\d+)$", out[0]) if out else None
    check(header is not None, f"could not read the address box: {out}")
    entries = [line.split("|", 1)[1] for line in out[1:] if "|" in line]
    edit = next((line[5:] for line in out if line.startswith("edit=")), None)
    check(len(entries) == int(header.group(1)), f"address box listing {out}")
    return entries, int(header.group(2)), edit


def enabled(s, item):
    style = s.helper("item-style", MAIN_TITLE, item).stdout
    match = re.search(r"style=0x([0-9a-f]+)", style)
    check(match is not None, f"no style of {item}: {style!r}")
    return not int(match.group(1), 16) & WS_DISABLED


def status_line(s):
    return s.helper("item-text", MAIN_TITLE, RES.IDC_STATIC_STATUS).stdout.rstrip("\n")


def settings_values(s):
    text = s.read_program_file("Setting.tmp").decode("latin-1")
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


def type_and_connect(s, address):
    """Types the address into the box, which enables Connect, and presses Connect."""
    check(s.helper("type", MAIN_TITLE, RES.IDC_COMBO_URL, address).returncode == 0,
          f"could not type {address!r}")
    check(enabled(s, RES.IDC_BUTTON_CONNECT), f"typing {address!r} did not enable Connect")
    s.helper("command", MAIN_TITLE, RES.IDC_BUTTON_CONNECT)


def refused(s, process, address, requests):
    type_and_connect(s, address)
    # Connect shows the message page for a second before it tests the address.
    text = s.box_text(WARNING_CAPTION, 10000)
    check(text == INVALID_URL_TEXT, f"{address!r}: box {text!r}")
    s.screenshot("refused-" + re.sub(r"\W", "_", address))
    s.press(WARNING_CAPTION)
    deadline = time.monotonic() + 5
    while not enabled(s, RES.IDC_BUTTON_CONNECT):
        check(time.monotonic() < deadline, f"Connect stayed disabled after {address!r}")
        time.sleep(0.2)
    check(requests() == [], f"{address!r} reached the stand-in: {requests()}")
    check(status_line(s) != LINKING, f"status after {address!r}: {status_line(s)!r}")
    check(address not in process.trace(), f"{address!r} was traced as a login address")


def passed(s, process, address):
    """Connect with an address that passes the test; returns the "StartTime" it wrote."""
    before = settings_values(s).get("StartTime")
    type_and_connect(s, address)
    check(process.wait_trace(address, 10), f"{address!r} not traced: {process.trace()}")
    deadline = time.monotonic() + 5
    while settings_values(s).get("StartTime") == before or status_line(s) != LINKING:
        check(time.monotonic() < deadline,
              f"{address!r}: status {status_line(s)!r}, settings {settings_values(s)}")
        time.sleep(0.2)
    check(s.helper("find", WARNING_CAPTION).returncode == 1, f"{address!r} was refused")
    return settings_values(s)["StartTime"]


@scenario("login_history_and_connect", timeout=150, labels=("e2e", "login"))
def history_and_connect(s):
    s.netns.add_host(PORTAL_HOST, NetNamespace.ADDRESS)
    s.place_stub_tools()
    s.install_policyagent()
    # "CallByIE" absent: set-up builds the tunnel and saves the settings with the history.
    # The far end does not answer, which leaves the status line alone during a login.
    values = {f"URL{i}": url for i, url in enumerate(HISTORY)}
    values.update({"Gateway": GATEWAY, "RemoteLANIP": "192.0.2.7", "VPN Mode": "1"})
    s.write_program_file("Setting.tmp", ini_text({"IPSec": values}))
    quiet_profile(s)
    with portal_standin(s) as requests:
        process = start_instance(s)
        check(process.wait_trace(f"SaveSetting:URL2={HISTORY[2]}\n", 20),
              f"set-up stored no history: {process.trace()}")
        warnings = dismiss_setup_boxes(s, quiet_for=1.0)
        check(not warnings, f"set-up warned: {warnings}")

        # Filled from the file in its order, the entry naming the gateway selected.
        entries, selected, edit = combo(s)
        check(entries == HISTORY and selected == 1 and edit == HISTORY[1],
              f"address box {entries}, selected {selected}, edit {edit!r}")
        stored = [t for t in process.trace() if t.startswith("SaveSetting:URL")]
        check(stored == [f"SaveSetting:URL{i}={url}\n" for i, url in enumerate(HISTORY)],
              f"history stored as {stored}")
        keys = {k: v for k, v in settings_values(s).items() if k.startswith("URL")}
        check(keys == {f"URL{i}": url for i, url in enumerate(HISTORY)}, f"URL keys {keys}")
        # The set-up build leaves Connect disabled until the address changes.
        check(not enabled(s, RES.IDC_BUTTON_CONNECT), "Connect enabled after the set-up build")

        show_main(s)
        s.screenshot("history")
        for address in ("192.0.2.2", "http://router/"):
            refused(s, process, address, requests)

        # The scheme's letter case does not matter. The stand-in does not serve https, so
        # nothing reaches its log; the trace and the status line show the login began.
        passed(s, process, "HTTPS://router/")
        check(requests() == [], f"the https login reached the stand-in: {requests()}")

        # A bare host name after "h" passes; the browser puts "http://" in front.
        start_time = passed(s, process, "router/auth.asp")
        deadline = time.monotonic() + 15
        while not requests():
            check(time.monotonic() < deadline, "the browser did not request the stand-in")
            time.sleep(0.2)
        s.screenshot("linking")
        seen = [r for r in requests() if r["request_line"] == "GET /auth.asp HTTP/1.1"]
        check(len(seen) == 1, f"stand-in requests {[r['request_line'] for r in requests()]}")
        check(VARNEL in seen[0]["headers"] and ["Host", PORTAL_HOST] in seen[0]["headers"],
              f"request headers {seen[0]['headers']}")
        log(f"the stand-in saw {seen[0]['request_line']} with {seen[0]['headers']}")

        values = settings_values(s)
        for key, value in (("CallByIE", "FALSE"), ("VPN Mode", "1"), ("RemoveIPsec", "FALSE"),
                           ("ShowAppletTitle", "FALSE")):
            check(values.get(key) == value, f"{key}={values.get(key)!r} after Connect")
        check(re.fullmatch(r"-?\d+", start_time) and start_time != "0",
              f"StartTime={start_time!r}")
        check(not enabled(s, RES.IDC_BUTTON_CONNECT) and not enabled(s, RES.IDC_BUTTON_DEL),
              "Connect or Delete VPN enabled during the login")
        check(status_line(s) == LINKING, f"status {status_line(s)!r}")
        check(process.running(), "the program ended")


# Addresses that would make the browser, inside the client's process, run another protocol
# handler than https.
OTHER_SCHEMES = ["javascript:alert(1)", "vbscript:msgbox(1)", "res://shdoclc.dll/about.htm",
                 "mk:@MSITStore:C:\\x.chm::/a.htm", "its:C:\\x.chm::/a.htm",
                 "mhtml:file://C:\\x.mht", "file:///C:/x.htm"]


@scenario("login_refuses_other_schemes", timeout=150, labels=("e2e", "login"))
def refuses_other_schemes(s):
    s.netns.add_host(PORTAL_HOST, NetNamespace.ADDRESS)
    s.place_stub_tools()
    s.install_policyagent()
    quiet_settings(s)
    # A login planted in the profile copy whose history holds other schemes around two
    # honest entries. Each refused one names the gateway, the last one too, which the fill
    # would choose if it were offered.
    kept = [f"https://{GATEWAY}/login.asp", "https://portal.example/"]
    history = [f"javascript:void(0)//{GATEWAY}", kept[0], f"vbscript:x//{GATEWAY}", kept[1],
               f"mk:@MSITStore:C:\\{GATEWAY}.chm::/a.htm"]
    with portal_standin(s) as requests:
        process = start_instance(s)
        check(not dismiss_setup_boxes(s, quiet_for=1.0), "set-up warned")
        s.write_profile_file("Setting.tmp", hand_over(
            call_by_ie="TRUE", Gateway=GATEWAY,
            **{f"URL{i}": url for i, url in enumerate(history)}))
        wait_for("the pickup", lambda: flags(s.read_profile_file("Setting.tmp")).get(
            "CallByIE") == "FALSE", 10)
        entries, selected, edit = combo(s)
        check(entries == kept and selected == 0 and edit == kept[0],
              f"address box {entries}, selected {selected}, edit {edit!r}")

        show_main(s)
        for address in OTHER_SCHEMES:
            refused(s, process, address, requests)
        # A bare host name with a port names no scheme.
        passed(s, process, f"{PORTAL_HOST}:80/auth.asp")
