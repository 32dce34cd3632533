"""Windows 7 and later (Wine set to win7 and to win10): a login made in an outside browser,
picked up through the profile copy, builds the tunnel with the firewall's connection-security
rule, and the portal's log-out removes exactly the two rules the script added. The stub netsh
records each call in stub-calls.log."""

from harness import NetNamespace, check, scenario
from steps import (EXIT_BOX_TEXT, GATEWAY, KEY, KEY_TEXT, MASK, NETWORK, end_by_remove, flags,
                   hand_over, openvpn_script, quiet_settings, route_deletes, start_quietly,
                   wait_calls, wait_for)

ME = NetNamespace.ADDRESS
ECHO_RULE = "name=Belvane dir=in protocol=icmpv4:8,any"
CONSEC_RULE = "name=Belvane type=dynamic"


def modern_script():
    return (f"set PSK={KEY}\nset GW={GATEWAY}\nset ME={ME}\nset REM_NET={NETWORK}\n"
            f"set REM_MASK={MASK}\n"
            f"netsh advfirewall firewall delete rule {ECHO_RULE}\n"
            "netsh advfirewall firewall add rule name=Belvane dir=in action=allow "
            "protocol=icmpv4:8,any\n"
            f"netsh advfirewall consec delete rule {CONSEC_RULE}\n"
            "netsh advfirewall consec add rule name=Belvane endpoint1=%ME% "
            "endpoint2=%REM_NET%/%REM_MASK% action=requireinrequireout mode=tunnel "
            "type=dynamic localtunnelendpoint=%ME% remotetunnelendpoint=%GW% "
            "auth1=computerpsk auth1psk=%PSK% qmpfs=dhgroup1 "
            "qmsecmethods=esp:md5-3des+60min+50000kb,esp:sha1-3des+60min+50000kb "
            "profile=any\n")


def setup_calls():
    """The script's netsh lines as the stub sees them, the variables expanded."""
    expanded = (modern_script().replace("%ME%", ME).replace("%REM_NET%", NETWORK)
                .replace("%REM_MASK%", MASK).replace("%PSK%", KEY).replace("%GW%", GATEWAY))
    return [line for line in expanded.split("\n") if line and not line.startswith("set ")]


def teardown_calls():
    return route_deletes() + [f"netsh advfirewall consec delete rule {CONSEC_RULE}",
                              f"netsh advfirewall firewall delete rule {ECHO_RULE}"]


def modern_login(s):
    s.place_stub_tools()
    s.install_policyagent()
    quiet_settings(s)
    process = start_quietly(s)
    check(process.wait_trace("Microsoft Windows 7 or later \n", 5),
          "not classified as Windows 7 or later")
    check(process.wait_trace("Timer3:CallByIE=[FALSE]\n", 10), "the profile watch is not running")

    s.write_profile_file("Key.txt", KEY_TEXT)
    s.write_profile_file("Setting.tmp", hand_over(call_by_ie="TRUE", RemoteLANIP="127.0.0.1"))
    wait_for("the key beside the program",
             lambda: s.read_program_file("Key.txt") == KEY_TEXT.encode(), 2.0, 0.05)
    # The pickup tears down what an earlier login may have left, then builds.
    build = teardown_calls() + setup_calls()
    calls = wait_calls(s, len(build), 20)
    check(calls == build, f"calls of the build\n{calls}\nexpected\n{build}")
    check(s.read_program_file("Varnel_IPSecVPN.bat") == modern_script().encode(),
          "Varnel_IPSecVPN.bat differs")
    # The stub openvpn.exe has no version resource: the line stays as it always was.
    check(s.read_program_file("Varnel_openVPN.bat") == openvpn_script(),
          "Varnel_openVPN.bat differs")
    check(s.service_log() == [], f"the IPsec service was touched: {s.service_log()}")
    values = flags(s.read_program_file("Setting.tmp"))
    check(values.get("VPN Mode") == "1" and values.get("RemoveIPsec") == "FALSE",
          f"working copy: {values}")

    box = end_by_remove(s, process)
    check(box == EXIT_BOX_TEXT, f"exit box {box!r}")
    teardown = s.stub_calls()[len(build):]
    check(teardown == teardown_calls(), f"teardown calls {teardown}, expected {teardown_calls()}")
    check(s.read_program_file("Clear_IPsec.bat") ==
          "\n".join(teardown_calls()[len(route_deletes()):]).encode() + b"\n",
          "Clear_IPsec.bat differs")


for _windows in ("win7", "win10"):
    scenario(f"modern_login_{_windows}", windows=_windows, netns=True, timeout=150,
             labels=("e2e", "tunnel", "modern"))(modern_login)
