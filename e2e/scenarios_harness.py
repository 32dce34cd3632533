"""Self-checks of the harness: trace capture, window driving and the network namespace."""

from harness import NetNamespace, check, scenario


@scenario("harness_trace_and_windows", windows="winxp")
def trace_and_windows(s):
    s.copy_tool("kthelper")
    p = s.start(["trace", r'Close!!!\nq\"uote\" back\\slash\ttab'], exe="kthelper.exe")
    check(p.wait(30) == 0, "kthelper trace did not end")
    check(p.trace() == ['Close!!!\nq"uote" back\\slash\ttab'], f"trace parsed as {p.trace()}")
    check(s.helper("find", "No Such Window").returncode == 1, "found a window that is not there")
    check(s.window_count("No Such Window") == 0, "counted a window that is not there")
    check(s.helper("wait", "No Such Window", 200).returncode == 1, "wait did not time out")
    check(s.screenshot("desktop").endswith(".png"), "no screenshot")


@scenario("harness_netns", windows="winxp", display=False, netns=True)
def netns(s):
    check(NetNamespace.exists(s.netns.name), "namespace missing")
    loopback = s.helper("ping", "127.0.0.1", 1000)
    check(loopback.returncode == 0, f"loopback did not answer: {loopback.stdout}")
    silent = s.helper("ping", "192.0.2.1", 1000)
    check(silent.returncode == 1 and "answers=0" in silent.stdout,
          f"192.0.2.1 answered inside the namespace: {silent.stdout}")
    # A namespace is gone again after its block.
    with NetNamespace() as inner:
        name = inner.name
        check(NetNamespace.exists(name), "inner namespace missing")
    check(not NetNamespace.exists(name), "inner namespace left behind")
