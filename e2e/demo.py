#!/usr/bin/env python3
"""Runs Kestrun.exe under Wine with a simulated router hand-over and shows its window.

The portal of a login made in an outside browser leaves Setting.tmp (CallByIE=TRUE) and
Key.txt in the user's profile directory; the program's profile watch picks them up within a
second. Then the portal's launcher shows the main window with command 32772, and a
screenshot is saved. The only address the program probes is 127.0.0.1 (RemoteLANIP), so no
packet leaves the machine."""

import argparse
import os
import secrets
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import MAIN_TITLE, Paths, Session, ini_text, log  # noqa: E402

ID_SHOW_MAIN = 32772
# Stub external tools, when built: where the program expects each one.
STUB_TOOLS = {"route": "route.exe", "ipseccmd": "ipseccmd.exe", "ipsecpol": "ipsecpol.exe",
              "netsh": "netsh.exe", "openvpn": "openVPN\\openvpn.exe"}


def hand_over_settings():
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


def static_key():
    lines = [secrets.token_hex(16) for _ in range(16)]
    return ("-----BEGIN OpenVPN Static key V1-----\n" + "\n".join(lines) +
            "\n-----END OpenVPN Static key V1-----\n")


def close_boxes(s, title, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        text = s.box_text(title, 500)
        if text is not None:
            log(f"message box '{title}': {text!r} (pressing OK)")
            s.press(title)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build-dir", default="build/win32")
    parser.add_argument("--windows", default="winxp")
    parser.add_argument("--seconds", type=float, default=12,
                        help="how long to let the program run after showing the window")
    args = parser.parse_args()
    paths = Paths(args.build_dir, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    if os.environ.get("DISPLAY"):
        log(f"using your display {os.environ['DISPLAY']}: a 1024x768 Wine desktop opens")
    else:
        log("no DISPLAY: running on a private Xvfb; look at the screenshots afterwards")
    with Session(paths, "demo", windows=args.windows) as s:
        for tool, place in STUB_TOOLS.items():
            if os.path.exists(paths.tool(tool)):
                with open(paths.tool(tool), "rb") as f:
                    s.write_program_file(place, f.read())
        s.write_program_file("Setting.tmp", ini_text({"IPSec": {
            "CallByIE": "FALSE", "RemoveIPsec": "TRUE", "VPN Mode": "1"}}))
        kestrun = s.start(label="kestrun")
        if not s.wait_window(MAIN_TITLE, 30000):
            log(f"the program did not open its window; trace: {kestrun.trace()}")
            return 1
        log("Kestrun.exe runs with its main window hidden")
        close_boxes(s, "Warnning", 3)

        log("router hand-over: Setting.tmp (CallByIE=TRUE) and Key.txt into "
            f"{s.profile_dir()}")
        s.write_profile_file("Setting.tmp", hand_over_settings())
        s.write_profile_file("Key.txt", static_key())
        close_boxes(s, "Warnning", 4)

        log(f"the portal's launcher shows the window: WM_COMMAND {ID_SHOW_MAIN}")
        s.helper("command", MAIN_TITLE, ID_SHOW_MAIN)
        time.sleep(2)
        shot = s.screenshot("shown")
        log(f"screenshot: {shot}")
        deadline = time.monotonic() + args.seconds
        while time.monotonic() < deadline and kestrun.running():
            close_boxes(s, "Varnel Ostrimel", 1)
        shot = s.screenshot("later")
        log(f"screenshot: {shot}")
        if os.environ.get("DISPLAY") and sys.stdin.isatty():
            input("press Enter to end the demo ")
        log("debug trace of the program:")
        for text in kestrun.trace():
            print("    " + text.rstrip("\n"))
    log("demo ended (wineserver -k of the demo prefix)")
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main())
    except harness.ScenarioFailed as failed:
        print(f"demo failed: {failed}")
        sys.exit(1)
