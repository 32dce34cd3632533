#!/usr/bin/env python3
"""A stand-in for the router's SSL-VPN portal, for tests (Python standard library only).

    portal_standin.py [--bind ADDRESS] [--port PORT] --log PATH [--setting PATH]
                      [--set KEY=VALUE]...

Pages:
  GET  /          the login page: a form (user name, password) posted to /auth.asp
  GET  /auth.asp  the page a finished login shows; writes nothing
  POST /auth.asp  the login: writes the tunnel keys and "ParseSettingFlag" = "TRUE" into
                  the --setting file (section "IPSec"), as the portal's in-browser component
                  does, then shows the auth.asp page
  anything else   404

Every request is logged to --log as one JSON object per line, written before the answer:
{"time", "client", "request_line", "method", "path", "version", "headers": [[name, value],
...], "body"}; header names and values as the client sent them, in order.

The tunnel keys default to those of a small test network (see DEFAULT_KEYS); --set KEY=VALUE
replaces or adds one (repeatable). The settings file is merged like the Windows profile
functions do: other sections and keys stay, a key of "IPSec" is replaced where it is or
added at the section's end, and every line ends in CR LF. Without --setting a login post
writes nothing. The server ends on SIGTERM or SIGINT.
"""

import argparse
import http.server
import json
import os
import signal
import sys
import threading
import time
from urllib.parse import urlsplit

SECTION = "IPSec"
DEFAULT_KEYS = {
    "ModelName": "TRV-615",
    "Gateway": "192.0.2.1",
    "PreSharedKey": "pre shared key",
    "RemoteLANIP": "10.10.0.1",
    "NetworkIP": "10.10.0.0",
    "Submask": "255.255.0.0",
    "OVPN_SerIP": "10.8.0.1",
    "OVPN_Ifconfig": "10.8.0.2",
    "OVPN_SerMask": "255.255.255.252",
    "OVPN_SerPort": "1194",
    "VPN Mode": "1",
}

LOGIN_PAGE = """<html><head><title>SSL VPN Login</title></head><body>
<form method="post" action="/auth.asp">
User <input name="user"> Password <input name="password" type="password">
<input type="submit" value="Login">
</form></body></html>
"""
AUTH_PAGE = """<html><head><title>SSL VPN</title></head><body>
Login accepted. The client is setting up the connection.
</body></html>
"""


def merge_ini(text, section, values):
    """The INI text with values set in section, as WritePrivateProfileStringA would leave
    it: keys matched without regard to case, new keys and a new section appended."""
    lines = text.replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    pending = dict(values)
    result = []
    current = None
    section_end = None

    def close_section():
        # New keys go right after the section's last key line.
        if current is not None and current.lower() == section.lower() and pending:
            insert_at = section_end if section_end is not None else len(result)
            result[insert_at:insert_at] = [f"{k}={v}" for k, v in pending.items()]
            pending.clear()

    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and "]" in stripped:
            close_section()
            current = stripped[1:stripped.index("]")]
            result.append(line)
            section_end = len(result)
            continue
        if current is not None and current.lower() == section.lower() and "=" in line:
            key = line.split("=", 1)[0].strip()
            match = next((k for k in pending if k.lower() == key.lower()), None)
            if match is not None:
                line = f"{key}={pending.pop(match)}"
        result.append(line)
        if stripped:
            section_end = len(result)
    close_section()
    if pending:
        result.append(f"[{section}]")
        result.extend(f"{k}={v}" for k, v in pending.items())
    return "".join(line + "\r\n" for line in result)


def write_settings(path, keys):
    try:
        with open(path, "rb") as f:
            text = f.read().decode("latin-1")
    except FileNotFoundError:
        text = ""
    values = dict(keys)
    values["ParseSettingFlag"] = "TRUE"
    merged = merge_ini(text, SECTION, values)
    temporary = path + ".new"
    with open(temporary, "wb") as f:
        f.write(merged.encode("latin-1"))
    os.replace(temporary, path)


class PortalHandler(http.server.BaseHTTPRequestHandler):
    server_version = "PortalStandIn/1.0"

    def log_message(self, format, *args):
        pass  # the JSON log is the record

    def record(self, body=b""):
        entry = {
            "time": time.time(),
            "client": self.client_address[0],
            "request_line": self.requestline,
            "method": self.command,
            "path": self.path,
            "version": self.request_version,
            "headers": [[name, value] for name, value in self.headers.items()],
            "body": body.decode("latin-1"),
        }
        with self.server.log_lock, open(self.server.log_path, "a", encoding="utf-8") as f:
            f.write(json.dumps(entry) + "\n")

    def answer(self, status, page):
        data = page.encode("latin-1")
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(data)

    def do_GET(self):
        self.record()
        page = urlsplit(self.path).path
        if page == "/":
            self.answer(200, LOGIN_PAGE)
        elif page == "/auth.asp":
            self.answer(200, AUTH_PAGE)
        else:
            self.answer(404, "<html><body>Not found</body></html>")

    do_HEAD = do_GET

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        self.record(body)
        if urlsplit(self.path).path != "/auth.asp":
            self.answer(404, "<html><body>Not found</body></html>")
            return
        if self.server.setting_path:
            write_settings(self.server.setting_path, self.server.keys)
        self.answer(200, AUTH_PAGE)


def parse_assignment(text):
    key, sep, value = text.partition("=")
    if not sep or not key:
        raise argparse.ArgumentTypeError(f"expected KEY=VALUE, got {text!r}")
    return key, value


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--bind", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=80)
    parser.add_argument("--log", required=True)
    parser.add_argument("--setting")
    parser.add_argument("--set", dest="assignments", action="append", default=[],
                        type=parse_assignment, metavar="KEY=VALUE")
    args = parser.parse_args()

    server = http.server.ThreadingHTTPServer((args.bind, args.port), PortalHandler)
    server.log_path = args.log
    server.log_lock = threading.Lock()
    server.setting_path = args.setting
    server.keys = dict(DEFAULT_KEYS)
    server.keys.update(args.assignments)

    def stop(signum, frame):
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    print(f"listening on {args.bind}:{args.port}", flush=True)
    server.serve_forever()
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
