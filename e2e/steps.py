"""The steps, texts and values that the end-to-end scenarios and the demo share: starting and
ending the program, the settings a portal hands over, the tool calls of a build and a
teardown, the tray icon and its menu, the portal stand-in. Scenario modules import from
here and from harness, never from each other.

Control and command ids come from res/resource.h, the file the program itself is built
from, so that a renumbered control cannot leave a scenario driving the wrong one."""

import contextlib
import functools
import json
import os
import re
import subprocess
import sys
import time
import types

from harness import MAIN_TITLE, WINE, NetNamespace, check, ini_text, pixel, read_ppm, run

RESOURCE_HEADER = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                               "res", "resource.h")
DEFINE = re.compile(r"^\s*#define\s+(\w+)\s+(0[xX][0-9a-fA-F]+|\d+)\s*(?://.*)?$")


@functools.lru_cache(maxsize=None)
def resource_ids(path=RESOURCE_HEADER):
    """{name: number} of every numeric #define in the resource header."""
    with open(path, encoding="latin-1") as f:
        ids = {m.group(1): int(m.group(2), 0) for m in map(DEFINE.match, f) if m}
    if not ids:
        raise RuntimeError(f"no ids in {path}")
    return types.MappingProxyType(ids)


# The ids by name: RES.IDC_STATIC_STATUS; a name the header lacks raises AttributeError.
RES = types.SimpleNamespace(**resource_ids())

# Windows' own ids of a dialog's OK and Cancel buttons.
IDOK, IDCANCEL = 1, 2

# Texts and captions of the program's own boxes.
WARNING_CAPTION = "Warnning"
RESULT_CAPTION = "Varnel Ostrimel"
EXIT_BOX_TEXT = "VPN session has ended, please close your browser for increased security."
CONNECTED_TEXT = ("Connection successful, now you can access internal web, file and mail "
                  "servers.")


# Starting and ending the program.
def quiet_profile(s):
    """The profile copy of the settings with no outside-browser login waiting. Without one
    the profile watch reads "CallByIE" as set and builds a tunnel from the working copy a
    second after start."""
    s.write_profile_file("Setting.tmp", ini_text({"IPSec": {"CallByIE": "FALSE"}}))


def quiet_settings(s):
    """Settings that ask for no tunnel, at set-up or from the profile watch."""
    s.write_program_file("Setting.tmp", ini_text({"IPSec": {
        "CallByIE": "FALSE", "RemoveIPsec": "TRUE", "VPN Mode": "1"}}))
    quiet_profile(s)


def start_instance(s, args=(), label="first"):
    process = s.start(args, label=label)
    check(s.wait_window(MAIN_TITLE, 30000),
          f"no '{MAIN_TITLE}' window; trace: {process.trace()}")
    return process


def dismiss_setup_boxes(s, quiet_for=2.0, limit=30.0):
    """Closes the warnings that set-up may show under Wine (no IPsec service, no network)
    until none has appeared for quiet_for seconds; returns their texts."""
    return s.close_boxes(WARNING_CAPTION, limit, quiet_for=quiet_for)


def start_quietly(s):
    """The first instance, whose set-up must show no warning at all."""
    process = start_instance(s)
    check(not dismiss_setup_boxes(s, quiet_for=1.0), "set-up warned")
    return process


def start_watching(s):
    """A quiet first instance against the stub tools and service, with no login to take
    over: its profile watch polls an idle copy."""
    s.place_stub_tools()
    s.install_policyagent()
    quiet_settings(s)
    process = start_quietly(s)
    check(process.wait_trace("Timer3:CallByIE=[FALSE]\n", 10), "the profile watch is not running")
    return process


def ended_by_remove(s, process, calls_before):
    """end_by_remove, then the checks that the exit box came and the end removed the IPsec
    tunnel: the teardown's calls follow the calls_before ones."""
    box = end_by_remove(s, process)
    check(box == EXIT_BOX_TEXT, f"exit box {box!r}")
    teardown = s.stub_calls()[calls_before:]
    check(teardown == expected_teardown_calls("winxp"),
          f"calls at the end {teardown}, expected {expected_teardown_calls('winxp')}")


def end_by_remove(s, first):
    """Starts the program with "-r" and waits for the running instance to end, pressing
    the box that Disconnect & Exit may show on the way; returns that box's text."""
    remover = s.start(["-r"], label="remover")
    check(remover.wait(30) is not None, "the '-r' start did not end")
    check("Remove!!!" in remover.trace(), f"no 'Remove!!!' in {remover.trace()}")
    boxes = s.close_boxes(RESULT_CAPTION, 30, while_running=first.running)
    box = boxes[-1] if boxes else None
    check(first.wait(5) is not None, "the running instance did not end")
    return box


def wait_for(what, condition, timeout, step=0.2):
    """Seconds until condition() held; fails after timeout seconds."""
    started = time.monotonic()
    while not condition():
        check(time.monotonic() - started < timeout, f"{what} within {timeout} s")
        time.sleep(step)
    return time.monotonic() - started


# A login made in an outside browser, and the tool calls of its tunnel. Every run happens in
# a network namespace of its own, so the default-route adapter is v0 (192.0.2.2).

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
# Inside the namespace nothing answers this.
SILENT_LAN = "192.0.2.7"


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


def marker_files(s):
    """Files that an injected "echo pwned>marker.txt" would have made, anywhere on C:."""
    found = []
    for directory, _, files in os.walk(os.path.join(s.prefix, "drive_c")):
        found.extend(os.path.join(directory, f) for f in files
                     if f.lower().startswith("marker"))
    return found


# The tray icon and its menu on Wine's virtual desktop.

TRAY_WINDOW = "CSystemTray Dummy Window"
NO_LINK_RED = (210, 30, 30)
LINK_GREEN = (88, 190, 79)
# Where Wine's taskbar keeps the notification area on a 1024x768 desktop.
TRAY_AREA = (880, 736, 1024, 768)
MENU_ENTRIES = ["Diagnosis", "Connectivity Info.", "", "About Ostrimel", "Disconnect & Exit"]
# The same entries in menu notation ("&&" is one ampersand).
MENU_ENTRY_TEXTS = [t.replace("&", "&&") for t in MENU_ENTRIES]


def near(colour, wanted, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, wanted))


def count_near(picture, area, wanted):
    left, top, right, bottom = area
    return sum(1 for y in range(top, bottom) for x in range(left, right)
               if near(pixel(picture, x, y), wanted))


def find_near(picture, area, wanted):
    left, top, right, bottom = area
    hits = [(x, y) for y in range(top, bottom) for x in range(left, right)
            if near(pixel(picture, x, y), wanted)]
    if not hits:
        return None
    return (sum(x for x, _ in hits) // len(hits), sum(y for _, y in hits) // len(hits))


def numbers(text, label):
    match = re.search(label + r"=(-?\d+),(-?\d+),(-?\d+),(-?\d+)", text)
    check(match is not None, f"no {label} in {text!r}")
    return tuple(int(v) for v in match.groups())


def xdotool(s, *args):
    run(["xdotool"] + [str(a) for a in args], env=dict(os.environ, DISPLAY=s.display.name),
        timeout=20)


def show_main(s):
    s.helper("command", MAIN_TITLE, RES.ID_SHOW_MAIN)
    deadline = time.monotonic() + 10
    while not s.window_visible(MAIN_TITLE):
        check(time.monotonic() < deadline, "the show command did not show the window")
        time.sleep(0.2)


def reference_menu(s, x, y, entries):
    """Shows kthelper's own popup menu with the expected entries at x,y on the same desktop
    and screenshots it: the picture of the right menu, and its entries' rectangles."""
    out_path = os.path.join(s.run_dir, "reference-menu.txt")
    with open(out_path, "wb") as out:
        helper = subprocess.Popen(
            [WINE, s.paths.tool("kthelper"), "show-menu", str(x), str(y), "2500"] + entries,
            env=s.env(), cwd=s.program_dir, stdin=subprocess.DEVNULL, stdout=out,
            stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 15
        while "rect=" not in open(out_path, encoding="latin-1").read():
            check(time.monotonic() < deadline and helper.poll() is None,
                  "the reference menu did not open")
            time.sleep(0.1)
        shot = read_ppm(s.screenshot("reference-menu"))
        listing = open(out_path, encoding="latin-1").read().replace("\r\n", "\n")
    finally:
        helper.wait(timeout=20)
    items = {}
    for line in listing.splitlines():
        if "|" in line:
            position, rect = line.split("|")
            items[int(position)] = tuple(int(v) for v in rect.split(","))
    return shot, numbers(listing, "rect"), items


def tray_icon_spot(s, label, colour=NO_LINK_RED):
    """The screen point at the middle of the icon of this colour (the not-connected one
    unless told) in the notification area."""
    icon = find_near(read_ppm(s.screenshot(label)), TRAY_AREA, colour)
    check(icon is not None, "no tray icon")
    return icon


def tray_tip(s, label, colour=NO_LINK_RED):
    """The icon's tip, as the taskbar shows it when the pointer rests on the icon."""
    x, y = tray_icon_spot(s, label, colour)
    xdotool(s, "mousemove", x, y)
    time.sleep(0.3)
    xdotool(s, "mousemove", x + 1, y)
    tip = s.helper("tooltip", 5000).stdout.strip()
    xdotool(s, "mousemove", 300, 300)
    return tip


# The portal stand-in (tools/portal_standin.py) inside the test's own namespace, where the
# bare host name "router" resolves to the namespace's own address.

PORTAL_HOST = "router"
VARNEL = ["Varnel", "TRV-615 SSLVPN"]


@contextlib.contextmanager
def portal_standin(s, setting=None, assignments=()):
    """Runs the stand-in on port 80 of the namespace's own address; yields a function that
    returns the requests logged so far."""
    log_path = os.path.join(s.run_dir, "portal.jsonl")
    open(log_path, "w").close()
    command = [sys.executable, os.path.join(s.paths.source_dir, "tools", "portal_standin.py"),
               "--bind", NetNamespace.ADDRESS, "--port", "80", "--log", log_path]
    if setting:
        command += ["--setting", setting]
    for assignment in assignments:
        command += ["--set", assignment]
    server = subprocess.Popen(s.netns.wrap(command), stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL, text=True)
    try:
        check(server.stdout.readline().startswith("listening"), "portal stand-in did not start")

        def requests():
            with open(log_path, encoding="utf-8") as f:
                return [json.loads(line) for line in f if line.strip()]

        yield requests
    finally:
        server.terminate()
        server.wait(timeout=10)


# An OpenVPN static key as a portal leaves it.
KEY_TEXT = ("-----BEGIN OpenVPN Static key V1-----\n0123456789abcdef\n"
            "-----END OpenVPN Static key V1-----\n")


def flags(data):
    """The key=value lines of an INI file's bytes."""
    text = (data or b"").decode("latin-1")
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)
