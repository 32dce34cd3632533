#!/usr/bin/env python3
"""Runs Kestrun.exe under Wine through its main job, with a simulated router hand-over.

The program starts idle and hidden; the portal's launcher shows its window with command
32772. Then a login made in an outside browser is simulated: the portal leaves Key.txt and
Setting.tmp ("CallByIE"=TRUE, the tunnel's far end 127.0.0.1) in the user's profile
directory. Within a second the program takes both over, writes its tunnel scripts and runs
the IPsec one (against stub tools that only log their arguments), and its echo finds the
far end answering. The demo opens the tray menu, Connectivity Info. and Diagnosis and ends
with Disconnect & Exit, which removes the tunnel again. Screenshots go to
build/win32/e2e/artifacts/demo.*.png; with --docs DIR the pictures of the main window, the
tray menu and Connectivity Info. are cut into DIR as well (the README's, in docs/).

Nothing leaves the machine: the stub tools do nothing, the only address probed is
127.0.0.1, and as root the whole run happens in a network namespace of its own."""

import argparse
import os
import secrets
import shutil
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import MAIN_TITLE, Paths, Session, ini_text, log  # noqa: E402
from steps import (IDCANCEL, IDOK, LINK_GREEN, RES, RESULT_CAPTION,  # noqa: E402
                   WARNING_CAPTION, numbers, tray_icon_spot, tray_tip, xdotool)

INFO_FIELDS = [("Login URL", RES.IDC_INFO_LOGIN_URL), ("Status", RES.IDC_INFO_LINK_STATUS),
               ("Time", RES.IDC_INFO_TIME), ("Received", RES.IDC_INFO_RECEIVED),
               ("Transmitted", RES.IDC_INFO_TRANSMITTED), ("Address", RES.IDC_INFO_IP_ADDRESS),
               ("Secure Mode", RES.IDC_INFO_SECURE_MODE)]


def hand_over_settings():
    """What the portal's page leaves in the profile directory after a login."""
    return ini_text({"IPSec": {
        "ModelName": "TRV-615",
        "Gateway": "192.0.2.1",
        "PreSharedKey": "demo-key",
        "RemoteLANIP": "127.0.0.1",
        "NetworkIP": "192.168.99.0",
        "Submask": "255.255.255.0",
        "OVPN_SerIP": "10.1.99.1",
        "OVPN_Ifconfig": "10.1.99.2",
        "OVPN_SerMask": "255.255.255.252",
        "OVPN_SerPort": "1194",
        "VPN Mode": "1",
        "ParseSettingFlag": "FALSE",
        "CallByIE": "TRUE",
        "URL0": "https://192.0.2.1/",
    }})


def idle_settings():
    """A program directory where no login is waiting."""
    return ini_text({"IPSec": {"CallByIE": "FALSE", "RemoveIPsec": "TRUE", "VPN Mode": "1"}})


def static_key():
    lines = [secrets.token_hex(16) for _ in range(16)]
    return ("-----BEGIN OpenVPN Static key V1-----\n" + "\n".join(lines) +
            "\n-----END OpenVPN Static key V1-----\n")


def namespace_possible():
    """A namespace needs root and the ip tool; a display reached over the network (ssh
    forwarding) is not reachable from inside one."""
    display = os.environ.get("DISPLAY", "")
    return (os.geteuid() == 0 and shutil.which("ip") is not None and
            (not display or display.startswith(":")))


def wait_for(condition, timeout, step=0.2):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() >= deadline:
            return False
        time.sleep(step)
    return True


def show(title, lines):
    log(title)
    for line in lines:
        print("    " + line, flush=True)


def take_over(s):
    """The simulated outside-browser login, and what the program makes of it."""
    log(f"outside-browser login: the portal leaves Key.txt and Setting.tmp (CallByIE=TRUE, "
        f"RemoteLANIP=127.0.0.1) in {s.profile_dir()}")
    key = static_key()
    s.write_profile_file("Key.txt", key)
    s.write_profile_file("Setting.tmp", hand_over_settings())
    started = time.monotonic()
    if not wait_for(lambda: s.read_program_file("Key.txt") == key.encode(), 10, 0.05):
        log("the program did not take the hand-over; its trace follows at the end")
        return False
    log(f"the profile watch copied Setting.tmp and Key.txt beside the program after "
        f"{time.monotonic() - started:.1f} s")
    # The teardown of an earlier tunnel and the service restart come first; the IPsec
    # script runs right after it is written, and is done once the stub log rests.
    wait_for(lambda: bool(s.read_program_file("Varnel_IPSecVPN.bat")), 20)
    seen = []

    def settled():
        seen.append(len(s.stub_calls()))
        return len(seen) > 10 and seen[-1] == seen[-11]

    wait_for(settled, 20)
    for name in ("Varnel_IPSecVPN.bat", "Varnel_openVPN.bat"):
        data = s.read_program_file(name) or b""
        show(f"script written: {name}", data.decode("latin-1").split("\n"))
    show("what the scripts asked of the system (stub tools' log):", s.stub_calls())
    return True


def connected(s):
    """The first answered echo: the success box, the tray tip and the status line."""
    text = s.box_text(RESULT_CAPTION, 15000)
    if text is None:
        log("no success box: the tunnel's far end did not answer")
        return
    log(f"the echo to 127.0.0.1 is answered; message box: {text!r}")
    log(f"screenshot: {s.screenshot('2-connected-box')}")
    s.press(RESULT_CAPTION)
    wait_for(lambda: s.window_count(RESULT_CAPTION) == 0, 5)
    status = s.helper("item-text", MAIN_TITLE, RES.IDC_STATIC_STATUS).stdout.strip()
    log(f"status line: {status!r}")
    try:
        log(f"tray tip: {tray_tip(s, '3-tray', LINK_GREEN)!r}")
    except harness.ScenarioFailed as failed:
        log(f"could not read the tray tip: {failed}")
    log(f"screenshot: {s.screenshot('4-main-window-connected')}")


def connectivity_info(s, docs):
    log(f"Connectivity Info. (the tray menu's command {RES.ID_MENUITEM_INFO})")
    s.helper("command", MAIN_TITLE, RES.ID_MENUITEM_INFO)
    if not wait_for(lambda: s.helper("item-style", RESULT_CAPTION,
                                     RES.IDC_INFO_TIME).returncode == 0, 10):
        log("Connectivity Info. did not open")
        return
    time.sleep(2.5)
    show("Connectivity Info. shows:",
         [f"{label}: {s.helper('item-text', RESULT_CAPTION, item).stdout.strip()}"
          for label, item in INFO_FIELDS])
    shot = s.screenshot("6-connectivity-info")
    log(f"screenshot: {shot}")
    rect = window_rect(s, RESULT_CAPTION)
    if docs and rect:
        crop(shot, rect, os.path.join(docs, "connectivity-info.png"))
    s.helper("command", RESULT_CAPTION, IDOK)
    wait_for(lambda: s.window_count(RESULT_CAPTION) == 0, 5)


def window_rect(s, title):
    """The window's screen rectangle (left, top, right, bottom), or None."""
    listing = s.helper("rect", title).stdout
    return numbers(listing, "window") if "window=" in listing else None


def crop(shot, rect, out):
    """Cuts rect out of a screenshot into out, for the pictures in docs/."""
    left, top, right, bottom = rect
    harness.run(["convert", shot, "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                 "+repage", out], timeout=30)
    log(f"picture: {out}")


def tray_menu(s, docs):
    """The menu of the icon in the notification area, opened by a real right-click."""
    try:
        x, y = tray_icon_spot(s, "5-tray", LINK_GREEN)
    except harness.ScenarioFailed as failed:
        log(f"no tray icon to click: {failed}")
        return
    log("the tray menu: a right-click on the icon")
    xdotool(s, "mousemove", x, y, "click", "3")
    listing = s.helper("menu", 5000).stdout
    if "rect=" not in listing:
        log("the tray menu did not open")
        return
    shot = s.screenshot("5-tray-menu")
    log(f"screenshot: {shot}")
    if docs:
        left, top, _, _ = numbers(listing, "rect")
        crop(shot, (max(left - 40, 0), max(top - 40, 0), 1024, 768),
             os.path.join(docs, "tray-menu.png"))
    # A click on the empty desktop closes the menu without choosing anything.
    xdotool(s, "mousemove", 40, 40, "click", "1")
    s.helper("menu-gone", 5000)


def diagnosis(s):
    log(f"Diagnosis (the tray menu's command {RES.ID_MENUITEM_DIAGNOSIS}), then Starts")
    s.helper("command", MAIN_TITLE, RES.ID_MENUITEM_DIAGNOSIS)
    if not wait_for(lambda: s.helper("item-style", RESULT_CAPTION, RES.IDC_DIAG_LIST).returncode
                    == 0, 10):
        log("Diagnosis did not open")
        return
    s.helper("command", RESULT_CAPTION, RES.IDC_DIAG_STARTS)
    # The tests take three seconds; the window answers again afterwards.
    time.sleep(5)
    rows = s.helper("list-rows", RESULT_CAPTION, RES.IDC_DIAG_LIST).stdout
    show("Diagnosis lists:", [line.split("|", 1)[1].replace("|", "  ->  ")
                              for line in rows.splitlines() if "|" in line])
    log(f"screenshot: {s.screenshot('7-diagnosis')}")
    s.helper("command", RESULT_CAPTION, IDCANCEL)
    wait_for(lambda: s.window_count(RESULT_CAPTION) == 0, 5)


def disconnect_and_exit(s, kestrun):
    log(f"Disconnect & Exit (the tray menu's command {RES.ID_MENUITEM_EXIT})")
    before = len(s.stub_calls())
    s.helper("command", MAIN_TITLE, RES.ID_MENUITEM_EXIT)
    text = s.box_text(RESULT_CAPTION, 15000)
    if text is not None:
        log(f"message box: {text!r}")
        log(f"screenshot: {s.screenshot('8-session-ended')}")
        s.press(RESULT_CAPTION)
    if kestrun.wait(30) is None:
        log("the program did not end within 30 s")
        return
    show("the teardown asked of the system:", s.stub_calls()[before:])
    log("Kestrun.exe ended; its tray icon is gone")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", default="build/win32")
    parser.add_argument("--windows", default="winxp")
    parser.add_argument("--docs", help="also cut the README's pictures into this folder")
    args = parser.parse_args()
    docs = os.path.abspath(args.docs) if args.docs else None
    paths = Paths(args.build_dir, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    if os.environ.get("DISPLAY"):
        log(f"using your display {os.environ['DISPLAY']}: a 1024x768 Wine desktop opens")
    else:
        log("no DISPLAY: running on a private Xvfb; look at the screenshots afterwards")
    netns = namespace_possible()
    if not netns:
        log("no network namespace (needs root and a local display); the program's only echo "
            "target is 127.0.0.1")
    with Session(paths, "demo", windows=args.windows, netns=netns) as s:
        s.place_stub_tools()
        s.install_policyagent()
        s.copy_supplied_scripts()
        s.write_program_file("Setting.tmp", idle_settings())
        s.write_profile_file("Setting.tmp", idle_settings())
        kestrun = s.start(label="kestrun")
        if not s.wait_window(MAIN_TITLE, 30000):
            log(f"the program did not open its window; trace: {kestrun.trace()}")
            return 1
        s.close_boxes(WARNING_CAPTION, 5, quiet_for=1.5)
        log("Kestrun.exe runs idle, its main window hidden and its icon in the tray")
        log(f"the portal's launcher shows the window: WM_COMMAND {RES.ID_SHOW_MAIN}")
        s.helper("command", MAIN_TITLE, RES.ID_SHOW_MAIN)
        time.sleep(1.5)
        shot = s.screenshot("1-main-window")
        log(f"screenshot: {shot}")
        rect = window_rect(s, MAIN_TITLE)
        if docs and rect:
            crop(shot, rect, os.path.join(docs, "main-window.png"))

        if take_over(s):
            connected(s)
            tray_menu(s, docs)
            connectivity_info(s, docs)
            diagnosis(s)
        if os.environ.get("DISPLAY") and sys.stdin.isatty():
            input("press Enter to disconnect and exit ")
        disconnect_and_exit(s, kestrun)
        quiet = "Timer3:CallByIE=[FALSE]\n"
        trace = kestrun.trace()
        show(f"debug trace of the program (without its {trace.count(quiet)} quiet profile-watch "
             "lines):", [t.rstrip("\n").replace("\n", " | ") for t in trace if t != quiet])
    log("demo ended (wineserver -k of the demo prefix)")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except harness.ScenarioFailed as failed:
        print(f"demo failed: {failed}")
        sys.exit(1)
