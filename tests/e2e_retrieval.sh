#!/usr/bin/env bash
# The real program under Xvfb fetches its start-up location from a local
# conditions server named in the services file, and shows it: the caption
# becomes "Cirrodex - " and the location, and the server saw the request
# with the program's Referer and user agent.
set -euo pipefail
program=$1
fixture=$2
work=$(mktemp -d)
server=
first=
trap 'kill $first $server 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/cirrodex" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
fail() { echo "e2e: $*" >&2; exit 1; }

# A conditions service: the page for one place, and a log of each request.
mkdir -p "$work/www/auto/Cirrodex/AL" "$work/www/assets"
cp "$fixture" "$work/www/auto/Cirrodex/AL/Muscle_Shoals.html"
echo 1 >"$work/www/assets/CirrodexCount.txt"
cat >"$work/server.py" <<'PY'
import http.server, sys, os
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass
    def do_GET(self):
        with open(os.environ["REQUEST_LOG"], "a") as log:
            log.write("%s|%s|%s\n" % (self.path, self.headers.get("Referer", ""), self.headers.get("User-Agent", "")))
        super().do_GET()
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), lambda *a: Handler(*a, directory=sys.argv[1]))
print(server.server_address[1], flush=True)
server.serve_forever()
PY
REQUEST_LOG=$work/requests.log /usr/bin/python3 "$work/server.py" "$work/www" >"$work/port" &
server=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
[ -n "$port" ] || fail "the test server did not start"

cat >"$XDG_CONFIG_HOME/cirrodex/services.conf" <<EOF2
conditions = http://127.0.0.1:$port
usage_counter = http://127.0.0.1:$port
EOF2
printf '[Settings]\nAutoUpdate=y\nStartupLoc=Muscle_Shoals, AL\nPauseTime=1000\nShowTips=n\nshowtips=n\n' \
  >"$XDG_CONFIG_HOME/cirrodex/settings.ini"

"$program" >"$work/program.log" 2>&1 &
first=$!
caption=
for _ in $(seq 150); do
  caption=$(xwininfo -root -tree | grep ' 338x368+' | grep -o '"Cirrodex - [^"]*"' | head -1 || true)
  [ -n "$caption" ] && break
  sleep 0.1
done
[ -n "$caption" ] || fail "no caption with a location appeared: $(cat "$work/program.log"); requests: $(cat "$work/requests.log" 2>/dev/null)"
echo "caption: $caption"
grep -qx '/assets/CirrodexCount.txt|Cirrodex_by_Velmoraworks|Cirrodex HTTP Control' "$work/requests.log" ||
  fail "no usage counter request: $(cat "$work/requests.log")"
grep -qx '/auto/Cirrodex/AL/Muscle_Shoals.html|Cirrodex_by_Velmoraworks|Cirrodex HTTP Control' "$work/requests.log" ||
  fail "no conditions request: $(cat "$work/requests.log")"
[ "$(grep -c CirrodexCount "$work/requests.log")" = 1 ] || fail "the usage counter was asked more than once"
echo "e2e retrieval: ok"
