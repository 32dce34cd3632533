"""Set-up and Disconnect & Exit on a hostile Setting.tmp beside the program: 10,000-character
values, binary bytes, duplicate keys and sections, CR-only line ends, a read-only file and a
directory in its place. Each case is a fresh start of the program in one Wine session
(about 13 s a case, a minute and a half in all).

For every case the program must come up and stay up (no crash, no crash report), run no
command taken from a value (each stub call is one of the scripts' fixed command forms with
each value in its place and of its kind; no marker file from an injected "echo") and lose
no key of the file. The values ask for a tunnel at set-up (CallByIE=TRUE), so they reach
the script builders; the tunnel's far end never answers, so no success box comes."""

import collections
import contextlib
import os
import re
import shutil
import subprocess

from harness import MAIN_TITLE, check, log, scenario
from steps import (SILENT_LAN, dismiss_setup_boxes, end_by_remove, hand_over, marker_files,
                   quiet_profile, start_instance)

LENGTH = 10_000


def inject(case):
    """A value tail that would start two commands: an echo into a marker file and a call
    of the stub route, which would log "route print"."""
    return f"&echo pwned>marker-{case}.txt&route print"


def long_value(start):
    return (start + "9" * LENGTH)[:LENGTH]


def settings(**overrides):
    return hand_over(call_by_ie="TRUE", RemoteLANIP=SILENT_LAN, **overrides)


CASES = {
    "long_values": settings(
        PreSharedKey="k" * LENGTH, ModelName="M" * LENGTH,
        NetworkIP1=long_value("10.20.0.0" + inject("long")),
        Submask=long_value("255.255.0.0 -f" + inject("long")),
        URL0=long_value("https://router/"), Note=long_value("x")),
    "binary_bytes": settings(
        PreSharedKey="ke\x00y" + inject("nul"), Gateway="192.0.2.1\x00" + inject("nul"),
        ModelName="\xff\xfe\x80\x81\x8d\x90 R&D", NetworkIP1="10.20.0.0\x1b[2J\x07",
        Binary="\x01\x02\x7f\x80\xff\xfe\x00\x1a\x1b") + "Cl\xe9\x9d=\x81\x8d\x8f\x90\x9d\r\n",
    "duplicate_keys": "[IPSec]\r\nPreSharedKey=key|echo pwned>marker-dup.txt\r\n" +
    settings()[len("[IPSec]\r\n"):] + f"Gateway=1.2.3.4{inject('dup')}\r\nCallByIE=FALSE\r\n"
    "NetworkIP=-f\r\n",
    "duplicate_sections": settings() + f"[IPSec]\r\nGateway=1.2.3.4{inject('sec')}\r\n"
    "Extra=1\r\n[Other]\r\nA=B\r\n[ipsec]\r\nCallByIE=FALSE\r\nPreSharedKey=a b\r\n",
    "cr_line_ends": settings(NetworkIP1="10.20.0.0" + inject("cr")).replace("\r\n", "\r"),
    "read_only": settings(Gateway="192.0.2.1" + inject("ro")),
    "directory": None,
}

# The fixed command forms of set-up's route teardown, the IPsec script and the IPsec
# teardown on XP, with the kinds of value each place takes.
ADDRESS = r"[0-9.]*"
BARE = r'[^\s&|<>^%"\x00-\x1f]*'
QUOTED = r'[^"%\x00-\x1f]*'
TAIL = (r" -n ESP\[3DES,SHA\]PFS -a preshare:" + BARE +
        r" -1s 3DES-MD5-2 3DES-SHA-2 DES-MD5-1 DES-SHA-1 -1p -c")
POLICY = r'ipseccmd -w REG -p "' + QUOTED + r'_SSL" -r '
FIXED_CALLS = [re.compile(form) for form in (
    rf"route delete {ADDRESS} mask {ADDRESS}",
    rf"route -p add {ADDRESS} mask {ADDRESS} {ADDRESS}",
    r"netsh firewall set icmpsetting 8 ENABLE",
    POLICY + rf'"remote-router" -f {ADDRESS}\+{ADDRESS}/{ADDRESS} -t {ADDRESS}' + TAIL,
    POLICY + rf'"router-remote" -f {ADDRESS}/{ADDRESS}\+{ADDRESS} -t {ADDRESS}' + TAIL + " -x",
    POLICY + r'"remote-router" -y',
    POLICY + r'"router-remote" -o',
)]


def foreign_calls(calls):
    return [c for c in calls if not any(form.fullmatch(c) for form in FIXED_CALLS)]


def ini_keys(data):
    """(section, key) of every key line, counted, as the profile functions read the file:
    lines end at CR or LF, blanks around a name do not count."""
    keys, section = collections.Counter(), ""
    for line in re.split(rb"\r\n|\r|\n", data):
        line = line.strip(b" \t\x1a")
        if line.startswith(b"[") and b"]" in line:
            section = line[1:line.rindex(b"]")].strip().lower()
        elif b"=" in line and not line.startswith(b";"):
            keys[(section, line.split(b"=", 1)[0].strip(b" \t\x1a"))] += 1
    return keys


@contextlib.contextmanager
def placed(s, case, content):
    """The case's Setting.tmp beside the program; yields whether the file is read-only to
    the program. Wine takes the read-only attribute from the file's mode, which does not
    stop root; the file is also made immutable, which does, where the file system allows."""
    path = os.path.join(s.program_dir, "Setting.tmp")
    read_only = False
    if content is None:
        os.mkdir(path)
    else:
        s.write_program_file("Setting.tmp", content)
    if case == "read_only":
        s.wine(["cmd", "/c", "attrib", "+r", "C:\\Kestrun\\Setting.tmp"])
        read_only = subprocess.run(["chattr", "+i", path], capture_output=True).returncode == 0
        if not read_only:
            log("chattr +i is not available here: the read-only case runs writable")
    try:
        yield read_only
    finally:
        if read_only:
            subprocess.run(["chattr", "-i", path], capture_output=True)
        if os.path.isdir(path):
            shutil.rmtree(path)
        elif os.path.exists(path):
            os.chmod(path, 0o644)
            os.remove(path)
        for name in ("stub-calls.log",):
            with contextlib.suppress(FileNotFoundError):
                os.remove(os.path.join(s.program_dir, name))


def crash_signs(s, process):
    raw = process.raw()
    signs = [m for m in ("wine: Unhandled", "terminate called", "Unhandled exception")
             if m in raw]
    if s.window_count("Program Error"):
        signs.append("a 'Program Error' window")
    return signs


def check_case(s, case, process, original, read_only, stage):
    calls = s.stub_calls()
    check(not crash_signs(s, process), f"{case}, {stage}: {crash_signs(s, process)}")
    check(not foreign_calls(calls), f"{case}, {stage}: commands beyond the fixed forms "
          f"{foreign_calls(calls)}")
    check(not marker_files(s), f"{case}, {stage}: an injected command ran: {marker_files(s)}")
    if original is None:
        check(os.path.isdir(os.path.join(s.program_dir, "Setting.tmp")),
              f"{case}, {stage}: the directory was replaced")
        return len(calls)
    now = s.read_program_file("Setting.tmp")
    if read_only:
        check(now == original, f"{case}, {stage}: the read-only file changed")
    else:
        lost = ini_keys(original) - ini_keys(now)
        check(not lost, f"{case}, {stage}: keys lost {sorted(lost)}; file now {now!r}")
    return len(calls)


@scenario("hostile_settings_setup", timeout=400, labels=("e2e", "hostile"))
def hostile_settings_setup(s):
    s.place_stub_tools()
    s.install_policyagent()
    quiet_profile(s)
    for case, content in CASES.items():
        original = None if content is None else content.encode("latin-1")
        with placed(s, case, content) as read_only:
            process = start_instance(s, label=case)
            warnings = dismiss_setup_boxes(s, quiet_for=1.0)
            check(process.wait_trace("Timer3:CallByIE=[FALSE]\n", 20),
                  f"{case}: set-up did not reach the profile watch; trace {process.trace()}")
            check(process.running() and s.window_count(MAIN_TITLE) == 1,
                  f"{case}: the program did not stay up")
            at_setup = check_case(s, case, process, original, read_only, "set-up")
            end_by_remove(s, process)
            total = check_case(s, case, process, original, read_only, "exit")
            log(f"{case}: {at_setup} tool calls at set-up, {total - at_setup} at exit, "
                f"warnings {warnings}, refused "
                f"{[t.split()[-1] for t in process.trace() if t.startswith('Refused')]}")
