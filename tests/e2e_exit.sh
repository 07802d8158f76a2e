#!/usr/bin/env bash
# The real program under Xvfb against a conditions server that answers
# slowly:
#  - closed with the skin's exit button in the middle of the start-up
#    download, on the direct path and on the system-proxy path, it ends with
#    status 0 and saves its position;
#  - with the shipped services list the program starts its own conditions
#    service, and SIGTERM ends both the way the exit button does;
#  - with the start-up timer and the refresh timer's first tick both at
#    4 seconds, the start-up location is fetched once, not again 4 seconds
#    later.
set -euo pipefail
program=$1
fixture=$2
work=$(mktemp -d)
server=
pid=
trap 'kill $pid $server 2>/dev/null || true; rm -rf "$work"' EXIT
unset QT_QPA_PLATFORM
fail() { echo "e2e: $*" >&2; exit 1; }

mkdir -p "$work/www/auto/Cirrodex/AL"
cp "$fixture" "$work/www/auto/Cirrodex/AL/Muscle_Shoals.html"
cat >"$work/server.py" <<'PY'
import http.server, os, sys, time
ROOT = sys.argv[1]
SECONDS = float(os.environ["SLOW_SECONDS"])
class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    def log_message(self, *args):
        pass
    def do_GET(self):
        with open(os.environ["REQUEST_LOG"], "a") as log:
            log.write("%.2f %s\n" % (time.time(), self.path))
        path = os.path.join(ROOT, self.path.lstrip("/"))
        if ".." in self.path or not os.path.isfile(path):
            body = b"1"
        else:
            body = open(path, "rb").read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        # The page trickles in over SLOW_SECONDS; the counter comes at once.
        pieces = 20 if len(body) > 1 else 1
        step = max(1, len(body) // pieces)
        try:
            for i in range(0, len(body), step):
                self.wfile.write(body[i:i + step])
                self.wfile.flush()
                if pieces > 1:
                    time.sleep(SECONDS / pieces)
        except (BrokenPipeError, ConnectionResetError):
            pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
PY

start_server() {  # SECONDS
  : >"$work/requests.log"
  SLOW_SECONDS=$1 REQUEST_LOG=$work/requests.log /usr/bin/python3 "$work/server.py" "$work/www" >"$work/port" &
  server=$!
  for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
  [ -s "$work/port" ] || fail "the test server did not start"
}
stop_server() { kill $server 2>/dev/null || true; wait $server 2>/dev/null || true; server=; }

start_program() {  # SETTINGS-LINES [shipped]: the test server, or the shipped services list
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
  rm -rf "$work/config" "$work/data" "$work/run"
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/cirrodex" && chmod 700 "$XDG_RUNTIME_DIR"
  if [ "${2:-}" = shipped ]; then
    # The service's own sources stay on this machine too: nothing listens there.
    printf 'observations = http://127.0.0.1:9\nobservations_api = http://127.0.0.1:9\nzone_forecasts = http://127.0.0.1:9\n' \
      >"$XDG_CONFIG_HOME/cirrodex/services.conf"
  else
    printf 'conditions = http://127.0.0.1:%s\nusage_counter = http://127.0.0.1:%s\n' "$(cat "$work/port")" \
      "$(cat "$work/port")" >"$XDG_CONFIG_HOME/cirrodex/services.conf"
  fi
  printf '[Settings]\nAutoUpdate=y\nStartupLoc=Muscle_Shoals, AL\nShowTips=n\n%b' "$1" \
    >"$XDG_CONFIG_HOME/cirrodex/settings.ini"
  "$program" >"$work/program.log" 2>&1 &
  pid=$!
}

window_id() { xwininfo -root -tree | grep '"Cirrodex[^"]*": ("cirrodex"' | grep ' 338x368+' | awk '{print $1; exit}'; }

conditions_requests() { grep -c ' /auto/Cirrodex/AL/Muscle_Shoals.html$' "$work/requests.log" || true; }

click_exit() {
  local id info left top
  id=$(window_id)
  [ -n "$id" ] || fail "no main window to close"
  info=$(xwininfo -id "$id")
  left=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  top=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  xdotool mousemove $((left + 324)) $((top + 11)) click 1
  echo "$left $top"
}

# 1. Exit in the middle of the download, on both paths.
for auto_proxy in "" y; do
  start_server 8
  start_program "PauseTime=500\nAutoProxy=$auto_proxy\n"
  for _ in $(seq 100); do [ "$(conditions_requests)" -ge 1 ] && break; sleep 0.1; done
  [ "$(conditions_requests)" -ge 1 ] || fail "no conditions request (AutoProxy '$auto_proxy'): $(cat "$work/program.log")"
  sleep 0.5
  read -r left top < <(click_exit)
  status=
  for _ in $(seq 100); do
    if ! kill -0 $pid 2>/dev/null; then
      wait $pid && status=0 || status=$?
      break
    fi
    sleep 0.1
  done
  [ -n "$status" ] || fail "the program did not end after the exit button (AutoProxy '$auto_proxy')"
  [ "$status" = 0 ] || fail "exit status $status (AutoProxy '$auto_proxy'): $(cat "$work/program.log")"
  pid=
  settings=$XDG_CONFIG_HOME/cirrodex/settings.ini
  grep -qx "Xpos=$left" "$settings" && grep -qx "Ypos=$top" "$settings" ||
    fail "position not saved (AutoProxy '$auto_proxy'): $(cat "$settings")"
  echo "exit during the download (AutoProxy '$auto_proxy'): status 0, position saved"
  stop_server
done

# 2. With the shipped services list and no service listening, the program
#    starts cirrodex-service as its child; SIGTERM (the session ending) is
#    the window's exit: position saved, the child ended, its record gone.
start_program "PauseTime=500\n" shipped
record=$XDG_RUNTIME_DIR/cirrodex/service.address
for _ in $(seq 100); do [ -s "$record" ] && [ -n "$(window_id)" ] && break; sleep 0.1; done
[ -s "$record" ] || fail "no local service was recorded: $(cat "$work/program.log")"
read -r address child < "$record"
version=$(/usr/bin/python3 -c "import urllib.request,sys; print(urllib.request.urlopen('http://$address/assets/cirrodexvs.txt', timeout=10).read().decode())")
[[ "$version" == *"Version#"* ]] || fail "the local service did not answer the version file: $version"
sleep 1
kill -TERM $pid
status=
for _ in $(seq 100); do
  if ! kill -0 $pid 2>/dev/null; then wait $pid && status=0 || status=$?; break; fi
  sleep 0.1
done
[ "$status" = 0 ] || fail "SIGTERM: exit status ${status:-none}: $(cat "$work/program.log")"
pid=
grep -q '^Xpos=' "$XDG_CONFIG_HOME/cirrodex/settings.ini" || fail "SIGTERM did not save the position"
for _ in $(seq 50); do kill -0 "$child" 2>/dev/null || break; sleep 0.1; done
kill -0 "$child" 2>/dev/null && fail "the service child outlived the program"
[ -e "$record" ] && fail "the service record outlived the program"
echo "local service started, answered and ended with the program on SIGTERM"

# 3. One conditions request in the first 16 seconds (start-up timer and
#    refresh tick both at 4 s; the download takes 2 s).
start_server 2
start_program ""
sleep 16
count=$(conditions_requests)
[ "$count" = 1 ] || fail "$count conditions requests in the first 16 seconds: $(cat "$work/requests.log")"
echo "one conditions request in the first 16 seconds"
click_exit >/dev/null
for _ in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
echo "e2e exit: ok"
