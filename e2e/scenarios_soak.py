"""Soak (about three and a half minutes): a portal that hands over a new login through the
profile copy of the settings some 300 times, at random moments, while the client polls it
once a second. Checks that every pickup builds exactly once (see analyse), that the working
copy beside the program never loses a key nor holds a torn value, and that the client's
handles and memory, read from outside, do not grow from the end of a warm-up to the end.

The client runs as on Vista, where a build clears IPsec with netsh alone (about a second
under Wine); on XP and 2000 each build also restarts the IPsec service, five seconds of
fixed waits, which would leave only a few dozen pickups in the same time.

Times: the client's trace carries Wine's tick count (+timestamp), which is
CLOCK_MONOTONIC_RAW in milliseconds; the portal and its monitor read the same clock."""

import os
import random
import re
import threading
import time

from harness import MAIN_TITLE, check, log, scenario
from steps import (CONNECTED_TEXT, KEY, RESULT_CAPTION, dismiss_setup_boxes,
                   expected_setup_calls, expected_teardown_calls, hand_over, quiet_settings,
                   route_deletes)

WINDOWS = "vista"
SEED = 20240612
WARM_UP_FLIPS = 8
# KESTRUN_SOAK_SECONDS sets another length of the main run.
PORTAL_SECONDS = int(os.environ.get("KESTRUN_SOAK_SECONDS", "180"))
# A flip comes 100-900 ms after the one before; now and then the portal stays quiet for a
# few seconds, so that the client also meets a login that waits for its next tick.
GAP_MS = (100, 900)
# Quiet spells stay short of the six seconds after which the link check would open its
# success box.
QUIET_CHANCE, QUIET_MS = 0.04, (1500, 3000)
# A tick's time is Wine's tick count when it wrote its trace line, which the wineserver
# last set at or after the tick opened the profile copy (the open and the close that
# follow are server requests). The open lies at most this much before the line; a tick
# with a change of the copy in between is not held against either state.
EPSILON_MS = 200
# At rest the client holds the same handles; an echo worker may be alive at a sample.
HANDLE_SLACK = 2
# Pages that Wine touches lazily (heap arenas, an echo worker's stack). The run measured
# flat to the kilobyte; a leak of 5 KiB per pickup over the run's pickups shows above it.
RSS_SLACK_KB = 512

# A login set back by the client's own closing writes must have been written inside the
# few milliseconds between the client's check that the copy still holds the login it built
# and the write itself (Wine's profile functions read and rewrite the file in place).
RACE_MS = 100

TICK = re.compile(r"^Timer3:CallByIE=\[(.*)\]\n$")
# A tick that read TRUE while the portal replaced the copy builds nothing; the next one does.
POSTPONED = re.compile(r"^\*\*\*\*Copy .* postponed: .* changed while it was read\n$")
RAW = time.CLOCK_MONOTONIC_RAW


def now_ms():
    return time.clock_gettime(RAW) * 1000.0


def flip_text(seq):
    """What the portal writes for login seq: the tunnel to 127.0.0.1, which answers, with the
    login's number in the model name and in the pre-shared key, which the build's netsh
    commands carry."""
    return hand_over(call_by_ie="TRUE", RemoteLANIP="127.0.0.1", ModelName=f"Soak-{seq:04d}",
                     PreSharedKey=f"psk{seq:04d}")


def flip_values(seq):
    return dict(line.split("=", 1) for line in flip_text(seq).split("\r\n")[1:] if line)


def build_calls(seq):
    """The stub calls of one pickup: the previous tunnel cleared, then the IPsec script."""
    script = expected_setup_calls(WINDOWS)[len(route_deletes()):]
    return [c.replace(KEY, f"psk{seq:04d}")
            for c in expected_teardown_calls(WINDOWS) + script]


# Keys the client writes in a pickup and the values it may leave; the portal's keys keep
# the portal's values, except the two flags the client sets back.
CLIENT_KEYS = {"ParseSettingFlag": r"FALSE", "Interface": r"-?\d+", "StartTime": r"-?\d+",
               "VPN Mode": r"1", "RemoveIPsec": r"TRUE|FALSE", "CallByIE": r"TRUE|FALSE",
               "ShowAppletTitle": r"FALSE"}
SEQ_KEYS = {"ModelName": r"Soak-(\d{4})", "PreSharedKey": r"psk(\d{4})"}


def settings_problems(data, required):
    """(seq, problems) of a settings file: one section, whole CR LF lines, every required key
    present, each value one that the portal or the client writes, one login's number."""
    problems, seqs, seen = [], set(), set()
    text = data.decode("latin-1")
    lines = text.split("\r\n")
    if lines[0] != "[IPSec]" or lines[-1] != "":
        problems.append(f"not one section of whole lines: {text!r}")
    portal = flip_values(0)
    for line in lines[1:-1]:
        key, sep, value = line.partition("=")
        if not sep or key in seen:
            problems.append(f"line {line!r}")
            continue
        seen.add(key)
        if key in SEQ_KEYS:
            match = re.fullmatch(SEQ_KEYS[key], value)
            if match:
                seqs.add(int(match.group(1)))
                continue
        elif key in CLIENT_KEYS and re.fullmatch(CLIENT_KEYS[key], value):
            continue
        elif portal.get(key) == value:
            continue
        problems.append(f"torn or foreign value {line!r}")
    problems.extend(f"lost key {key}" for key in sorted(set(required) - seen))
    if len(seqs) > 1:
        problems.append(f"values of different logins {sorted(seqs)}")
    return (seqs.pop() if len(seqs) == 1 else None), problems


def profile_state(data):
    """(seq, CallByIE) of the profile copy, or None while it is being rewritten."""
    text = (data or b"").decode("latin-1")
    seq = re.search(r"\r\nModelName=Soak-(\d{4})\r\n", text)
    flag = re.search(r"\r\nCallByIE=(TRUE|FALSE)\r\n", text)
    if not text.endswith("\r\n") or not seq or not flag:
        return None
    return int(seq.group(1)), flag.group(1) == "TRUE"


def read_bytes(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


class Portal:
    """Writes the profile copy as a careful portal would: the whole file to a temporary
    name in the same directory, then renamed over the old one, so that no reader ever sees
    half a file. Records when each login appeared (between the two times taken around the
    rename)."""

    def __init__(self, s, seed):
        self.path = os.path.join(s.profile_dir(), "Setting.tmp")
        self.rng = random.Random(seed)
        self.flips = []  # (seq, before_ms, after_ms)

    def flip(self):
        seq = len(self.flips) + 1
        temporary = self.path + ".portal"
        with open(temporary, "wb") as f:
            f.write(flip_text(seq).encode("latin-1"))
            f.flush()
            os.fsync(f.fileno())
        before = now_ms()
        os.replace(temporary, self.path)
        self.flips.append((seq, before, now_ms()))

    def run(self, count=None, seconds=None):
        """Flips count times, or for seconds, at random moments."""
        end = time.monotonic() + (seconds or 0)
        done = 0
        while (count is None or done < count) and (seconds is None or time.monotonic() < end):
            if self.rng.random() < QUIET_CHANCE:
                pause = self.rng.uniform(*QUIET_MS) / 1000
            else:
                pause = self.rng.uniform(*GAP_MS) / 1000
            time.sleep(pause)
            self.flip()
            done += 1


class Monitor(threading.Thread):
    """Reads the profile copy every few milliseconds, keeping runs of an unchanged
    (seq, CallByIE) with the times of their first and last reading; samples the working
    copy beside the program and the client's resident memory."""

    def __init__(self, s, pid, required):
        super().__init__(daemon=True)
        # The working copy holds the portal's keys from the first pickup on.
        self.sampling = threading.Event()
        self.profile = os.path.join(s.profile_dir(), "Setting.tmp")
        self.working = os.path.join(s.program_dir, "Setting.tmp")
        self.pid = pid
        self.required = required
        self.runs = []  # [state, first_ms, last_ms]
        self.samples = 0
        self.rewriting = 0
        self.problems = []
        self.rss = []
        self.stop = threading.Event()

    def run(self):
        last_sample = last_rss = 0.0
        while not self.stop.is_set():
            before = now_ms()
            state = profile_state(read_bytes(self.profile))
            after = now_ms()
            if state is not None:
                if self.runs and self.runs[-1][0] == state:
                    self.runs[-1][2] = before
                else:
                    self.runs.append([state, after, before])
            if self.sampling.is_set() and after - last_sample >= 50:
                last_sample = after
                self.sample_working_copy()
            if after - last_rss >= 2000:
                last_rss = after
                self.rss.append(memory_kb(self.pid)["VmRSS"])
            time.sleep(0.005)

    def sample_working_copy(self):
        data = read_bytes(self.working)
        # The client rewrites the file in place (truncate, then one write): an empty file
        # is one caught between the two, not a torn one.
        if not data:
            self.rewriting += 1
            return
        self.samples += 1
        _, problems = settings_problems(data, self.required)
        if problems and len(self.problems) < 5:
            self.problems.append((problems, data))

    def state_at(self, start, end):
        """The state that held throughout [start, end], or None when none is known to. The
        client only ever sets the flag back, and each login has a number of its own, so a
        state read twice held in between."""
        for state, first, last in self.runs:
            if first <= start and end <= last:
                return state
        return None


def memory_kb(pid):
    """VmRSS and RssAnon of the Linux process that runs the program (Wine's loader execs in
    place, so it keeps the pid that the harness started)."""
    with open(f"/proc/{pid}/status") as f:
        fields = dict(line.split(":", 1) for line in f)
    return {name: int(fields[name].split()[0]) for name in ("VmRSS", "RssAnon")}


def footprint(s, process):
    """Handles and memory of the client, read from outside: the handle count from the
    system's process list through kthelper, the memory from Linux."""
    result = s.helper("handles", MAIN_TITLE)
    match = re.search(r"handles=(\d+)", result.stdout)
    check(match is not None, f"kthelper handles: {result.stdout!r}")
    return dict(memory_kb(process.popen.pid), handles=int(match.group(1)))


def success_box(s):
    """The link check's first answer after a pickup opens the success box; closed, the
    client is where each footprint is taken: its echo worker has run and the box has come
    and gone, which the first time costs Wine a thread stack and the dialog code."""
    text = s.box_text(RESULT_CAPTION, 20000)
    check(text == CONNECTED_TEXT, f"success box {text!r}")
    s.press(RESULT_CAPTION)
    check(s.helper("gone", RESULT_CAPTION, 5000).returncode == 0, "the success box stayed")


def ticks_and_builds(s, process):
    ticks = []
    for at, text in process.timed_trace():
        if TICK.match(text):
            ticks.append((at, TICK.match(text).group(1)))
        elif POSTPONED.match(text) and ticks and ticks[-1][1] == "TRUE":
            ticks[-1] = (ticks[-1][0], "POSTPONED")
    calls = s.stub_calls()
    per_build = len(build_calls(0))
    builds = []
    for start in range(0, len(calls) - len(calls) % per_build, per_build):
        chunk = calls[start:start + per_build]
        match = re.search(r" psk=psk(\d{4}) ", " ".join(chunk))
        seq = int(match.group(1)) if match else None
        check(seq is not None and chunk == build_calls(seq),
              f"build {len(builds) + 1} is not one whole pickup:\n{chunk}")
        builds.append(seq)
    return ticks, builds, len(calls) % per_build


def wait_rest(s, process, portal, timeout=60):
    """Waits until the last login is taken: every pickup done and two ticks since the last
    one and since the last flip have read the flag as not set."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        ticks, builds, partial = ticks_and_builds(s, process)
        last_flip = portal.flips[-1][2] if portal.flips else 0
        true_ticks = sum(1 for _, v in ticks if v == "TRUE")
        tail = [v for at, v in ticks if at > last_flip]
        if (not partial and len(builds) == true_ticks and len(tail) >= 2 and
                tail[-2:] == ["FALSE", "FALSE"]):
            return ticks, builds
        time.sleep(0.2)
    check(False, f"the client did not come to rest within {timeout} s")


def analyse(portal, monitor, ticks, builds):
    """Relates the client's ticks and builds to the portal's logins; returns counts.

    "Exactly once", as checked here:
    - a login is seen when a tick reads the profile copy's CallByIE as TRUE; every tick reads
      what the copy held at that moment (checked wherever the monitor knows that state);
    - every tick that read TRUE is followed by one whole build, and every build follows such
      a tick, unless the copy changed while the tick read it (POSTPONED: nothing built); the build carries the login the client copied: the one it saw, or one that
      replaced it between the read and the copy, never an older one nor one written later;
    - the builds' logins only increase: no login is built twice, none without being written;
    - after a build, the copy reads FALSE: the next tick reads FALSE unless a new login came;
    - a login that is never built was replaced before a tick could read it (the watch stops
      while a build runs); the closing writes of a build leave a newer login alone, so one
      set back by them (or, rewritten in place, put back to the older login's text) was
      written within RACE_MS of the copy showing it: inside the write itself."""
    flips = {seq: (before, after) for seq, before, after in portal.flips}
    true_ticks = [i for i, (_, value) in enumerate(ticks) if value == "TRUE"]
    check(len(true_ticks) == len(builds),
          f"{len(true_ticks)} ticks read TRUE, {len(builds)} builds ran")
    check(all(b in flips for b in builds), f"a build of a login never written: {builds}")
    check(all(a < b for a, b in zip(builds, builds[1:])), f"a login built twice: {builds}")
    counts = dict.fromkeys(("ticks compared with the copy", "pickups with no new login before "
                            "the next tick", "logins built",
                            "set back inside the closing write",
                            "put back to an older login inside the closing write",
                            "replaced while waiting", "of these read once, replaced before "
                            "the copy"), 0)

    for at, value in ticks:
        state = monitor.state_at(at - EPSILON_MS, at + 1)
        if state is not None:
            counts["ticks compared with the copy"] += 1
            check((value != "FALSE") == state[1],
                  f"the tick at {at:.0f} ms read {value} while the copy held login "
                  f"{state[0]} with CallByIE={'TRUE' if state[1] else 'FALSE'}")

    windows, superseded = [], set()
    for number, index in enumerate(true_ticks):
        at = ticks[index][0]
        following = ticks[index + 1][0] if index + 1 < len(ticks) else float("inf")
        windows.append((at - EPSILON_MS, following))
        seen, copied = monitor.state_at(at - EPSILON_MS, at + 1), builds[number]
        if seen is not None:
            check(copied >= seen[0], f"the pickup at {at:.0f} ms saw login {seen[0]}, built "
                  f"{copied}")
            if copied > seen[0]:
                superseded.add(seen[0])
        check(flips[copied][0] < following, f"the pickup at {at:.0f} ms built login {copied}, "
              "written after the next tick")
        if following != float("inf") and not any(
                at - EPSILON_MS <= after and before <= following
                for before, after in flips.values()):
            counts["pickups with no new login before the next tick"] += 1
            check(ticks[index + 1][1] == "FALSE",
                  f"the tick after the pickup at {at:.0f} ms read TRUE with no new login")

    def in_build(start, end):
        return any(start <= last and first <= end for first, last in windows)

    built = set(builds)
    counts["logins built"] = len(built)
    taken = {state[0] for state, _, _ in monitor.runs if not state[1]}
    older = set()
    for previous, current in zip(monitor.runs, monitor.runs[1:]):
        if current[0][0] < previous[0][0]:
            newer = previous[0][0]
            check(in_build(previous[2], current[1]) and current[1] - flips[newer][0] <= RACE_MS,
                  f"login {newer} gave way to the older {current[0][0]} outside the closing "
                  f"write of a build")
            older.add(newer)
    for seq, (before, after) in flips.items():
        if seq in built:
            continue
        if seq in taken:
            set_back = min(first for state, first, _ in monitor.runs if state == (seq, False))
            check(in_build(before, after) and set_back - before <= RACE_MS,
                  f"login {seq} was set back {set_back - before:.0f} ms after it was written, "
                  "outside the closing write of a build")
            counts["set back inside the closing write"] += 1
        elif seq in older:
            counts["put back to an older login inside the closing write"] += 1
        else:
            counts["replaced while waiting"] += 1
            counts["of these read once, replaced before the copy"] += seq in superseded
    return counts


def save_timeline(s, portal, monitor, process):
    """Logins, states of the profile copy, ticks and tool calls, for reading a failure."""
    path = os.path.join(s.paths.artifacts, f"{s.name}.timeline.txt")
    with open(path, "w") as f:
        f.writelines(f"{before:.1f} login {seq} written\n" for seq, before, _ in portal.flips)
        f.writelines(f"{first:.1f}-{last:.1f} copy holds login {state[0]} CallByIE="
                     f"{state[1]}\n" for state, first, last in monitor.runs)
        f.writelines(f"{at:.1f} {text!r}\n" for at, text in process.timed_trace())
        f.writelines(f"call {call}\n" for call in s.stub_calls())


@scenario("soak_profile_flips", windows=WINDOWS, timeout=600, labels=("e2e", "soak"))
def soak_profile_flips(s):
    s.place_stub_tools()
    s.install_policyagent()
    s.copy_supplied_scripts()
    quiet_settings(s)
    # The portal leaves the key once; each pickup copies it along.
    s.write_profile_file("Key.txt", "-----BEGIN OpenVPN Static key V1-----\n")
    started = now_ms()
    process = s.start(label="client", debug="-all,+timestamp,+debugstr")
    check(s.wait_window(MAIN_TITLE, 30000), f"no main window; trace {process.trace()}")
    first = process.timed_trace()[0][0]
    check(started - 1 <= first <= now_ms(), f"the trace's clock is not this one: {first:.0f} ms "
          f"outside {started:.0f}-{now_ms():.0f}")
    dismiss_setup_boxes(s, quiet_for=1.0)
    check(s.stub_calls() == [], f"a tunnel was built before the first login: {s.stub_calls()}")

    portal = Portal(s, SEED)
    # Between a pickup's copy and its own writes the working copy is the portal's file; the
    # client's keys are back once the pickup is done (all but set-up's ShowAppletTitle, which
    # the copy replaces).
    monitor = Monitor(s, process.popen.pid, list(flip_values(0)))
    required = list(flip_values(0)) + [k for k in CLIENT_KEYS if k != "ShowAppletTitle"]
    monitor.start()
    try:
        portal.run(count=WARM_UP_FLIPS)
        wait_rest(s, process, portal)
        success_box(s)
        start = footprint(s, process)
        log(f"after warm-up: {start}")
        monitor.sampling.set()
        portal.flip()
        portal.run(seconds=PORTAL_SECONDS)
        ticks, builds = wait_rest(s, process, portal)
        success_box(s)
        end = footprint(s, process)
        log(f"after {PORTAL_SECONDS} s of flips: {end} (largest VmRSS sampled "
            f"{max(monitor.rss)} kB)")
    finally:
        monitor.stop.set()
        monitor.join()
        save_timeline(s, portal, monitor, process)

    counts = analyse(portal, monitor, ticks, builds)
    log(f"{len(portal.flips)} logins written, {len(ticks)} ticks; {counts}; working copy sampled "
        f"{monitor.samples} times ({monitor.rewriting} caught mid-rewrite)")
    check(len(portal.flips) >= 200, f"only {len(portal.flips)} logins written")
    check(not monitor.problems, f"the working copy was corrupt: {monitor.problems}")
    seq, problems = settings_problems(s.read_program_file("Setting.tmp"), required)
    check(not problems and seq == builds[-1],
          f"working copy after the run (login {seq}, last built {builds[-1]}): {problems}")
    final = profile_state(s.read_profile_file("Setting.tmp"))
    check(final is not None and not final[1] and final[0] >= builds[-1],
          f"profile copy after the run: {final}")
    failures = [t for t in process.trace()
                if t.startswith(("****Copy", "CreateProcess failed", "Refused")) and
                not POSTPONED.match(t)]
    check(not failures, f"failures in the trace: {failures}")
    check(process.running() and s.window_count(MAIN_TITLE) == 1, "the client did not survive")
    check(end["handles"] <= start["handles"] + HANDLE_SLACK,
          f"handles grew from {start['handles']} to {end['handles']}")
    check(end["VmRSS"] <= start["VmRSS"] + RSS_SLACK_KB,
          f"VmRSS grew from {start['VmRSS']} to {end['VmRSS']} kB")
