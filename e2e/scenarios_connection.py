"""The main job end to end, against the stub tools and the stub PolicyAgent service: a login
made in an outside browser becomes a watched IPsec tunnel, "-r" removes it again, and a
tunnel that never answers falls back to OpenVPN and is finally given up.

Echoes go to 127.0.0.1 or to addresses of the test's own namespace that do not answer."""

import os
import time

from harness import MAIN_TITLE, check, log, read_ppm, scenario
from steps import (CONNECTED_TEXT, EXIT_BOX_TEXT, KEY_TEXT, LINK_GREEN, NO_LINK_RED, RES,
                   RESULT_CAPTION, SILENT_LAN, TRAY_AREA, TRAY_WINDOW, count_near,
                   dismiss_setup_boxes, end_by_remove, expected_setup_calls,
                   expected_teardown_calls, flags, hand_over, ipsec_script, openvpn_script,
                   quiet_profile, start_instance, start_watching, stub_line, tray_tip,
                   wait_calls, wait_for)

# Inside the namespace nothing answers this one either, like SILENT_LAN.
SILENT_OVPN = "192.0.2.8"


def script_calls():
    return [stub_line(line) for line in ipsec_script("winxp").split("\n")]


@scenario("connection_outside_browser_login", timeout=150, labels=("e2e", "connection"))
def outside_browser_login(s):
    process = start_watching(s)
    check(s.stub_calls() == [], f"a tunnel was built before the login: {s.stub_calls()}")

    # The portal's page leaves the key first and then the settings that announce it.
    s.write_profile_file("Key.txt", KEY_TEXT)
    s.write_profile_file("Setting.tmp", hand_over(call_by_ie="TRUE", RemoteLANIP="127.0.0.1"))
    took = wait_for("the key beside the program",
                    lambda: s.read_program_file("Key.txt") == KEY_TEXT.encode(), 2.0, 0.05)
    log(f"the profile copy and Key.txt were taken over after {took:.1f} s")
    build = expected_teardown_calls("winxp") + script_calls()
    calls = wait_calls(s, len(build), 20)
    check(calls == build, f"calls of the build\n{calls}\nexpected\n{build}")
    check(s.read_program_file("Varnel_IPSecVPN.bat") == ipsec_script("winxp").encode(),
          "Varnel_IPSecVPN.bat differs")
    check(s.read_program_file("Varnel_openVPN.bat") == openvpn_script(),
          "Varnel_openVPN.bat differs")
    # Wine turns the files' access lists into their mode, and only an entry for Everyone
    # into the bits for others: none means nobody but administrators and the system.
    for name in ("Setting.tmp", "Key.txt", "Varnel_IPSecVPN.bat", "Varnel_openVPN.bat"):
        mode = os.stat(os.path.join(s.program_dir, name)).st_mode & 0o777
        check(mode & 0o007 == 0, f"{name} is open to others: mode {mode:o}")

    # The second poll reads the first echo's answer; the box stays open over further polls,
    # which must not show it again.
    text = s.box_text(RESULT_CAPTION, 15000)
    check(text == CONNECTED_TEXT, f"box {text!r}")
    # A profile-watch tick has run inside the box by now, the next poll has not.
    time.sleep(1.5)
    status = s.helper("item-text", MAIN_TITLE, RES.IDC_STATIC_STATUS).stdout.strip()
    check(status == "Connection Success", f"status line under the success box {status!r}")
    time.sleep(5)
    check(s.window_count(RESULT_CAPTION) == 1,
          f"{s.window_count(RESULT_CAPTION)} boxes after two more polls")
    s.screenshot("connected-box")
    s.press(RESULT_CAPTION)
    again = s.close_boxes(RESULT_CAPTION, 3.5)
    check(again == [], f"the success box came again: {again}")

    tip = tray_tip(s, "connected", LINK_GREEN)
    check(tip == "Connected to : 127.0.0.1", f"tray tip {tip!r}")
    status = s.helper("item-text", MAIN_TITLE, RES.IDC_STATIC_STATUS).stdout.strip()
    check(status == "Connection Success", f"status line {status!r}")
    for name, copy in (("working", s.read_program_file("Setting.tmp")),
                       ("profile", s.read_profile_file("Setting.tmp"))):
        values = flags(copy)
        check(values.get("CallByIE") == "FALSE" and values.get("VPN Mode") == "1" and
              values.get("RemoveIPsec") == "FALSE", f"{name} copy: {values}")

    # The portal's log-out while the tunnel answers.
    box = end_by_remove(s, process)
    check(box == EXIT_BOX_TEXT, f"exit box {box!r}")
    teardown = s.stub_calls()[len(build):]
    check(teardown == expected_teardown_calls("winxp"), f"teardown calls {teardown}")
    check(s.window_count(TRAY_WINDOW) == 0, "the tray's window is still there")
    time.sleep(0.5)
    shot = read_ppm(s.screenshot("ended"))
    icon = count_near(shot, TRAY_AREA, LINK_GREEN) + count_near(shot, TRAY_AREA, NO_LINK_RED)
    check(icon < 3, f"{icon} pixels of a tray icon after the end")


@scenario("connection_failing_tunnel_gives_up", timeout=300, labels=("e2e", "connection"))
def failing_tunnel(s):
    s.place_stub_tools()
    s.install_policyagent()
    s.write_program_file("Setting.tmp", hand_over(
        call_by_ie="TRUE", RemoteLANIP=SILENT_LAN, OVPN_SerIP=SILENT_OVPN))
    quiet_profile(s)
    process = start_instance(s)
    setup = expected_setup_calls("winxp")
    wait_for("the IPsec script at set-up", lambda: len(s.stub_calls()) >= len(setup), 30)
    built = time.monotonic()
    check(s.stub_calls() == setup, f"set-up calls {s.stub_calls()}")
    check(not dismiss_setup_boxes(s, quiet_for=1.0), "set-up warned")
    # The first poll comes 3 s after the build.
    time.sleep(max(0.0, built + 4 - time.monotonic()))
    tip = tray_tip(s, "ipsec-silent")
    check(tip == f"Can't Connect to : {SILENT_LAN}", f"tray tip {tip!r}")

    # 15 unanswered polls of 3 s: IPsec is cleared and the OpenVPN script started.
    check(s.wait_window("OpenVPN stub", 75000), "no OpenVPN window")
    switched = time.monotonic()
    log(f"OpenVPN started {switched - built:.1f} s after the IPsec build")
    check(switched - built >= 42, f"the switch came after {switched - built:.1f} s")
    switch_calls = s.stub_calls()[len(setup):]
    expected = expected_teardown_calls("winxp") + [stub_line(openvpn_script(SILENT_OVPN).decode())]
    check(switch_calls == expected, f"calls at the switch\n{switch_calls}\nexpected\n{expected}")
    check(flags(s.read_program_file("Setting.tmp")).get("VPN Mode") == "2",
          "VPN Mode is not 2 after the switch")
    # The tick that switched already names the OpenVPN server.
    tip = tray_tip(s, "openvpn-silent")
    check(tip == f"Can't Connect to : {SILENT_OVPN}", f"tray tip after the switch {tip!r}")

    # 20 more: the tunnel is deleted and the program ends.
    text = s.box_text(RESULT_CAPTION, 75000)
    gave_up = time.monotonic()
    log(f"gave up {gave_up - switched:.1f} s after the switch")
    check(text == EXIT_BOX_TEXT, f"box {text!r}")
    check(gave_up - switched >= 57, f"the give-up came after {gave_up - switched:.1f} s")
    check(s.helper("gone", "OpenVPN stub", 5000).returncode == 0,
          "the OpenVPN window is still there")
    s.screenshot("gave-up")
    trace = process.trace()
    check(trace.index("OnButtonDel()\n") < trace.index("CKestrunDlg::OnMenuitemExit()\n"),
          f"order of the give-up in {trace}")
    s.press(RESULT_CAPTION)
    check(process.wait(15) is not None, "the program did not end")
    check(s.stub_calls()[len(setup) + len(expected):] == ["openvpn closed"],
          f"calls after the switch {s.stub_calls()[len(setup) + len(expected):]}")
    check(s.window_count(MAIN_TITLE) == 0, "the main window is still there")
