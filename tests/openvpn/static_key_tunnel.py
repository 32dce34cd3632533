#!/usr/bin/env python3
"""The client's OpenVPN line against a real OpenVPN with the router's options.

Two network namespaces of this test's own, joined by a veth pair, stand for the router and
the PC. The router side runs OpenVPN in static-key mode as the router does (tcp-server,
dev tap, the default cipher BF-CBC); the PC side runs the arguments the client writes for
OpenVPN 2.6, printed by openvpn_line, with only the program's path adapted. The tunnel
must come up and carry traffic to the router's LAN; the line of older releases must fail
on this OpenVPN the way the field reports it. Skips (77) without root or openvpn.

    static_key_tunnel.py <openvpn_line>
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
SERVER_PUBLIC, CLIENT_PUBLIC = "198.51.100.1", "198.51.100.2"
SERVER_TUNNEL, CLIENT_TUNNEL, TUNNEL_MASK = "10.1.99.1", "10.1.99.2", "255.255.255.0"
LAN_HOST, LAN, LAN_MASK = "10.20.0.1", "10.20.0.0", "255.255.0.0"
PORT = "1194"
CLOSED_PORT = 9

# Answers 0 for a refused connection (the far end's kernel answered), 1 for anything else,
# with the error on stderr.
CONNECT = """
import socket, sys
s = socket.socket()
s.settimeout(5)
try:
    s.connect((sys.argv[1], int(sys.argv[2])))
except ConnectionRefusedError:
    sys.exit(0)
except OSError as e:
    print(repr(e), file=sys.stderr)
    sys.exit(1)
print("connected", file=sys.stderr)
sys.exit(1)
"""


def run(*args, check=True):
    return subprocess.run(args, check=check, capture_output=True, text=True)


def refused(namespace, host):
    result = run("ip", "netns", "exec", namespace, sys.executable, "-c", CONNECT, host,
                 str(CLOSED_PORT), check=False)
    return result.returncode == 0, result.stderr.strip()


def client_line(tool, major, minor):
    line = run(tool, str(major), str(minor), SERVER_PUBLIC, CLIENT_TUNNEL, TUNNEL_MASK, PORT,
               LAN, LAN_MASK, SERVER_TUNNEL).stdout
    args = line.split(" ")
    assert args[0] == ".\\openVPN\\openvpn.exe", line
    # The Windows path of the program is the only part that does not carry over.
    return ["openvpn"] + args[1:]


def wait_for(path, text, seconds, process=None):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if os.path.exists(path) and text in open(path, errors="replace").read():
            return True
        if process is not None and process.poll() is not None:
            return False
        time.sleep(0.2)
    return False


def tail(path):
    return open(path, errors="replace").read()[-3000:] if os.path.exists(path) else "(no log)"


def main():
    if os.geteuid() != 0 or shutil.which("openvpn") is None or shutil.which("ip") is None:
        print("skipped: needs root, ip and openvpn (tools/install-deps.sh)")
        return SKIP
    tool = os.path.abspath(sys.argv[1])
    tag = str(os.getpid())
    server_ns, client_ns = "kt-ovpn-s" + tag, "kt-ovpn-c" + tag
    server_veth, client_veth = "kvs" + tag, "kvc" + tag
    work = tempfile.mkdtemp(prefix="kestrun-openvpn-")
    processes = []
    namespaces = []
    # A CTest timeout ends the test with SIGTERM; the clean-up must still run.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    try:
        for namespace in (server_ns, client_ns):
            run("ip", "netns", "add", namespace)
            namespaces.append(namespace)
            run("ip", "-n", namespace, "link", "set", "lo", "up")
        run("ip", "link", "add", server_veth, "netns", server_ns, "type", "veth", "peer", "name",
            client_veth, "netns", client_ns)
        for namespace, veth, address in ((server_ns, server_veth, SERVER_PUBLIC),
                                         (client_ns, client_veth, CLIENT_PUBLIC)):
            run("ip", "-n", namespace, "addr", "add", address + "/24", "dev", veth)
            run("ip", "-n", namespace, "link", "set", veth, "up")
        # The router's LAN: one address behind the router's tunnel end.
        run("ip", "-n", server_ns, "addr", "add", LAN_HOST + "/16", "dev", "lo")
        ok, error = refused(client_ns, LAN_HOST)
        assert not ok, "the LAN must not be reachable before the tunnel"

        key = os.path.join(work, "key.txt")
        run("openvpn", "--genkey", "secret", key)

        # What releases up to 2.5 are given: this OpenVPN refuses the router's cipher.
        classic = subprocess.Popen(["ip", "netns", "exec", client_ns] +
                                   client_line(tool, 2, 5), cwd=work,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(classic)
        classic.wait(timeout=30)
        classic_log = tail(os.path.join(work, "ovpn.log"))
        assert "BF-CBC" in classic_log and "Exiting due to fatal error" in classic_log, classic_log
        os.remove(os.path.join(work, "ovpn.log"))

        server_log = os.path.join(work, "server.log")
        server = subprocess.Popen(
            ["ip", "netns", "exec", server_ns, "openvpn", "--secret", key, "--dev", "tap",
             "--proto", "tcp-server", "--local", SERVER_PUBLIC, "--lport", PORT, "--ifconfig",
             SERVER_TUNNEL, TUNNEL_MASK, "--ping", "6", "--providers", "legacy", "default",
             "--log", server_log, "--verb", "3"],
            cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(server)
        assert wait_for(server_log, "Listening for incoming TCP connection", 20, server), \
            tail(server_log)

        client_log = os.path.join(work, "ovpn.log")
        line = client_line(tool, 2, 6)
        print("client:", " ".join(line))
        client = subprocess.Popen(["ip", "netns", "exec", client_ns] + line, cwd=work,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(client)
        assert wait_for(client_log, "Initialization Sequence Completed", 30, client), \
            tail(client_log) + "\n--- server ---\n" + tail(server_log)
        assert wait_for(server_log, "Initialization Sequence Completed", 10, server), \
            tail(server_log)

        # A refused connection comes back only from the far side's kernel: through the
        # tunnel to the server's end, and along the route the line adds to the LAN.
        for host in (SERVER_TUNNEL, LAN_HOST):
            ok, error = refused(client_ns, host)
            assert ok, f"no answer from {host} through the tunnel: {error}\n" + tail(client_log)
        print("tunnel up; the server's tunnel end and the LAN answer through it")
        return 0
    finally:
        for process in processes:
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        for namespace in namespaces:
            run("ip", "netns", "del", namespace, check=False)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
