"""The setup program: a silent install into Program Files, a login made in an outside
browser that the installed client picks up from the user's profile directory and turns
into an IPsec tunnel answering on 127.0.0.1, and a silent uninstall run as Add/Remove
Programs runs it while the client is up. What the setup put there goes, and so do the
client's files that hold keys; the user's Setting.tmp (without its pre-shared key) and the
files that others put into the folder stay.

The session runs in a network namespace of its own, so nothing leaves the machine."""

import os
import re
import secrets
import shutil
import time

from harness import MAIN_TITLE, check, log, scenario
from steps import (CONNECTED_TEXT, EXIT_BOX_TEXT, RESULT_CAPTION, WARNING_CAPTION,
                   expected_setup_calls, expected_teardown_calls, hand_over, route_deletes,
                   start_instance)

SETUP = "Kestrun-setup.exe"
INSTALL_DIR = ("Program Files", "Kestrun")
WINDOWS_DIR = "C:\\" + "\\".join(INSTALL_DIR)
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrun"
# Relative to the installation folder, as the setup puts them there.
INSTALLED = {
    "Kestrun.exe": "Kestrun.exe",
    "res\\icon_link.ico": "res/icon_link.ico",
    "res\\icon_NoLink.ico": "res/icon_NoLink.ico",
    "Refresh.bat": "res/scripts/Refresh.bat",
    "GetIPSecStats.bat": "res/scripts/GetIPSecStats.bat",
    "openVPN\\README.txt": "installer/openVPN-README.txt",
}


def reg_values(s, key):
    """{name: (type, data)} of a registry key, or None when it does not exist."""
    result = s.wine(["reg", "query", key], check_rc=False)
    if result.returncode != 0:
        return None
    values = {}
    for line in result.stdout.splitlines():
        match = re.match(r"^\s+(\S+)\s+(REG_\w+)\s+(.*)$", line)
        if match:
            values[match.group(1)] = (match.group(2), match.group(3).strip())
    return values


def source_bytes(s, relative):
    base = s.paths.build_dir if relative == "Kestrun.exe" else s.paths.source_dir
    with open(os.path.join(base, relative), "rb") as f:
        return f.read()


def install(s):
    """Runs the setup silently into its default folder, which becomes the session's program
    directory, and checks what it put there."""
    setup = os.path.join(s.paths.build_dir, SETUP)
    check(os.path.exists(setup), f"{setup} was not built")
    # Nothing of the harness's own copy of the program may stand in for the installed one.
    shutil.rmtree(s.program_dir)
    result = s.wine([setup, "/S"], timeout=120, check_rc=False)
    check(result.returncode == 0, f"the setup failed ({result.returncode})")
    s.program_dir = os.path.join(s.prefix, "drive_c", *INSTALL_DIR)

    key = reg_values(s, UNINSTALL_KEY)
    check(key is not None, "no Add/Remove Programs entry")
    expected = {"DisplayName": ("REG_SZ", "Kestrun"), "DisplayVersion": ("REG_SZ", "1.00"),
                "InstallLocation": ("REG_SZ", WINDOWS_DIR),
                "UninstallString": ("REG_SZ", f'"{WINDOWS_DIR}\\Uninstall.exe"'),
                "NoModify": ("REG_DWORD", "0x1"), "NoRepair": ("REG_DWORD", "0x1")}
    for name, value in expected.items():
        check(key.get(name) == value, f"{name} is {key.get(name)}, expected {value}")
    check(key.get("Publisher", ("", ""))[1], f"no Publisher in {key}")
    for installed, source in INSTALLED.items():
        check(s.read_program_file(installed) == source_bytes(s, source),
              f"{installed} is missing or differs from {source}")
    check(s.read_program_file("Uninstall.exe") is not None, "no Uninstall.exe")
    # Wine keeps the access lists the setup sets as modes, an entry for Everyone as the
    # bits for others: nobody but the administrators and the system may change anything.
    for relative in [".", "res", "openVPN"] + list(INSTALLED):
        mode = os.stat(os.path.join(s.program_dir, *relative.split("\\"))).st_mode & 0o777
        check(mode & 0o002 == 0, f"{relative} can be changed by others: mode {mode:o}")
    log(f"installed into {WINDOWS_DIR}")


def wait_until(s, condition, timeout):
    """Whether condition() came true within timeout seconds; presses OK on the warnings
    that set-up may show under Wine meanwhile."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() >= deadline:
            return False
        s.close_boxes(WARNING_CAPTION, 0.5)
    return True


def profile_setting(s):
    with open(os.path.join(s.profile_dir(), "Setting.tmp"), encoding="latin-1") as f:
        return f.read()


def log_in(s, windows):
    """A login in an outside browser, handed over through the user's profile directory;
    returns the running client once its tunnel answers."""
    s.place_stub_tools()
    s.install_policyagent()
    s.write_profile_file("Setting.tmp", hand_over(call_by_ie="TRUE", RemoteLANIP="127.0.0.1"))
    s.write_profile_file("Key.txt", secrets.token_hex(64))
    client = start_instance(s, label="client")
    script = expected_setup_calls(windows)[len(route_deletes()):]
    check(wait_until(s, lambda: s.stub_calls()[-len(script):] == script, 30),
          f"no IPsec script from the profile copy; tool calls {s.stub_calls()}")
    check(wait_until(s, lambda: "CallByIE=FALSE" in profile_setting(s), 10),
          f"profile copy after the pickup: {profile_setting(s)!r}")
    check(client.wait_trace("LAN Connected!!!\n", 20), f"no echo answer: {client.trace()}")
    box = s.box_text(RESULT_CAPTION, 15000)
    check(box == CONNECTED_TEXT, f"success box {box!r}")
    s.press(RESULT_CAPTION)
    return client


def uninstall(s, client, windows):
    """Runs the uninstaller as Add/Remove Programs does (silently), closes the box that the
    client's exit shows and waits for the uninstall to finish."""
    before = len(s.stub_calls())
    uninstaller = s.start(["/S"], label="uninstaller", exe="Uninstall.exe")
    boxes = s.close_boxes(RESULT_CAPTION, 60, while_running=client.running)
    check(boxes == [EXIT_BOX_TEXT], f"boxes at the uninstall's exit request: {boxes}")
    check(client.wait(15) is not None, "the client did not end")
    check("Remove!!!" in uninstaller.trace(), "the uninstaller did not run Kestrun.exe -r")
    teardown = s.stub_calls()[before:]
    check(teardown == expected_teardown_calls(windows), f"teardown calls {teardown}")
    # The uninstaller works on from a copy of itself in the temporary folder.
    deadline = time.monotonic() + 60
    while s.read_program_file("Uninstall.exe") is not None or \
            reg_values(s, UNINSTALL_KEY) is not None:
        check(time.monotonic() < deadline, "the uninstall did not finish")
        time.sleep(0.5)


def check_left(s):
    left = sorted(os.path.relpath(os.path.join(d, f), s.program_dir)
                  for d, _, files in os.walk(s.program_dir) for f in files)
    log(f"left in {WINDOWS_DIR}: {left}")
    for installed in INSTALLED:
        check(s.read_program_file(installed) is None, f"{installed} is still there")
    check(not os.path.exists(os.path.join(s.program_dir, "res")), "res\\ is still there")
    settings = s.read_program_file("Setting.tmp")
    check(settings is not None and b"RemoteLANIP=127.0.0.1" in settings,
          f"Setting.tmp was lost: {settings!r}")
    check(b"PreSharedKey" not in settings, f"Setting.tmp kept its key: {settings!r}")
    for written in ("Varnel_IPSecVPN.bat", "Varnel_openVPN.bat", "DelRouteTable.bat",
                    "Clear_IPsec.bat", "Key.txt", "tmp.txt"):
        check(s.read_program_file(written) is None, f"{written} is still there")
    check(s.read_program_file("openVPN\\openvpn.exe") is not None,
          "the administrator's openvpn.exe was removed")
    check(s.window_count(MAIN_TITLE) == 0, "a client window is still there")


def install_log_in_uninstall(windows):
    def run(s):
        install(s)
        client = log_in(s, windows)
        uninstall(s, client, windows)
        check_left(s)

    return run


for _windows in ("winxp", "win2k", "vista"):
    scenario(f"installer_{_windows}", windows=_windows, netns=True, timeout=180,
             labels=("e2e", "installer"))(install_log_in_uninstall(_windows))
