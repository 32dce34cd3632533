"""Nothing a run started outlives its end: a login of a mode the client does not know builds
IPsec and is removed again, an OpenVPN login replaced by an IPsec one leaves no OpenVPN
program behind, and a script that never ends is ended with what it started, after which the
program goes on.

Every run happens in a network namespace of its own, against the stub tools, which record
each call in stub-calls.log; the tunnels' far ends never answer there."""

import time

from harness import check, log, scenario
from steps import (EXIT_BOX_TEXT, KEY_TEXT, RESULT_CAPTION, dismiss_setup_boxes,
                   ended_by_remove, expected_setup_calls, expected_teardown_calls, flags,
                   hand_over, ipsec_script, openvpn_script, quiet_profile, quiet_settings,
                   start_instance, start_watching, stub_line, wait_calls, wait_for)

OPENVPN_WINDOW = "OpenVPN stub"
OPENVPN_CLOSED = "openvpn closed"
IDLE_WATCH = "Timer3:CallByIE=[FALSE]\n"
# How long the client waits for a script before it ends it.
COMMAND_BOUND_S = 120


def ipsec_calls():
    return [stub_line(line) for line in ipsec_script("winxp").split("\n")]


def modes(s):
    """ "VPN Mode" of the working copy and of the profile copy."""
    return (flags(s.read_program_file("Setting.tmp")).get("VPN Mode"),
            flags(s.read_profile_file("Setting.tmp")).get("VPN Mode"))


@scenario("leftovers_unknown_mode_removed", timeout=150, labels=("e2e", "connection"))
def unknown_mode_removed(s):
    s.place_stub_tools()
    s.install_policyagent()
    # A mode of no tunnel kind, handed over in the working copy at set-up.
    s.write_program_file("Setting.tmp", hand_over("7", call_by_ie="TRUE"))
    quiet_profile(s)
    process = start_instance(s)
    setup = expected_setup_calls("winxp")
    calls = wait_calls(s, len(setup), 30)
    check(not dismiss_setup_boxes(s, quiet_for=1.0), "set-up warned")
    check(calls == setup, f"set-up calls\n{calls}\nexpected\n{setup}")
    check(modes(s)[0] == "1", f"VPN Mode after set-up {modes(s)}")
    check(process.wait_trace(IDLE_WATCH, 10), "the profile watch is not running")

    # An empty mode through the profile copy: the set-up's tunnel goes first, as an IPsec
    # one, then the new one is built.
    pickup = expected_teardown_calls("winxp") + ipsec_calls()
    s.write_profile_file("Key.txt", KEY_TEXT)
    s.write_profile_file("Setting.tmp", hand_over("", call_by_ie="TRUE"))
    calls = wait_calls(s, len(setup) + len(pickup), 20)[len(setup):]
    check(calls == pickup, f"calls of the pickup\n{calls}\nexpected\n{pickup}")
    wait_for("the modes written", lambda: modes(s) == ("1", "1"), 5)

    ended_by_remove(s, process, len(setup) + len(pickup))


@scenario("leftovers_openvpn_then_ipsec_login", timeout=150, labels=("e2e", "connection"))
def openvpn_then_ipsec(s):
    process = start_watching(s)

    # The working copy said IPsec at start, so its teardown runs before OpenVPN starts.
    first = expected_teardown_calls("winxp") + [stub_line(openvpn_script().decode())]
    s.write_profile_file("Key.txt", KEY_TEXT)
    s.write_profile_file("Setting.tmp", hand_over("2", call_by_ie="TRUE"))
    calls = wait_calls(s, len(first), 20)
    check(calls == first, f"calls of the OpenVPN pickup\n{calls}\nexpected\n{first}")
    check(s.wait_window(OPENVPN_WINDOW, 10000), "no OpenVPN window")
    wait_for("the OpenVPN pickup's flags",
             lambda: flags(s.read_profile_file("Setting.tmp")).get("CallByIE") == "FALSE", 10)
    check(modes(s) == ("2", "2"), f"modes after the OpenVPN pickup {modes(s)}")

    # The IPsec login: OpenVPN is closed by its window (the stub notes that on its own
    # time), and the IPsec script runs.
    s.write_profile_file("Key.txt", KEY_TEXT)
    s.write_profile_file("Setting.tmp", hand_over("1", call_by_ie="TRUE"))
    calls = wait_calls(s, len(first) + len(ipsec_calls()) + 1, 20)[len(first):]
    check([c for c in calls if c != OPENVPN_CLOSED] == ipsec_calls() and
          calls.count(OPENVPN_CLOSED) == 1,
          f"calls of the IPsec pickup\n{calls}\nexpected {OPENVPN_CLOSED!r} and\n{ipsec_calls()}")
    check(s.helper("gone", OPENVPN_WINDOW, 5000).returncode == 0,
          "OpenVPN still runs after the IPsec login")
    wait_for("the modes written", lambda: modes(s) == ("1", "1"), 5)

    ended_by_remove(s, process, len(first) + len(calls))
    check(s.window_count(OPENVPN_WINDOW) == 0, "an OpenVPN program runs after the end")


# A site's own Refresh.bat that waits for a program that never ends by itself: the OpenVPN
# stub, which runs until its window is closed and shows whether it still runs.
HUNG_REFRESH = ".\\openVPN\\openvpn.exe --never-ends\r\n"
HUNG_CALL = stub_line(HUNG_REFRESH.strip())
HUNG_TRACE = (f"RunCommand: .\\Refresh.bat did not end within {COMMAND_BOUND_S} s and was "
              "ended.\n")


@scenario("leftovers_hung_script_ended", timeout=360, labels=("e2e", "slow"))
def hung_script_ended(s):
    s.place_stub_tools()
    s.install_policyagent()
    quiet_settings(s)
    s.write_program_file("Refresh.bat", HUNG_REFRESH)
    process = s.start(label="first")
    wait_for("the program Refresh.bat starts", lambda: HUNG_CALL in s.stub_calls(), 30)
    hung_at = time.monotonic()
    check(s.wait_window(OPENVPN_WINDOW, 10000), "no window of the program Refresh.bat started")

    # The portal's log-out comes while set-up waits for the script; the window handles
    # nothing during that wait, so it is answered only once the script has been ended.
    remover = s.start(["-r"], label="remover")
    check(remover.wait(30) is not None, "the '-r' start did not end")
    check("Remove!!!" in remover.trace(), f"no 'Remove!!!' in {remover.trace()}")
    time.sleep(5)
    check(process.running() and s.window_count(RESULT_CAPTION) == 0,
          "the exit request was answered while the script ran")
    check(s.window_count(OPENVPN_WINDOW) == 1, "the program Refresh.bat started has ended")

    check(process.wait_trace(HUNG_TRACE, COMMAND_BOUND_S + 30),
          f"no {HUNG_TRACE!r} in {process.trace()}")
    waited = time.monotonic() - hung_at
    log(f"Refresh.bat was ended {waited:.1f} s after its program started")
    check(waited >= COMMAND_BOUND_S - 10, f"the script was ended after {waited:.1f} s")
    # Ended together with the script, not closed by its window.
    check(s.helper("gone", OPENVPN_WINDOW, 5000).returncode == 0,
          "the program Refresh.bat started outlived it")
    check(OPENVPN_CLOSED not in s.stub_calls(), "the program was closed by its window")

    # Set-up went on, and the exit request is answered as ever.
    text = s.box_text(RESULT_CAPTION, 20000)
    check(text == EXIT_BOX_TEXT, f"box {text!r}")
    s.press(RESULT_CAPTION)
    check(process.wait(30) is not None, "the program did not end")
    trace = process.trace()
    check(trace.index(HUNG_TRACE) < trace.index("CKestrunDlg::OnMenuitemExit()\n")
          < trace.index("Close Window!!!\n"), f"order of the end in {trace}")
