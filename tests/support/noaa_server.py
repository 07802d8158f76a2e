#!/usr/bin/python3
"""A stand-in for the NOAA hosts that cirrodex-service reads, on 127.0.0.1
only. Argument: the folder of recorded files (tests/data/service). Prints
its port on the first line of stdout, then serves until killed.

    /data/observations/metar/stations/X.TXT   stations/X.TXT with its times
                                              moved to a few minutes ago
                                              (answered after DELAY s, so
                                              that concurrent asks overlap);
                                              else stale/X.TXT as recorded
    /api/data/metar?ids=X&format=raw          api/X.txt with its time moved;
                                              204 when there is none
    /data/forecasts/zone/st/zone.txt          forecasts/st/zone.txt
    /_requests                                the paths asked since the last
                                              call, one a line
"""

import datetime
import http.server
import os
import re
import sys
import threading
import time
import urllib.parse

ROOT = sys.argv[1]
DELAY = 0.3
AGE = datetime.timedelta(minutes=7)
NAME = re.compile(r"[A-Z0-9]{4}|[a-z]{2}|[a-z]{2}z[0-9]{3}")

_lock = threading.Lock()
_requests = []


def read(*parts):
    if not all(NAME.fullmatch(p) for p in parts[1:-1] + (parts[-1].split(".")[0],)):
        return None
    path = os.path.join(ROOT, *parts)
    if not os.path.isfile(path):
        return None
    with open(path, "rb") as f:
        return f.read()


def refreshed(body):
    """The recorded report as if it had been issued AGE ago."""
    t = datetime.datetime.now(datetime.timezone.utc) - AGE
    body = re.sub(rb"^\d{4}/\d\d/\d\d \d\d:\d\d", t.strftime("%Y/%m/%d %H:%M").encode(), body, count=1)
    return re.sub(rb"\b\d{6}Z\b", t.strftime("%d%H%MZ").encode(), body, count=1)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send(self, code, body=b""):
        self.send_response(code)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/_requests":
            with _lock:
                lines = list(_requests)
                _requests.clear()
            self.send(200, "".join(line + "\n" for line in lines).encode())
            return
        with _lock:
            _requests.append(self.path)
        m = re.fullmatch(r"/data/observations/metar/stations/([^/]+)", url.path)
        if m:
            body = read("stations", m.group(1))
            if body is not None:
                time.sleep(DELAY)
                self.send(200, refreshed(body))
                return
            body = read("stale", m.group(1))
            self.send(200, body) if body is not None else self.send(404, b"Not Found\n")
            return
        if url.path == "/api/data/metar":
            ids = urllib.parse.parse_qs(url.query).get("ids", [""])[0]
            body = read("api", ids + ".txt")
            self.send(200, refreshed(body)) if body is not None else self.send(204)
            return
        m = re.fullmatch(r"/data/forecasts/zone/([^/]+)/([^/]+)", url.path)
        if m:
            body = read("forecasts", m.group(1), m.group(2))
            self.send(200, body) if body is not None else self.send(404, b"Not Found\n")
            return
        self.send(404, b"Not Found\n")


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # The service under test may drop a connection it no longer needs.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


server = Server(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
