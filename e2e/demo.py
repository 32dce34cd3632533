#!/usr/bin/env python3
"""Runs Kestrun.exe under Wine with a simulated router hand-over and shows its window.

A login at the router's portal leaves Setting.tmp (tunnel parameters, CallByIE=TRUE) beside
the program; at start the program builds the IPsec tunnel from it: it deletes old routes,
writes its scripts and runs them, here against stub tools that only log their arguments.
The copy that an outside browser's login leaves in the user's profile directory (with
Key.txt) is placed too; the profile watch that picks it up comes with the connection
sequencer. The launcher then shows the main window with command 32772 (screenshots), and
"-r" ends the program, which removes the tunnel again. No packet leaves the machine: the
stub tools do nothing, and the only address the program would probe is 127.0.0.1."""

import argparse
import os
import secrets
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import MAIN_TITLE, Paths, Session, ini_text, log  # noqa: E402

ID_SHOW_MAIN = 32772


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
        s.place_stub_tools()
        s.install_policyagent()
        log("router hand-over: Setting.tmp (CallByIE=TRUE) beside the program, and the "
            f"outside-browser copy with Key.txt in {s.profile_dir()}")
        s.write_program_file("Setting.tmp", hand_over_settings())
        s.write_profile_file("Setting.tmp", hand_over_settings())
        s.write_profile_file("Key.txt", static_key())
        kestrun = s.start(label="kestrun")
        if not s.wait_window(MAIN_TITLE, 30000):
            log(f"the program did not open its window; trace: {kestrun.trace()}")
            return 1
        log("Kestrun.exe runs with its main window hidden and its icon in the tray")
        s.close_boxes("Warnning", 4)

        log(f"the portal's launcher shows the window: WM_COMMAND {ID_SHOW_MAIN}")
        s.helper("command", MAIN_TITLE, ID_SHOW_MAIN)
        time.sleep(2)
        log(f"screenshot: {s.screenshot('shown')}")
        s.close_boxes("Warnning", args.seconds, while_running=kestrun.running)
        if os.environ.get("DISPLAY") and sys.stdin.isatty():
            input("press Enter to end the demo ")

        log("the portal's log-out: Kestrun.exe -r")
        remover = s.start(["-r"], label="remover")
        remover.wait(30)
        s.close_boxes("Varnel Ostrimel", 30, while_running=kestrun.running)
        log("what the program asked of the system (stub tools' log):")
        for call in s.stub_calls():
            print("    " + call)
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
