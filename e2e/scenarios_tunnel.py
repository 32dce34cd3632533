"""Tunnel control through the real command interpreter: the scripts that set-up writes and
runs for a login made in an outside browser, the teardown at Disconnect & Exit, the IPsec
service restart, ending the OpenVPN program by its window, and refused values that would
add a command, or an option to a tool's command line.

Every run happens in a network namespace of its own, so the default-route adapter is
v0 (192.0.2.2) and nothing leaves the machine. The stub tools beside the program record
each call in stub-calls.log."""

import os
import time

from harness import MAIN_TITLE, NetNamespace, check, ini_text, scenario
from scenarios_startup import (EXIT_BOX_TEXT, dismiss_setup_boxes, end_by_remove, quiet_profile,
                               start_instance)

ME = NetNamespace.ADDRESS
GATEWAY = "192.0.2.1"
NETWORK = "10.10.0.0"
MASK = "255.255.0.0"
# A second network of the router, named by the numbered keys.
NETWORK1 = "10.20.0.0"
MASK1 = "255.255.255.0"
KEY = "pre-shared.key"
# The policy name stands in double quotes, where the command interpreter takes these
# characters and the blank literally.
MODEL = "R&D <1|2> ^x"
POLICY = MODEL + "_SSL"
TAIL = "-n ESP[3DES,SHA]PFS -a preshare:{key} -1s 3DES-MD5-2 3DES-SHA-2 DES-MD5-1 DES-SHA-1 -1p -c"
OVPN = {"OVPN_SerIP": "10.8.0.1", "OVPN_Ifconfig": "10.8.0.2",
        "OVPN_SerMask": "255.255.255.252", "OVPN_SerPort": "1194"}


def hand_over(mode="1", call_by_ie=None, **overrides):
    """The settings of a login made in an outside browser; CallByIE absent unless given."""
    values = {"ModelName": MODEL, "Gateway": GATEWAY, "PreSharedKey": KEY,
              "NetworkIP": NETWORK, "Submask": MASK, "NetworkIP1": NETWORK1,
              "Submask1": MASK1, "RemoteLANIP": "10.10.0.1",
              "VPN Mode": mode, "RemoveIPsec": "TRUE"}
    values.update(OVPN)
    if call_by_ie is not None:
        values["CallByIE"] = call_by_ie
    values.update(overrides)
    return ini_text({"IPSec": values})


def route_deletes(numbered=True, first=True):
    lines = [f"route delete {NETWORK} mask {MASK}"] if first else []
    if numbered:
        lines.append(f"route delete {NETWORK1} mask {MASK1}")
    return lines


def openvpn_script(server=OVPN["OVPN_SerIP"]):
    """The one line of Varnel_openVPN.bat, without a line end."""
    return (f".\\openVPN\\openvpn.exe --remote {GATEWAY} --ifconfig {OVPN['OVPN_Ifconfig']} "
            f"{OVPN['OVPN_SerMask']} --secret key.txt --dev tap --proto tcp-client "
            f"--rport {OVPN['OVPN_SerPort']} --ping 6 --ping-exit 100 "
            f"--route {NETWORK} {MASK} {server} --log ovpn.log "
            "--status status.log --inactive 20").encode()


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


def ipsec_rule_lines(tool, key=KEY):
    tail = TAIL.format(key=key)
    return [f'{tool} -w REG -p "{POLICY}" -r "remote-router" -f {ME}+{NETWORK}/{MASK} '
            f"-t {GATEWAY} {tail}",
            f'{tool} -w REG -p "{POLICY}" -r "router-remote" -f {NETWORK}/{MASK}+{ME} '
            f"-t {ME} {tail} -x"]


def ipsec_script(windows):
    """The bytes of Varnel_IPSecVPN.bat for the Windows generation."""
    firewall = "netsh firewall set icmpsetting 8 ENABLE"
    route = f"route -p add {NETWORK} mask {MASK} {GATEWAY}"
    if windows == "win2k":
        return "\n".join([route] + ipsec_rule_lines("ipsecpol.exe"))
    if windows == "winxp":
        return "\n".join([firewall, route] + ipsec_rule_lines("ipseccmd.exe"))
    return (f"set PSK={KEY}\nset GW={GATEWAY}\nset ME={ME}\nset REM_NET={NETWORK}\n"
            f"set REM_MASK={MASK}\n{firewall}\nnetsh ipsec dynamic delete all\n\n"
            "netsh ipsec dynamic add qmpolicy name=Belvane pfsgroup=grp1 "
            'qmsecmethods="ESP[3DES,MD5]:50000K/3600S"\n'
            "netsh ipsec dynamic add mmpolicy name=Belvane "
            'mmsecmethods="3DES-SHA1-2 3DES-MD5-2 3DES-SHA1-3"\n\n'
            "netsh ipsec dynamic add rule mmpolicy=Belvane qmpolicy=Belvane srcaddr=%ME% "
            "dstaddr=%REM_NET% dstmask=%REM_MASK% mirror=no conntype=lan psk=%PSK% "
            "tunneldstaddr=%GW%\n"
            "netsh ipsec dynamic add rule mmpolicy=Belvane qmpolicy=Belvane dstaddr=%ME% "
            "srcaddr=%REM_NET% srcmask=%REM_MASK% mirror=no conntype=lan psk=%PSK% "
            "tunneldstaddr=%ME%\n")


def stub_line(command):
    """How a script line shows in the stub log: the tool's name without ".exe", then its
    arguments as the command interpreter passed them."""
    tool, _, arguments = command.partition(" ")
    tool = tool.rsplit("\\", 1)[-1]
    if tool.lower().endswith(".exe"):
        tool = tool[:-4]
    return f"{tool} {arguments}"


def expected_setup_calls(windows):
    script = ipsec_script(windows)
    if windows == "vista":
        expanded = (script.replace("%ME%", ME).replace("%REM_NET%", NETWORK)
                    .replace("%REM_MASK%", MASK).replace("%PSK%", KEY)
                    .replace("%GW%", GATEWAY))
        lines = [line for line in expanded.split("\n")
                 if line and not line.startswith("set ")]
    else:
        lines = script.split("\n")
    return route_deletes() + [stub_line(line) for line in lines]


def expected_teardown_calls(windows):
    if windows == "vista":
        return route_deletes() + ["netsh ipsec dynamic delete all"]
    tool = "ipsecpol" if windows == "win2k" else "ipseccmd"
    return route_deletes() + [
            f'{tool} -w REG -p "{POLICY}" -r "remote-router" -y',
            f'{tool} -w REG -p "{POLICY}" -r "router-remote" -o']


def wait_calls(s, count, timeout):
    """The stub log once it holds at least count calls (or after timeout seconds)."""
    deadline = time.monotonic() + timeout
    while True:
        calls = s.stub_calls()
        if len(calls) >= count or time.monotonic() >= deadline:
            return calls
        time.sleep(0.2)


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


def marker_files(s):
    """Files that an injected "echo pwned>marker.txt" would have made, anywhere on C:."""
    found = []
    for directory, _, files in os.walk(os.path.join(s.prefix, "drive_c")):
        found.extend(os.path.join(directory, f) for f in files
                     if f.lower().startswith("marker"))
    return found


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
