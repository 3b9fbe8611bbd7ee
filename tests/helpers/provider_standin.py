#!/usr/bin/env python3
"""A local stand-in for the three weather providers.

Serves the five request paths on loopback: plain HTTP for Weathernews and the
China provider's location step, HTTPS for TWC and the China provider's
current conditions. Every query is checked (coordinate formats, key present,
the China access key recomputed here with HMAC-MD5 for the current and the
previous ten-minute window). Prints "http=PORT https=PORT" once listening.

Control (plain HTTP port): /_control?mode=normal|broken|silent|error and
/_stats (JSON request counts per provider step).
"""
import argparse
import base64
import hashlib
import hmac
import json
import re
import ssl
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

STATE = {"mode": "normal", "counts": {}, "lock": threading.Lock()}
ARGS = None

SIX = r"-?\d+\.\d{6}"
TWO = r"-?\d+\.\d{2}"


def count(name):
    with STATE["lock"]:
        STATE["counts"][name] = STATE["counts"].get(name, 0) + 1


def request_times():
    """The request-time texts of the current and the previous window."""
    now = time.time()
    return [time.strftime("%Y%m%d%H", time.gmtime(t)) + str(time.gmtime(t).tm_min // 10)
            for t in (now, now - 600)]


def access_key(api_key, resource, request_time):
    message = f"{api_key}\r\n{resource}\r\n{request_time}".encode()
    digest = hmac.new(ARGS.secret.encode(), message, hashlib.md5).digest()
    return base64.b64encode(digest).decode()


def check_signature(query, resource):
    api_key = query.get("apikey", [""])[0]
    request_time = query.get("requestDate", [""])[0]
    given = query.get("accessKey", [""])[0]
    if api_key != ARGS.api_key:
        return "wrong apikey"
    if request_time not in request_times():
        return "stale requestDate"
    if given != access_key(api_key, resource, request_time):
        return "access key does not match the request time"
    return None


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        sys.stderr.write("standin: " + (fmt % args) + "\n")

    def reply(self, code, body):
        data = body.encode() if isinstance(body, str) else body
        self.send_response(code)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def refuse(self, reason):
        self.reply(400, json.dumps({"error": reason}))

    def answer(self, name, body):
        count(name)
        mode = STATE["mode"]
        if mode == "silent":
            time.sleep(30)
            return
        if mode == "error":
            self.reply(500, '{"error":"internal"}')
            return
        if mode == "broken":
            self.reply(200, '{"truncated": ')
            return
        self.reply(200, json.dumps(body))

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        path = urllib.parse.unquote(url.path)
        secure = isinstance(self.connection, ssl.SSLSocket)

        if path == "/_control" and not secure:
            STATE["mode"] = query.get("mode", ["normal"])[0]
            return self.reply(200, '{"ok":true}')
        if path == "/_stats" and not secure:
            with STATE["lock"]:
                return self.reply(200, json.dumps(STATE["counts"]))

        twc = re.fullmatch(r"/(v3|v2)/aggcommon/v3-location-point;v3-wx-observations-current", path)
        if twc and secure:
            geocode = query.get("geocode", [""])[0]
            if not re.fullmatch(SIX + "," + SIX, geocode):
                return self.refuse("geocode needs six decimals")
            if query.get("units") != ["e"] or query.get("format") != ["json"]:
                return self.refuse("units=e and format=json expected")
            if not query.get("apiKey", [""])[0]:
                return self.refuse("apiKey missing")
            lat, lon = geocode.split(",")
            return self.answer("twc-" + twc.group(1), {
                "v3-location-point": {"location": {"latitude": float(lat),
                                                   "longitude": float(lon)}},
                "v3-wx-observations-current": {
                    "validTimeUtc": int(time.time()), "pressureMeanSeaLevel": 1008.4,
                    "temperature": 59, "wxPhraseLong": "Partly Cloudy"}})

        if path == "/api/press.cgi" and not secure:
            lat = query.get("lat", [""])[0]
            lon = query.get("lon", [""])[0]
            if not (re.fullmatch(SIX, lat) and re.fullmatch(SIX, lon)):
                return self.refuse("lat and lon need six decimals")
            if query.get("APP_ID") != ["barometer"]:
                return self.refuse("APP_ID missing")
            return self.answer("weathernews", {"status": "OK", "code": "JP13",
                                               "press": 1011.2, "temp": 18.5})

        if path == "/locations/v1/cities/geoposition/search" and not secure:
            if not re.fullmatch(TWO + "," + TWO, query.get("q", [""])[0]):
                return self.refuse("q needs two decimals")
            problem = check_signature(query, "locations")
            if problem:
                return self.refuse(problem)
            return self.answer("huafeng-location", {"Version": 1, "Key": "102144",
                                                    "Type": "City",
                                                    "LocalizedName": "Seoul"})

        conditions = re.fullmatch(r"/currentconditions/v1/(\w+)", path)
        if conditions and secure:
            if conditions.group(1) != "102144":
                return self.refuse("unknown location key")
            problem = check_signature(query, "currentconditions")
            if problem:
                return self.refuse(problem)
            if query.get("details") != ["true"]:
                return self.refuse("details=true expected")
            return self.answer("huafeng-conditions", [{
                "Temperature": {"Metric": {"Value": 21.3, "Unit": "C"}},
                "Pressure": {"Metric": {"Value": 1004.6, "Unit": "mb"}}}])

        self.reply(404, '{"error":"no such path"}')


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--api-key", required=True)
    parser.add_argument("--secret", required=True)
    ARGS = parser.parse_args()

    plain = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    secure = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(ARGS.cert, ARGS.key)
    secure.socket = context.wrap_socket(secure.socket, server_side=True)
    for server in (plain, secure):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    print(f"http={plain.server_address[1]} https={secure.server_address[1]}", flush=True)
    try:
        sys.stdin.read()  # runs until the test closes our stdin
    finally:
        plain.shutdown()
        secure.shutdown()


if __name__ == "__main__":
    main()
