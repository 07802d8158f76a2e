#!/usr/bin/python3
"""Local servers for the transfer component's tests, on 127.0.0.1 only.

    http_server.py            HTTP server (also acts as a proxy: a request
                              line with an absolute address is served by
                              its path and recorded as it came)
    http_server.py ftp DIR    anonymous read-only FTP server of DIR
                              (exits with 77 when pyftpdlib is missing)

Prints the port on the first line of stdout, then serves until killed.

HTTP routes (the query string is ignored for routing):
    /plain            PLAIN_LINES numbered lines, with Content-Length
    /chunked          the same lines, chunked in pieces of 7 lines
    /404              404 Not Found with a small page
    /redirect/N       N redirects: 302 to /redirect/N-1, /redirect/1 to /plain
    /go?to=URL        302 to URL
    /stall            headers, then nothing for 30 s
    /truncated        Content-Length 1000, 300 bytes, then the connection closes
    /huge             65 MB of "x", chunked (no length announced)
    /huge-length      the same with Content-Length
    /slow             200 pieces of 100 bytes, 20 ms apart, chunked
    /_requests        the requests recorded since the last call, one a line:
                      path, Referer, User-Agent, Authorization,
                      Proxy-Authorization, tab-separated, "<none>" when absent
"""

import http.server
import sys
import threading
import time
import urllib.parse

PLAIN_LINES = 1000
HUGE_BYTES = 65 * 1024 * 1024
RECORDED = ("Referer", "User-Agent", "Authorization", "Proxy-Authorization")

_lock = threading.Lock()
_requests = []


def plain_body():
    return "".join("line %05d\n" % i for i in range(PLAIN_LINES)).encode()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    disable_nagle_algorithm = True

    def log_message(self, *args):
        pass

    def send_plain(self, code, body, content_type="text/plain", extra=()):
        self.send_response(code)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for field, value in extra:
            self.send_header(field, value)
        self.end_headers()
        self.wfile.write(body)

    def start_chunked(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()

    def chunk(self, data):
        self.wfile.write(b"%x\r\n%s\r\n" % (len(data), data))
        self.wfile.flush()

    def end_chunks(self):
        self.wfile.write(b"0\r\n\r\n")

    def redirect(self, location):
        self.send_plain(302, b"moved\n", extra=[("Location", location)])

    def do_GET(self):
        path = urllib.parse.urlsplit(self.path).path
        if path == "/_requests":
            with _lock:
                lines = list(_requests)
                _requests.clear()
            self.send_plain(200, "".join(line + "\n" for line in lines).encode())
            return
        fields = [self.path] + [self.headers.get(name, "<none>") for name in RECORDED]
        with _lock:
            _requests.append("\t".join(fields))
        try:
            self.route(path)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def route(self, path):
        if path == "/plain":
            self.send_plain(200, plain_body())
        elif path == "/chunked":
            self.start_chunked()
            lines = plain_body().splitlines(keepends=True)
            for i in range(0, len(lines), 7):
                self.chunk(b"".join(lines[i:i + 7]))
            self.end_chunks()
        elif path == "/404":
            self.send_plain(404, b"<html>not here</html>\n", "text/html")
        elif path.startswith("/redirect/"):
            n = int(path[len("/redirect/"):])
            self.redirect("/plain" if n <= 1 else "/redirect/%d" % (n - 1))
        elif path == "/go":
            query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
            self.redirect(query["to"][0])
        elif path == "/stall":
            self.send_response(200)
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.flush()
            time.sleep(30)
            self.close_connection = True
        elif path == "/truncated":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"t" * 300)
            self.wfile.flush()
            self.close_connection = True
        elif path in ("/huge", "/huge-length"):
            piece = b"x" * (64 * 1024)
            self.send_response(200)
            if path == "/huge":
                self.send_header("Transfer-Encoding", "chunked")
            else:
                self.send_header("Content-Length", str(HUGE_BYTES))
            self.end_headers()
            for _ in range(HUGE_BYTES // len(piece)):
                if path == "/huge":
                    self.chunk(piece)
                else:
                    self.wfile.write(piece)
            if path == "/huge":
                self.end_chunks()
        elif path == "/slow":
            self.start_chunked()
            for i in range(200):
                self.chunk(b"%099d\n" % i)
                time.sleep(0.02)
            self.end_chunks()
        else:
            self.send_plain(404, b"no such route\n")


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A client that hangs up early is what several tests do.
        if not isinstance(sys.exc_info()[1], ConnectionError):
            super().handle_error(request, client_address)


def serve_http():
    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


def serve_ftp(root):
    try:
        from pyftpdlib.authorizers import DummyAuthorizer
        from pyftpdlib.handlers import FTPHandler
        from pyftpdlib.servers import FTPServer
    except ImportError:
        sys.exit(77)
    import logging
    logging.disable(logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root, perm="elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "ftp":
        serve_ftp(sys.argv[2])
    else:
        serve_http()
