"""Runs the real Kestrun.exe under Wine and drives it from outside.

The pieces, each usable on its own:
  - base_prefix(): one prepared win32 Wine prefix per build directory (virtual desktop on),
    built in a temporary directory and renamed into place, so concurrent or interrupted
    creation never leaves a half-made prefix behind;
  - Display: the caller's X display, or a private Xvfb on a free display number;
  - NetNamespace: a network namespace of its own (loopback plus a veth pair with a default
    route, host names of its own and no name server), where every scenario runs unless it
    asks otherwise: the program's echoes and look-ups stay inside, unanswered or answered by
    a stand-in server;
  - Session: a scenario's own copy of the prefix set to one Windows version, a program
    directory around a copy of Kestrun.exe, processes with their debug traces, the kthelper
    driver, registry edits and screenshots; always ends with `wineserver -k` of its prefix.
"""

import contextlib
import errno
import fcntl
import os
import re
import shutil
import subprocess
import tempfile
import time
import uuid

WINE = "/usr/lib/wine/wine"


def wine_cannot_run():
    """Why Wine cannot run on this machine, or None. Some kernels have their 32-bit
    emulation switched off (ia32_emulation=off): every i386 program then fails with
    "Exec format error", and no scenario can say anything about the client."""
    try:
        subprocess.run([WINE, "--version"], capture_output=True, timeout=30)
    except OSError as error:
        if error.errno == errno.ENOEXEC:
            return ("this kernel cannot run 32-bit programs (ia32_emulation is off), "
                    "so Wine cannot start")
        raise
    return None
WINESERVER = "/usr/lib/wine/wineserver"
MAIN_TITLE = "Pallisor Client"
# Stub external tools and where the program's scripts expect each one.
STUB_TOOLS = {"route": "route.exe", "ipseccmd": "ipseccmd.exe", "ipsecpol": "ipsecpol.exe",
              "netsh": "netsh.exe", "openvpn": "openVPN\\openvpn.exe"}
STUB_LOG = "stub-calls.log"
SKIP_CODE = 77


class ScenarioFailed(Exception):
    pass


class ScenarioSkipped(Exception):
    pass


def check(condition, message):
    if not condition:
        raise ScenarioFailed(message)


def log(message):
    print(f"[{time.strftime('%H:%M:%S')}] {message}", flush=True)


class Paths:
    """Where the build keeps the program, the tools and the harness's own files."""

    def __init__(self, build_dir, source_dir):
        self.build_dir = os.path.abspath(build_dir)
        self.source_dir = os.path.abspath(source_dir)
        self.e2e_dir = os.path.join(self.build_dir, "e2e")
        self.artifacts = os.path.join(self.e2e_dir, "artifacts")
        self.runs = os.path.join(self.e2e_dir, "runs")
        self.exe = os.path.join(self.build_dir, "Kestrun.exe")
        self.tools = os.path.join(self.build_dir, "tools")
        for directory in (self.e2e_dir, self.artifacts, self.runs):
            os.makedirs(directory, exist_ok=True)

    def tool(self, name):
        return os.path.join(self.tools, name if name.endswith(".exe") else name + ".exe")


def wine_env(prefix, display=None, debug="-all"):
    env = {k: v for k, v in os.environ.items() if not k.startswith("WINE")}
    env.update(WINEARCH="win32", WINEPREFIX=prefix, WINEDEBUG=debug,
               WINEDLLOVERRIDES="mscoree,mshtml=")
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    return env


def run(command, env=None, timeout=60, check_rc=True, **kwargs):
    # Output goes through files, not pipes: a Wine command may start the prefix's
    # long-lived processes (services, the desktop), which inherit its output handles and
    # would keep a pipe open until the session ends.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        completed = subprocess.run(command, env=env, timeout=timeout, stdin=subprocess.DEVNULL,
                                   stdout=out, stderr=err, **kwargs)
        out.seek(0)
        err.seek(0)
        result = subprocess.CompletedProcess(
            command, completed.returncode, out.read().decode("latin-1"),
            err.read().decode("latin-1"))
    if check_rc and result.returncode != 0:
        raise ScenarioFailed(f"{' '.join(command)} failed ({result.returncode}): "
                             f"{result.stdout}{result.stderr}")
    return result


def pid_alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        return True
    return True


# ---------------------------------------------------------------------------------------
# Prefix

DESKTOP_KEYS = [
    ("HKCU\\Software\\Wine\\Explorer", "Desktop", "Default"),
    ("HKCU\\Software\\Wine\\Explorer\\Desktops", "Default", "1024x768"),
]
COMPLETE_MARK = ".kestrun-prefix-complete"


def base_prefix(paths):
    """The build directory's prepared prefix; created on first use (about 15 s)."""
    target = os.path.join(paths.e2e_dir, "prefix-base")
    if os.path.exists(os.path.join(target, COMPLETE_MARK)):
        return target
    with open(os.path.join(paths.e2e_dir, "prefix.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(os.path.join(target, COMPLETE_MARK)):
            return target
        started = time.monotonic()
        fresh = os.path.join(paths.e2e_dir, f"prefix-new-{os.getpid()}")
        shutil.rmtree(fresh, ignore_errors=True)
        env = wine_env(fresh)
        try:
            run([WINE, "wineboot", "-i"], env=env, timeout=180)
            for key, name, data in DESKTOP_KEYS:
                run([WINE, "reg", "add", key, "/v", name, "/d", data, "/f"], env=env)
            # The registry reaches the disk when the server ends on its own.
            run([WINESERVER, "-w"], env=env, timeout=60)
            open(os.path.join(fresh, COMPLETE_MARK), "w").close()
            shutil.rmtree(target, ignore_errors=True)
            os.rename(fresh, target)
        finally:
            if os.path.exists(fresh):
                subprocess.run([WINESERVER, "-k"], env=env, capture_output=True)
                shutil.rmtree(fresh, ignore_errors=True)
        log(f"prepared {target} in {time.monotonic() - started:.1f} s")
    return target


# ---------------------------------------------------------------------------------------
# Display


class Display:
    """The caller's DISPLAY, or a private Xvfb on the first free number from 80 up."""

    def __init__(self, wanted=True, pid_file=None):
        self.wanted = wanted
        self.pid_file = pid_file
        self.name = None
        self.process = None

    def __enter__(self):
        if not self.wanted:
            return self
        if os.environ.get("DISPLAY"):
            self.name = os.environ["DISPLAY"]
            return self
        for number in range(80, 200):
            if (os.path.exists(f"/tmp/.X{number}-lock") or
                    os.path.exists(f"/tmp/.X11-unix/X{number}")):
                continue
            process = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and process.poll() is None:
                if os.path.exists(f"/tmp/.X11-unix/X{number}"):
                    self.name, self.process = f":{number}", process
                    if self.pid_file:
                        with open(self.pid_file, "w") as f:
                            f.write(str(process.pid))
                    return self
                time.sleep(0.05)
            # Another user took the number first, or the server did not come up.
            process.kill()
            process.wait()
        raise ScenarioFailed("no free X display number for Xvfb")

    def __exit__(self, *exc):
        if self.process is not None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        return False


# ---------------------------------------------------------------------------------------
# Network namespace


class NetNamespace:
    """A namespace of its own: 127.0.0.1 answers, 192.0.2.x (other than .2) does not, and
    the adapter list shows v0 (192.0.2.2/24) with a default route via 192.0.2.1."""

    ADDRESS = "192.0.2.2"
    GATEWAY = "192.0.2.1"

    def __init__(self):
        self.name = f"kt-{os.getpid()}-{uuid.uuid4().hex[:6]}"

    def __enter__(self):
        n = self.name
        run(["ip", "netns", "add", n])
        try:
            # Name look-ups ask the namespace's own loopback, where nothing answers, so
            # they fail at once instead of waiting for a name server that cannot be reached.
            os.makedirs(self.etc_dir(n), exist_ok=True)
            with open(os.path.join(self.etc_dir(n), "resolv.conf"), "w") as f:
                f.write("nameserver 127.0.0.1\n")
            for command in (["link", "set", "lo", "up"],
                            ["link", "add", "v0", "type", "veth", "peer", "name", "v1"],
                            ["addr", "add", f"{self.ADDRESS}/24", "dev", "v0"],
                            ["link", "set", "v0", "up"],
                            ["link", "set", "v1", "up"],
                            ["route", "add", "default", "via", self.GATEWAY, "dev", "v0"]):
                run(["ip", "-n", n] + command)
        except Exception:
            self.__exit__()
            raise
        return self

    def wrap(self, command):
        return ["ip", "netns", "exec", self.name] + command

    def add_host(self, host, address):
        """Makes host resolve to address for programs started from now on: `ip netns exec`
        puts /etc/netns/<name>/hosts in place of /etc/hosts."""
        os.makedirs(self.etc_dir(self.name), exist_ok=True)
        path = os.path.join(self.etc_dir(self.name), "hosts")
        if not os.path.exists(path):
            with open(path, "w") as f:
                f.write("127.0.0.1 localhost\n")
        with open(path, "a") as f:
            f.write(f"{address} {host}\n")

    @staticmethod
    def etc_dir(name):
        return os.path.join("/etc/netns", name)

    def __exit__(self, *exc):
        pids = subprocess.run(["ip", "netns", "pids", self.name], capture_output=True,
                              text=True).stdout.split()
        for pid in pids:
            with contextlib.suppress(ProcessLookupError, ValueError):
                os.kill(int(pid), 9)
        subprocess.run(["ip", "netns", "del", self.name], capture_output=True)
        shutil.rmtree(self.etc_dir(self.name), ignore_errors=True)
        return False

    @staticmethod
    def remove_stale():
        """Deletes namespaces left by harness runs that were killed."""
        listing = subprocess.run(["ip", "netns", "list"], capture_output=True,
                                 text=True).stdout
        for line in listing.splitlines():
            match = re.match(r"^(kt-(\d+)-[0-9a-f]{6})\b", line)
            if match and not pid_alive(int(match.group(2))):
                subprocess.run(["ip", "netns", "del", match.group(1)], capture_output=True)
                shutil.rmtree(NetNamespace.etc_dir(match.group(1)), ignore_errors=True)

    @staticmethod
    def exists(name):
        listing = subprocess.run(["ip", "netns", "list"], capture_output=True,
                                 text=True).stdout
        return any(line.split()[0] == name for line in listing.splitlines() if line.strip())


# ---------------------------------------------------------------------------------------
# Debug trace

# Wine 8 writes each OutputDebugStringA text as
#   0024:warn:debugstr:OutputDebugStringA "text with \n escapes"
# and ends a shortened text with "..." after the closing quote. With +timestamp the line
# begins with the tick count in seconds ("4146.020:"), which is CLOCK_MONOTONIC_RAW.
TRACE_LINE = re.compile(
    r'^(?:(?P<time>\d+\.\d+):)?[0-9a-f]+:[a-z]+:debugstr:OutputDebugString[AW] [Lu]?'
    r'"(?P<text>.*)"(\.\.\.)?\s*$')
ESCAPE = re.compile(r'\\(x[0-9a-fA-F]{2}|u[0-9a-fA-F]{4}|[0-7]{1,3}|.)')


def _unescape(match):
    code = match.group(1)
    simple = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"', "'": "'",
              "a": "\a", "b": "\b", "f": "\f", "v": "\v"}
    if code in simple:
        return simple[code]
    if code[0] in "xu":
        return chr(int(code[1:], 16))
    if code[0] in "01234567":
        return chr(int(code, 8))
    return code


def parse_timed_trace(stderr_text):
    """(milliseconds or None, text) of each OutputDebugStringA text, in order; the time is
    there when the program ran with +timestamp."""
    entries = []
    for line in stderr_text.splitlines():
        match = TRACE_LINE.match(line)
        if match:
            stamp = match.group("time")
            entries.append((float(stamp) * 1000 if stamp else None,
                            ESCAPE.sub(_unescape, match.group("text"))))
    return entries


def parse_trace(stderr_text):
    """The texts the program wrote with OutputDebugStringA, in order."""
    return [text for _, text in parse_timed_trace(stderr_text)]


class WineProcess:
    """One program started under Wine, with its stderr (the debug trace) kept in a file."""

    def __init__(self, popen, log_path, label):
        self.popen = popen
        self.log_path = log_path
        self.label = label

    def wait(self, timeout):
        """The exit code, or None when the process still runs after timeout seconds."""
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.popen.poll() is None

    def raw(self):
        with open(self.log_path, encoding="latin-1") as f:
            return f.read()

    def trace(self):
        return parse_trace(self.raw())

    def timed_trace(self):
        return parse_timed_trace(self.raw())

    def wait_trace(self, text, timeout):
        deadline = time.monotonic() + timeout
        while True:
            if text in self.trace():
                return True
            if time.monotonic() >= deadline:
                return False
            time.sleep(0.1)


# ---------------------------------------------------------------------------------------
# Session


class Session:
    """One scenario: its own prefix copy, desktop, program directory and processes."""

    PROGRAM_DIR = "Kestrun"  # C:\Kestrun inside the prefix

    def __init__(self, paths, name, windows="winxp", display=True, netns=True):
        self.paths = paths
        self.name = name
        self.windows = windows
        self.want_display = display
        self.want_netns = netns
        self.run_dir = os.path.join(paths.runs, f"{name}-{os.getpid()}")
        self.prefix = os.path.join(self.run_dir, "prefix")
        self.program_dir = os.path.join(self.prefix, "drive_c", self.PROGRAM_DIR)
        self.processes = []
        self.display = None
        self.netns = None
        self.failed = False
        self._stack = contextlib.ExitStack()

    # -- life cycle

    def remove_stale_runs(self):
        """Ends and deletes the sessions of harness runs that were killed (a CTest timeout),
        so their Wine processes and prefix copies do not pile up."""
        for entry in os.listdir(self.paths.runs):
            match = re.match(r"^.+-(\d+)$", entry)
            if not match or pid_alive(int(match.group(1))):
                continue
            stale = os.path.join(self.paths.runs, entry)
            with contextlib.suppress(OSError, ValueError):
                with open(os.path.join(stale, "xvfb.pid")) as f:
                    xvfb = int(f.read())
                with open(f"/proc/{xvfb}/cmdline", "rb") as f:
                    if f.read().startswith(b"Xvfb"):
                        os.kill(xvfb, 15)
            prefix = os.path.join(stale, "prefix")
            if os.path.isdir(prefix):
                subprocess.run([WINESERVER, "-k"], env=wine_env(prefix), capture_output=True,
                               timeout=30)
            shutil.rmtree(stale, ignore_errors=True)
        NetNamespace.remove_stale()

    def __enter__(self):
        started = time.monotonic()
        self.remove_stale_runs()
        base = base_prefix(self.paths)
        shutil.rmtree(self.run_dir, ignore_errors=True)
        os.makedirs(self.run_dir)
        try:
            # A fresh copy per scenario (about 2 s) leaves nothing behind for the next one.
            run(["cp", "-a", "--reflink=auto", base, self.prefix], timeout=120)
            os.remove(os.path.join(self.prefix, COMPLETE_MARK))
            self.display = self._stack.enter_context(
                Display(self.want_display, os.path.join(self.run_dir, "xvfb.pid")))
            if self.want_netns:
                self.netns = self._stack.enter_context(NetNamespace())
            self.wine(["winecfg", "-v", self.windows])
            os.makedirs(self.program_dir)
            # Wine makes the folder's permissions up from its mode: 0755 is a folder that
            # only its owner can change, which the client accepts.
            os.chmod(self.program_dir, 0o755)
            shutil.copy2(self.paths.exe, os.path.join(self.program_dir, "Kestrun.exe"))
            # The tray icons are files beside the program, as delivered.
            icons = os.path.join(self.paths.build_dir, "res")
            if os.path.isdir(icons):
                shutil.copytree(icons, os.path.join(self.program_dir, "res"))
        except BaseException:
            self.__exit__(None, None, None)
            raise
        log(f"session {self.name} ({self.windows}) ready in "
            f"{time.monotonic() - started:.1f} s")
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None and not issubclass(exc_type, ScenarioSkipped):
            self.failed = True
            with contextlib.suppress(Exception):
                self.save_diagnostics()
        self.kill_wine()
        self._stack.close()
        if self.failed or os.environ.get("KESTRUN_E2E_KEEP"):
            log(f"kept {self.run_dir}" if os.environ.get("KESTRUN_E2E_KEEP") else
                f"traces saved in {self.paths.artifacts}")
        if not os.environ.get("KESTRUN_E2E_KEEP"):
            shutil.rmtree(self.run_dir, ignore_errors=True)
        return False

    def kill_wine(self):
        with contextlib.suppress(Exception):
            subprocess.run(self._wrap([WINESERVER, "-k"]), env=self.env(),
                           capture_output=True, timeout=30)
        for process in self.processes:
            if process.running():
                process.popen.kill()
            process.popen.wait()

    def save_diagnostics(self):
        base = os.path.join(self.paths.artifacts, self.name)
        for process in self.processes:
            shutil.copy(process.log_path, f"{base}.{process.label}.stderr.txt")
        if self.display and self.display.name:
            self.screenshot("failure")
            listing = self.helper("list", check_rc=False)
            with open(f"{base}.windows.txt", "w") as f:
                f.write(listing.stdout)

    # -- running things

    def env(self, debug="-all"):
        return wine_env(self.prefix, self.display.name if self.display else None, debug)

    def _wrap(self, command):
        return self.netns.wrap(command) if self.netns else command

    def wine(self, args, timeout=60, check_rc=True, debug="-all"):
        result = run(self._wrap([WINE] + args), env=self.env(debug), timeout=timeout,
                     check_rc=check_rc, cwd=self.program_dir if os.path.isdir(
                         self.program_dir) else self.run_dir)
        # Console output of Windows programs ends its lines with CR LF.
        result.stdout = result.stdout.replace("\r\n", "\n")
        return result

    def start(self, args=(), label=None, exe="Kestrun.exe", debug="-all,+debugstr",
              native=()):
        """Starts a program of the program directory with the debug trace captured. The
        programs named in native (say "cmd.exe") are loaded from their files, for it and
        all it starts, where Wine would otherwise run its own builtin ones."""
        label = label or f"p{len(self.processes) + 1}"
        log_path = os.path.join(self.run_dir, f"{label}.stderr.txt")
        command = self._wrap([WINE, os.path.join(self.program_dir, exe)] + list(args))
        env = self.env(debug)
        if native:
            env["WINEDLLOVERRIDES"] += ";" + ",".join(native) + "=n"
        with open(log_path, "wb") as stderr:
            popen = subprocess.Popen(command, env=env,
                                     cwd=self.program_dir, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=stderr)
        process = WineProcess(popen, log_path, label)
        self.processes.append(process)
        return process

    def helper(self, *args, timeout=60, check_rc=False):
        return self.wine([self.paths.tool("kthelper")] + [str(a) for a in args],
                         timeout=timeout, check_rc=check_rc)

    def window_count(self, title=MAIN_TITLE):
        return int(self.helper("count", title).stdout.strip() or "0")

    def wait_window(self, title=MAIN_TITLE, timeout_ms=20000):
        return self.helper("wait", title, timeout_ms).returncode == 0

    def window_visible(self, title=MAIN_TITLE):
        return self.helper("visible", title).returncode == 0

    def box_text(self, title, timeout_ms=10000):
        result = self.helper("boxtext", title, timeout_ms)
        return result.stdout.rstrip("\n") if result.returncode == 0 else None

    def press(self, title, timeout_ms=10000):
        return self.helper("press", title, timeout_ms).returncode == 0

    def close_boxes(self, title, limit, quiet_for=None, while_running=None):
        """Presses OK on each message box titled title, for at most limit seconds; stops
        early once quiet_for seconds pass without a box, or once while_running() is false.
        Returns the boxes' texts in order."""
        texts = []
        deadline = time.monotonic() + limit
        last_box = time.monotonic()
        while time.monotonic() < deadline:
            if quiet_for is not None and time.monotonic() - last_box >= quiet_for:
                break
            if while_running is not None and not while_running():
                break
            text = self.box_text(title, 300)
            if text is None:
                continue
            log(f"message box '{title}': {text!r} (pressing OK)")
            texts.append(text)
            self.press(title)
            last_box = time.monotonic()
            time.sleep(0.3)
        return texts

    # -- files and registry

    def write_program_file(self, relative, content):
        self._write(os.path.join(self.program_dir, *relative.split("\\")), content)

    def profile_dir(self):
        users = os.path.join(self.prefix, "drive_c", "users")
        user = os.environ.get("USER") or "root"
        candidate = os.path.join(users, user)
        if not os.path.isdir(candidate):
            candidate = next(os.path.join(users, u) for u in os.listdir(users)
                             if u != "Public")
        return candidate

    def write_profile_file(self, name, content):
        self._write(os.path.join(self.profile_dir(), name), content)

    def read_profile_file(self, name):
        """The file's bytes in the user's profile directory, or None."""
        path = os.path.join(self.profile_dir(), name)
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def copy_supplied_scripts(self):
        """GetIPSecStats.bat and Refresh.bat, which are delivered beside the program."""
        for name in ("GetIPSecStats.bat", "Refresh.bat"):
            shutil.copy2(os.path.join(self.paths.build_dir, name),
                         os.path.join(self.program_dir, name))

    def copy_tool(self, name, as_name=None):
        shutil.copy2(self.paths.tool(name),
                     os.path.join(self.program_dir, as_name or os.path.basename(
                         self.paths.tool(name))))

    @staticmethod
    def _write(path, content):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        data = content.encode("latin-1") if isinstance(content, str) else content
        with open(path, "wb") as f:
            f.write(data)

    def read_program_file(self, relative):
        """The file's bytes, or None when it does not exist."""
        path = os.path.join(self.program_dir, *relative.split("\\"))
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def place_stub_tools(self):
        """The stand-ins of route, netsh, the IPsec tools and OpenVPN, where the program's
        scripts look for them; each call lands as one line in stub_calls()."""
        for tool, place in STUB_TOOLS.items():
            with open(self.paths.tool(tool), "rb") as f:
                self.write_program_file(place, f.read())

    def stub_calls(self):
        """The stub tools' calls so far, one "<tool> <arguments>" text each."""
        data = self.read_program_file(STUB_LOG)
        return [] if data is None else data.decode("latin-1").splitlines()

    def install_policyagent(self, mode="demand"):
        """Registers the stub "PolicyAgent" service (outside the program directory); its
        starts and stops go to service_log()."""
        directory = os.path.join(self.prefix, "drive_c", "stubsvc")
        os.makedirs(directory, exist_ok=True)
        shutil.copy2(self.paths.tool("policyagent"), os.path.join(directory, "policyagent.exe"))
        self.wine(["C:\\stubsvc\\policyagent.exe", "install", mode])

    def service_log(self):
        path = os.path.join(self.prefix, "drive_c", "stubsvc", "policyagent.log")
        if not os.path.exists(path):
            return []
        with open(path, encoding="latin-1") as f:
            return f.read().splitlines()

    def reg_add(self, key, name, data, kind="REG_SZ"):
        self.wine(["reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f"])

    def screenshot(self, label):
        path = os.path.join(self.paths.artifacts, f"{self.name}.{label}.png")
        run(["import", "-window", "root", path], env=dict(os.environ,
                                                          DISPLAY=self.display.name),
            timeout=30)
        return path


# ---------------------------------------------------------------------------------------
# Screenshots


def read_ppm(path):
    """Width, height and the RGB bytes of a picture file, through ImageMagick."""
    data = run(["convert", path, "-depth", "8", "ppm:-"], timeout=30).stdout.encode("latin-1")
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+\d+\s", data)
    width, height = int(header.group(1)), int(header.group(2))
    return width, height, data[header.end():]


def pixel(picture, x, y):
    width, _, data = picture
    offset = (y * width + x) * 3
    return tuple(data[offset:offset + 3])


# ---------------------------------------------------------------------------------------
# Settings files


def ini_text(sections):
    """INI text as the portal writes it: CR LF line ends, sections in the given order."""
    lines = []
    for section, values in sections.items():
        lines.append(f"[{section}]")
        lines.extend(f"{key}={value}" for key, value in values.items())
    return "\r\n".join(lines) + "\r\n"


# ---------------------------------------------------------------------------------------
# Scenario registry

SCENARIOS = {}


class Scenario:
    def __init__(self, name, function, windows, display, netns, needs, timeout, labels):
        self.name = name
        self.function = function
        self.windows = windows
        self.display = display
        self.netns = netns
        self.needs = needs
        self.timeout = timeout
        self.labels = labels


def scenario(name, windows="winxp", display=True, netns=True, needs=None, timeout=120,
             labels=("e2e",)):
    """Registers fn(session) as an end-to-end test.

    Scenarios run in a network namespace of their own unless they ask otherwise: once a
    tunnel is built the program sends an echo every 3 seconds to the address the settings
    name, and there it cannot leave the machine.

    needs names a program feature that has not landed yet: such a scenario reports
    itself skipped unless KESTRUN_E2E_PENDING=1 (or the feature's name) asks to run it."""

    def register(function):
        if name in SCENARIOS:
            raise ValueError(f"scenario {name} registered twice")
        SCENARIOS[name] = Scenario(name, function, windows, display, netns, needs, timeout,
                                   tuple(labels))
        return function

    return register
