#!/usr/bin/env python3
"""Local HTTP/HTTPS server for the network tests.

Listens on 127.0.0.1 on a free port and writes the port to --port-file once it
accepts connections. With --tls-dir it serves HTTPS with a certificate signed
by a throw-away CA, made with the openssl command in that directory when
missing (ca.pem is the CA to trust). It exits on SIGTERM, when its parent goes
away, or after --lifetime seconds, whichever comes first.

Built-in paths:
  /ok                 200, body "hello zentrel"
  /empty              200, empty body
  /gzip               200, a JSON body sent gzip-encoded when the client accepts it
  /redirect[?to=<u>]  302 to /ok, or to the given URL
  /loop               302 to itself, for ever
  /drip?bytes=<n>&ms=<m>  200 promising n bytes (at most 1000), one every m ms
  /big?mb=<n>[&chunked=1][&ms=<m>]  200 with n MiB (at most 512), with a
                      length or chunked, one MiB every m ms (default: as fast
                      as the client takes them)
  /status/<code>      an answer with that status
  /echo               200, JSON of the method, path, headers and body received
  /slow?ms=<n>        200 after a delay of n milliseconds (at most 10000)
  /truncated          200 promising 100 bytes, sending 10, then closing
  absolute-form URL   (as a proxy sees it) 200, body "proxied <url>"

--routes FILE adds canned answers, a JSON object mapping a path (with or
without query) to {"status": 200, "body": "...", "content_type": "...",
"headers": {...}}; "body" may also be a JSON value, sent as JSON. Canned
routes win over built-in ones. --request-log FILE appends one JSON line per
request received.
"""

import argparse
import gzip
import json
import os
import signal
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

GZIP_BODY = json.dumps({"pressure": 1013.25, "unit": "hPa", "note": "compressed " * 20}).encode()


def make_certificates(directory):
    ca_key = os.path.join(directory, "ca-key.pem")
    ca_cert = os.path.join(directory, "ca.pem")
    key = os.path.join(directory, "server-key.pem")
    csr = os.path.join(directory, "server.csr")
    cert = os.path.join(directory, "server.pem")
    ext = os.path.join(directory, "server.ext")
    if os.path.exists(cert) and os.path.exists(key) and os.path.exists(ca_cert):
        return cert, key
    os.makedirs(directory, exist_ok=True)

    def run(*args):
        subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    run("req", "-x509", *ec, "-keyout", ca_key, "-out", ca_cert, "-days", "2",
        "-subj", "/CN=Zentrel Test CA")
    run("req", *ec, "-keyout", key, "-out", csr, "-subj", "/CN=localhost")
    with open(ext, "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                "basicConstraints=CA:FALSE\nkeyUsage=digitalSignature\n"
                "extendedKeyUsage=serverAuth\n")
    run("x509", "-req", "-in", csr, "-CA", ca_cert, "-CAkey", ca_key, "-CAcreateserial",
        "-out", cert, "-days", "2", "-extfile", ext)
    return cert, key


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    routes = {}
    request_log = None
    log_lock = threading.Lock()

    def log_message(self, fmt, *args):
        pass

    def _read_body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length > 0 else b""

    def _record(self, body):
        if not self.request_log:
            return
        entry = {"method": self.command, "path": self.path,
                 "headers": {k: v for k, v in self.headers.items()},
                 "body": body.decode("utf-8", "replace")}
        with self.log_lock, open(self.request_log, "a") as f:
            f.write(json.dumps(entry) + "\n")

    def _send(self, status, body=b"", content_type="text/plain", headers=None):
        self.send_response(status)
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        no_body = status in (204, 304) or 100 <= status < 200
        if not no_body:
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if not no_body and self.command != "HEAD":
            self.wfile.write(body)

    def _canned(self, path):
        route = self.routes.get(self.path) or self.routes.get(path)
        if route is None:
            return False
        body = route.get("body", "")
        content_type = route.get("content_type")
        if not isinstance(body, str):
            body = json.dumps(body)
            content_type = content_type or "application/json"
        self._send(int(route.get("status", 200)), body.encode(), content_type or "text/plain",
                   route.get("headers"))
        return True

    def _handle(self):
        body = self._read_body()
        self._record(body)
        if self.path.startswith("http://") or self.path.startswith("https://"):
            self._send(200, ("proxied " + self.path).encode())
            return
        parsed = urllib.parse.urlsplit(self.path)
        path, query = parsed.path, urllib.parse.parse_qs(parsed.query)
        if self._canned(path):
            return
        if path == "/ok":
            self._send(200, b"hello zentrel")
        elif path == "/empty":
            self._send(200, b"")
        elif path == "/gzip":
            if "gzip" in (self.headers.get("Accept-Encoding") or ""):
                self._send(200, gzip.compress(GZIP_BODY), "application/json",
                           {"Content-Encoding": "gzip"})
            else:
                self._send(200, GZIP_BODY, "application/json")
        elif path == "/redirect":
            self._send(302, b"moved", headers={"Location": query.get("to", ["/ok"])[0]})
        elif path == "/loop":
            self._send(302, b"again", headers={"Location": "/loop"})
        elif path == "/drip":
            self._drip(min(int(query.get("bytes", ["10"])[0]), 1000),
                       int(query.get("ms", ["1000"])[0]))
        elif path == "/big":
            self._big(min(int(query.get("mb", ["1"])[0]), 512), "chunked" in query,
                      int(query.get("ms", ["0"])[0]))
        elif path.startswith("/status/"):
            self._send(int(path.split("/")[2]), b"status body")
        elif path == "/echo":
            echo = {"method": self.command, "path": self.path,
                    "headers": {k.lower(): v for k, v in self.headers.items()},
                    "body": body.decode("utf-8", "replace")}
            self._send(200, json.dumps(echo).encode(), "application/json")
        elif path == "/slow":
            delay = min(int(query.get("ms", ["1000"])[0]), 10000)
            time.sleep(delay / 1000.0)
            self._send(200, b"slow answer")
        elif path == "/truncated":
            self.send_response(200)
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b"0123456789")
            self.wfile.flush()
            self.close_connection = True
        else:
            self._send(404, b"not found")

    def _drip(self, count, delay_ms):
        self.send_response(200)
        self.send_header("Content-Length", str(count))
        self.end_headers()
        try:
            for _ in range(count):
                self.wfile.write(b"x")
                self.wfile.flush()
                time.sleep(delay_ms / 1000.0)
        except OSError:
            pass
        self.close_connection = True

    def _big(self, mebibytes, chunked, delay_ms):
        self.send_response(200)
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        else:
            self.send_header("Content-Length", str(mebibytes << 20))
        self.end_headers()
        block = b"x" * (1 << 20)
        framed = b"100000\r\n" + block + b"\r\n" if chunked else block
        try:
            for _ in range(mebibytes):
                self.wfile.write(framed)
                time.sleep(delay_ms / 1000.0)
            if chunked:
                self.wfile.write(b"0\r\n\r\n")
        except OSError:
            pass
        self.close_connection = True

    do_GET = _handle
    do_POST = _handle
    do_HEAD = _handle


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--tls-dir")
    parser.add_argument("--routes")
    parser.add_argument("--request-log")
    parser.add_argument("--lifetime", type=float, default=300.0)
    args = parser.parse_args()

    if args.routes:
        with open(args.routes) as f:
            Handler.routes = json.load(f)
    Handler.request_log = args.request_log

    # Room for a burst of parallel connections before the first is accepted.
    ThreadingHTTPServer.request_queue_size = 64
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if args.tls_dir:
        cert, key = make_certificates(args.tls_dir)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        server.socket = context.wrap_socket(server.socket, server_side=True)

    parent = os.getppid()
    deadline = time.monotonic() + args.lifetime

    def watchdog():
        while time.monotonic() < deadline and os.getppid() == parent:
            time.sleep(0.2)
        server.shutdown()

    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    threading.Thread(target=watchdog, daemon=True).start()

    temp = args.port_file + ".tmp"
    with open(temp, "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(temp, args.port_file)
    server.serve_forever(poll_interval=0.1)
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
