"""A conditions service for the tests: serves one document under /ok/ (and under
/stations/ for a station page's address only), and
fails in a chosen way under the other prefixes. Prints its port, then
serves until killed. Argument: the document to serve."""
import http.server
import re
import sys
import time

DOCUMENT = open(sys.argv[1], "rb").read()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def headers_for(self, length):
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        if length is not None:
            self.send_header("Content-Length", str(length))
        else:
            self.send_header("Transfer-Encoding", "chunked")
        self.end_headers()

    def do_GET(self):
        mode = self.path.split("/")[1]
        if mode == "ok" or (mode == "stations" and re.fullmatch(
                r"/stations/auto/Cirrodex/global/stations/[0-9]{5}\.html", self.path)):
            self.headers_for(len(DOCUMENT))
            self.wfile.write(DOCUMENT)
        elif mode == "slow":
            self.headers_for(len(DOCUMENT))
            step = max(1, len(DOCUMENT) // 40)
            for i in range(0, len(DOCUMENT), step):
                self.wfile.write(DOCUMENT[i:i + step])
                self.wfile.flush()
                time.sleep(0.05)
        elif mode == "stall":
            self.headers_for(len(DOCUMENT))
            self.wfile.flush()
            time.sleep(30)
        elif mode == "truncated":
            self.headers_for(len(DOCUMENT) * 2)
            self.wfile.write(DOCUMENT)
            self.wfile.flush()
            self.close_connection = True
        elif mode == "huge":
            self.headers_for(None)
            chunk = b"x" * (1 << 20)
            for _ in range(65):
                self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
            self.wfile.write(b"0\r\n\r\n")
        else:
            self.send_error(404, "Not Found")


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
print(server.server_address[1], flush=True)
server.serve_forever()
