#!/usr/bin/python3
"""For the tests of the calendar sources: a small HTTP(S) server of
calendars and of the ways a server can fail, and a CalDAV client.

usage: calendar_servers.py serve PORT FOLDER [CERT.pem KEY.pem]
       calendar_servers.py mkcalendar|put|get URL [USER PASSWORD [FILE]]

  /cal.ics        FOLDER/cal.ics with an ETag and Last-Modified; 304 when
                  the client's If-None-Match matches
  /count          how many times /cal.ics was sent whole, and how many
                  times it was asked for
  /hang           takes the request and never answers
  /loop           redirects to itself
  /to-ftp         redirects to an ftp:// URL
  /to-cal         redirects to /cal.ics
  /big            200 with 21 MB of text and no length given beforehand
  /html           200 with a web page
  /missing        404
Writes "ready" to FOLDER/ready once it listens.
"""
import hashlib
import http.server
import os
import ssl
import sys
import time
import urllib.request
import base64

sent = {"whole": 0, "asked": 0}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, body=b"", headers=()):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path.split("?")[0]
        if path == "/cal.ics":
            with open(os.path.join(folder, "cal.ics"), "rb") as f:
                body = f.read()
            tag = '"' + hashlib.sha1(body).hexdigest() + '"'
            sent["asked"] += 1
            if self.headers.get("If-None-Match") == tag:
                return self.reply(304, headers=[("ETag", tag)])
            sent["whole"] += 1
            return self.reply(200, body, [("ETag", tag), ("Content-Type", "text/calendar"),
                                          ("Last-Modified", "Mon, 07 Dec 2026 10:00:00 GMT")])
        if path == "/count":
            return self.reply(200, f"{sent['whole']} {sent['asked']}".encode())
        if path == "/hang":
            time.sleep(3600)
        if path == "/loop":
            return self.reply(302, headers=[("Location", "/loop")])
        if path == "/to-ftp":
            return self.reply(302, headers=[("Location", "ftp://127.0.0.1/cal.ics")])
        if path == "/to-cal":
            return self.reply(302, headers=[("Location", "/cal.ics")])
        if path == "/big":
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            line = b"X" * 1023 + b"\n"
            try:
                for _ in range(21 * 1024):
                    self.wfile.write(line)
            except OSError:
                pass
            return
        if path == "/html":
            return self.reply(200, b"<html><body>Calendar moved</body></html>", [("Content-Type", "text/html")])
        self.reply(404, b"not here")


def client(method, url, user=None, password=None, path=None):
    body = open(path, "rb").read() if path else None
    request = urllib.request.Request(url, data=body, method=method.upper())
    if user:
        token = base64.b64encode(f"{user}:{password}".encode()).decode()
        request.add_header("Authorization", "Basic " + token)
    if body:
        request.add_header("Content-Type", "text/calendar; charset=utf-8")
    with urllib.request.urlopen(request, timeout=20) as answer:
        sys.stdout.write(answer.read().decode())


if sys.argv[1] != "serve":
    client(*sys.argv[1:])
    sys.exit(0)
port, folder = int(sys.argv[2]), sys.argv[3]
server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
server.daemon_threads = True
if len(sys.argv) > 5:
    tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    tls.load_cert_chain(sys.argv[4], sys.argv[5])
    server.socket = tls.wrap_socket(server.socket, server_side=True)
with open(os.path.join(folder, "ready"), "w") as f:
    f.write("ready\n")
server.serve_forever()
