"""Tunnel control through the real command interpreter: the scripts that set-up writes and
runs for a login made in an outside browser, the teardown at Disconnect & Exit, the IPsec
service restart, ending the OpenVPN program by its window, and refused values that would
add a command, or an option to a tool's command line.

Every run happens in a network namespace of its own, so the default-route adapter is
v0 (192.0.2.2) and nothing leaves the machine. The stub tools beside the program record
each call in stub-calls.log."""

import os
import shutil
import time

from harness import MAIN_TITLE, check, scenario
from steps import (EXIT_BOX_TEXT, GATEWAY, POLICY, dismiss_setup_boxes, end_by_remove,
                   expected_setup_calls, expected_teardown_calls, hand_over, ipsec_script,
                   marker_files, openvpn_script, quiet_profile, route_deletes, start_instance,
                   stub_line, wait_calls)


def clear_ipsec_script(windows, policy=POLICY):
    """Clear_IPsec.bat: every line ends in a line feed."""
    if windows == "vista":
        return b"netsh ipsec dynamic delete all\n"
    tool = "ipsecpol.exe" if windows == "win2k" else "ipseccmd.exe"
    return (f'{tool} -w REG -p "{policy}" -r "remote-router" -y\n'
            f'{tool} -w REG -p "{policy}" -r "router-remote" -o\n').encode()


def check_file(s, name, expected):
    data = s.read_program_file(name)
    check(data == expected, f"{name} holds {data!r}, expected {expected!r}")


def prepare(s, settings):
    """Stub tools and service, the working copy of the settings, and a profile copy that
    keeps the profile watch from building the tunnel a second time."""
    s.place_stub_tools()
    s.install_policyagent()
    s.write_program_file("Setting.tmp", settings)
    quiet_profile(s)


def tunnel_round_trip(windows):
    def run(s):
        prepare(s, hand_over(call_by_ie="TRUE" if windows == "win2k" else None))
        process = start_instance(s)
        setup = expected_setup_calls(windows)
        calls = wait_calls(s, len(setup), 30)
        warnings = dismiss_setup_boxes(s, quiet_for=1.0)
        check(not warnings, f"set-up warned: {warnings}")
        check(calls == setup, f"set-up calls\n{calls}\nexpected\n{setup}")
        check_file(s, "Varnel_IPSecVPN.bat", ipsec_script(windows).encode())
        # Both scripts are written whatever the mode; lines between the route deletes only.
        check_file(s, "Varnel_openVPN.bat", openvpn_script())
        check_file(s, "DelRouteTable.bat", "\n".join(route_deletes()).encode())
        settings = s.read_program_file("Setting.tmp").decode("latin-1")
        check("CallByIE=FALSE" in settings and "VPN Mode=1" in settings,
              f"settings after set-up: {settings!r}")
        service_before = s.service_log()
        if windows != "vista":
            check(service_before == ["policyagent started"],
                  f"service log after set-up: {service_before}")

        box = end_by_remove(s, process)
        check(box == EXIT_BOX_TEXT, f"exit box {box!r}")
        check_file(s, "DelRouteTable.bat", "\n".join(route_deletes()).encode())
        check_file(s, "Clear_IPsec.bat", clear_ipsec_script(windows))
        teardown = s.stub_calls()[len(setup):]
        check(teardown == expected_teardown_calls(windows),
              f"teardown calls {teardown}, expected {expected_teardown_calls(windows)}")
        service_after = s.service_log()[len(service_before):]
        if windows == "vista":
            check(service_after == [], f"the service was touched on vista: {service_after}")
        else:
            check(service_after == ["policyagent stopped", "policyagent started"],
                  f"service log at teardown: {service_after}")
        settings = s.read_program_file("Setting.tmp").decode("latin-1")
        check("RemoveIPsec=TRUE" in settings and "ShowAppletTitle=TRUE" in settings,
              f"settings after exit: {settings!r}")
        trace = process.trace()
        check(trace.index("CKestrunDlg::OnMenuitemExit()\n") < trace.index("OnButtonDel()\n")
              < trace.index("Close Window!!!\n"), f"exit order in {trace}")

    return run


for _windows in ("winxp", "win2k", "vista"):
    scenario(f"tunnel_ipsec_{_windows}", windows=_windows, netns=True, timeout=120,
             labels=("e2e", "tunnel"))(tunnel_round_trip(_windows))


@scenario("tunnel_openvpn_winxp", netns=True, timeout=120, labels=("e2e", "tunnel"))
def openvpn(s):
    prepare(s, hand_over(mode="2"))
    process = start_instance(s)
    line = stub_line(openvpn_script().decode())
    calls = wait_calls(s, 3, 30)
    check(calls == route_deletes() + [line], f"set-up calls {calls}")
    check_file(s, "Varnel_openVPN.bat", openvpn_script())
    check_file(s, "DelRouteTable.bat", "\n".join(route_deletes()).encode())
    check(s.wait_window("OpenVPN stub", 10000), "no OpenVPN window")
    dismiss_setup_boxes(s, quiet_for=1.0)
    check("VPN Mode=2" in s.read_program_file("Setting.tmp").decode("latin-1"),
          "VPN Mode is not 2 after set-up")
    s.screenshot("running")

    end_by_remove(s, process)
    check(s.helper("gone", "OpenVPN stub", 10000).returncode == 0,
          "the OpenVPN window is still there")
    calls = wait_calls(s, 4, 10)
    # OpenVPN mode has no IPsec teardown: the only thing after the start is the close.
    check(calls[3:] == ["openvpn closed"], f"calls after exit {calls}")
    check(s.read_program_file("Clear_IPsec.bat") is None, "Clear_IPsec.bat was written")
    check(s.service_log() == ["policyagent started"], f"service log {s.service_log()}")


def refusal_traces(process):
    """The refusal lines of set-up, and those written from Disconnect & Exit on."""
    trace = process.trace()
    exit_at = trace.index("CKestrunDlg::OnMenuitemExit()\n")
    refused = [t for t in trace if t.startswith("Refused unsafe value of ")]
    return ([t for t in trace[:exit_at] if t in refused],
            [t for t in trace[exit_at:] if t in refused])


def refusal(key):
    return f"Refused unsafe value of {key}\n"


def start_refused(s, settings, first_refused):
    """Starts the program on settings with unsafe values; returns it once set-up has
    refused first_refused and its warnings are closed."""
    prepare(s, settings)
    process = start_instance(s)
    check(process.wait_trace(refusal(first_refused), 20),
          f"no refusal of {first_refused} in {process.trace()}")
    dismiss_setup_boxes(s, quiet_for=1.0)
    # Neither tunnel script may hold any of the values.
    check_file(s, "Varnel_IPSecVPN.bat", b"")
    check_file(s, "Varnel_openVPN.bat", b"")
    check(process.running() and s.window_count(MAIN_TITLE) == 1,
          "the program did not keep running after the refusal")
    return process


def numbered_route_only():
    """DelRouteTable.bat and its calls when only the numbered network is left: the file
    begins with the line feed that would have followed the first line."""
    route = route_deletes(first=False)
    return ("\n" + route[0]).encode(), route


@scenario("tunnel_refuses_unsafe_winxp", netns=True, timeout=120, labels=("e2e", "tunnel"))
def refuses_unsafe_winxp(s):
    # A gateway that adds an option stops both tunnel scripts; an unsafe numbered network or
    # mask only its own route line; a quote in the model name, which would end the quotes
    # around the policy name, the policy lines of the IPsec teardown.
    process = start_refused(s, hand_over(
        Gateway=f"{GATEWAY} --up x",
        NetworkIP1="10.2.0.0&echo pwned>marker.txt",
        NetworkIP2="10.30.0.0", Submask2="255.255.0.0 -f",
        ModelName='QZM"|echo pwned>marker.txt'), "Gateway")
    first_route = route_deletes(numbered=False)
    check_file(s, "DelRouteTable.bat", first_route[0].encode())

    end_by_remove(s, process)
    setup, teardown = refusal_traces(process)
    for key in ("NetworkIP1", "Submask2", "ModelName", "Gateway"):
        check(refusal(key) in setup, f"set-up did not refuse {key}: {setup}")
    check(teardown == [refusal("NetworkIP1"), refusal("Submask2"), refusal("ModelName")],
          f"refusals at Disconnect & Exit: {teardown}")
    check_file(s, "DelRouteTable.bat", first_route[0].encode())
    check_file(s, "Clear_IPsec.bat", b"")
    check(not marker_files(s), f"the injected command ran: {marker_files(s)}")
    # The remaining route is deleted at set-up and at teardown; nothing else ran.
    calls = s.stub_calls()
    check(calls == first_route + first_route, f"tool calls {calls}")


@scenario("tunnel_refuses_unsafe_openvpn", netns=True, timeout=120, labels=("e2e", "tunnel"))
def refuses_unsafe_openvpn(s):
    # Each value would add options to the OpenVPN command line or to "route delete".
    process = start_refused(s, hand_over(
        mode="2", Gateway="1.2.3.4 --script-security 2 --up C:\\x.exe", NetworkIP="-f",
        OVPN_SerPort="1194 --up x"), "OVPN_SerPort")
    check(s.window_count("OpenVPN stub") == 0, "the OpenVPN program was started")
    routes_file, route = numbered_route_only()
    check_file(s, "DelRouteTable.bat", routes_file)
    end_by_remove(s, process)
    setup, teardown = refusal_traces(process)
    # The route teardown before the scripts, then the scripts' own checks.
    expected = [refusal(key) for key in ("NetworkIP", "Gateway", "NetworkIP", "OVPN_SerPort")]
    check(setup == expected and teardown == [],
          f"refusals: set-up {setup}, exit {teardown}")
    # OpenVPN mode tears down by closing the program's window: only set-up's route delete.
    calls = s.stub_calls()
    check(calls == route, f"tool calls {calls}")


@scenario("tunnel_refuses_unsafe_vista", windows="vista", netns=True, timeout=120,
          labels=("e2e", "tunnel"))
def refuses_unsafe_vista(s):
    # The netsh form sets the key as a batch variable; an unsafe one must not get there.
    # A network of "-f" would flush the route table at set-up and at teardown.
    process = start_refused(s, hand_over(PreSharedKey="key | echo pwned> marker.txt",
                                         NetworkIP="-f"), "PreSharedKey")
    routes_file, route = numbered_route_only()
    check_file(s, "DelRouteTable.bat", routes_file)
    end_by_remove(s, process)
    setup, teardown = refusal_traces(process)
    expected = [refusal(key) for key in ("NetworkIP", "PreSharedKey", "NetworkIP")]
    check(setup == expected and teardown == [refusal("NetworkIP")],
          f"refusals: set-up {setup}, exit {teardown}")
    check_file(s, "DelRouteTable.bat", routes_file)
    check_file(s, "Clear_IPsec.bat", clear_ipsec_script("vista"))
    check(not marker_files(s), f"the injected command ran: {marker_files(s)}")
    # No netsh call at set-up; the teardown's "delete all" needs no value from the file.
    calls = s.stub_calls()
    expected = route + route + ["netsh ipsec dynamic delete all"]
    check(calls == expected, f"tool calls\n{calls}\nexpected\n{expected}")


@scenario("tunnel_missing_settings", netns=True, timeout=120, labels=("e2e", "tunnel"))
def missing_settings(s):
    s.place_stub_tools()
    s.install_policyagent()
    process = start_instance(s)
    calls = wait_calls(s, 3, 30)
    dismiss_setup_boxes(s, quiet_for=1.0)
    check(any(c.startswith("ipseccmd ") for c in calls), f"no ipseccmd call in {calls}")
    check(not any(c.startswith("openvpn") for c in calls), f"OpenVPN ran: {calls}")
    settings = s.read_program_file("Setting.tmp")
    check(settings is not None and b"VPN Mode=1" in settings, f"settings file {settings!r}")
    # Without a profile copy the watch builds once more from the working copy and leaves a
    # profile copy with "CallByIE" set back, which ends the repetition.
    check(process.wait_trace("Timer3:CallByIE=[FALSE]\n", 15),
          f"the profile watch did not settle: {process.trace()}")
    profile = s.read_profile_file("Setting.tmp") or b""
    check(b"CallByIE=FALSE" in profile, f"profile copy {profile!r}")
    built = len(s.stub_calls())
    time.sleep(2.5)
    check(len(s.stub_calls()) == built, f"the watch built again: {s.stub_calls()[built:]}")
    check(process.running(), "the program ended")
    check(s.window_count(MAIN_TITLE) == 1, "no main window")


@scenario("tunnel_interpreter_command_line", netns=True, timeout=120, labels=("e2e", "tunnel"))
def interpreter_command_line(s):
    prepare(s, hand_over(call_by_ie="TRUE"))
    s.write_program_file("Refresh.bat", "rem\r\n")
    # Stand-ins that only note how they were started: the system's interpreter notes itself
    # as "netsh", one planted beside the program as "route". Wine runs them, and not its own
    # builtin interpreter, only when told to load cmd.exe from its file.
    shutil.copy2(s.paths.tool("netsh"),
                 os.path.join(s.prefix, "drive_c", "windows", "system32", "cmd.exe"))
    s.copy_tool("route", "cmd.exe")
    process = s.start(label="first", native=("cmd.exe",))
    check(s.wait_window(MAIN_TITLE, 30000), f"no '{MAIN_TITLE}' window; {process.trace()}")

    def line(script):
        # AutoRun and delayed expansion off, command extensions on, the script by its full path.
        return f'netsh /D /E:ON /V:OFF /S /C ""C:\\{s.PROGRAM_DIR}\\{script}""'

    setup = [line(name) for name in ("Refresh.bat", "DelRouteTable.bat", "Varnel_IPSecVPN.bat")]
    calls = wait_calls(s, len(setup), 30)
    dismiss_setup_boxes(s, quiet_for=1.0)
    check(calls == setup, f"set-up started\n{calls}\nexpected\n{setup}")
    end_by_remove(s, process)
    teardown = [line("DelRouteTable.bat"), line("Clear_IPsec.bat")]
    check(s.stub_calls()[len(setup):] == teardown,
          f"the end started {s.stub_calls()[len(setup):]}, expected {teardown}")
