#!/usr/bin/env bash
# The real program under Xvfb after its start-up reading: it appends the
# record to Cirrodex.log in its data folder (creation line, header, record,
# CR LF endings) and, the temperature being above the alarm's threshold,
# sends the alarm mail to a local SMTP server (aiosmtpd) named host:port.
set -euo pipefail
program=$1
fixture=$2
smtp_server=$3
work=$(mktemp -d)
server=
smtp=
first=
trap 'kill $first $server $smtp 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/cirrodex" "$work/mail" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
fail() { echo "e2e: $*" >&2; exit 1; }

/usr/bin/python3 -c 'import aiosmtpd' 2>/dev/null || { echo "e2e: python3-aiosmtpd is not installed"; exit 77; }

mkdir -p "$work/www/auto/Cirrodex/AL" "$work/www/assets"
cp "$fixture" "$work/www/auto/Cirrodex/AL/Muscle_Shoals.html"
echo 1 >"$work/www/assets/CirrodexCount.txt"
/usr/bin/python3 -c '
import http.server, sys
class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), lambda *a: Quiet(*a, directory=sys.argv[1]))
print(server.server_address[1], flush=True)
server.serve_forever()' "$work/www" >"$work/port" &
server=$!
/usr/bin/python3 "$smtp_server" "$work/mail" >"$work/smtp_port" &
smtp=$!
for _ in $(seq 50); do [ -s "$work/port" ] && [ -s "$work/smtp_port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
smtp_port=$(cat "$work/smtp_port")
[ -n "$port" ] && [ -n "$smtp_port" ] || fail "the test servers did not start"

cat >"$XDG_CONFIG_HOME/cirrodex/services.conf" <<EOF2
conditions = http://127.0.0.1:$port
usage_counter = http://127.0.0.1:$port
maker_web = http://maker.test
EOF2
cat >"$XDG_CONFIG_HOME/cirrodex/settings.ini" <<EOF2
[Settings]
AutoUpdate=y
StartupLoc=Muscle_Shoals, AL
PauseTime=1000
ShowTips=n
writelog=y
AlarmType=email
AlarmTemp=70
AlarmTempCompare=exceeds
Ahost=127.0.0.1:$smtp_port
AUserEmail=me@example.org
AsendtoE=you@example.org
EOF2

"$program" >"$work/program.log" 2>&1 &
first=$!
log=$XDG_DATA_HOME/cirrodex/Cirrodex.log
for _ in $(seq 200); do
  [ -s "$log" ] && [ -f "$work/mail/message-1.txt" ] && break
  sleep 0.1
done
[ -s "$log" ] || fail "no log was written: $(cat "$work/program.log")"
[ -f "$work/mail/message-1.txt" ] || fail "no alarm mail arrived: $(cat "$work/program.log")"

# Three lines, each ended by CR LF, the record with the caption's title and
# the Latin-1 degree sign.
[ "$(grep -c $'\r$' "$log")" = 3 ] || fail "the log does not hold three CR LF lines: $(od -c "$log" | head)"
head -1 "$log" | grep -q '^Cirrodex Log File - created: ' || fail "creation line: $(head -1 "$log")"
sed -n 2p "$log" | grep -q '^Location,State/Country,LastUpdated,Conditions,Temperature,' || fail "header"
record=$(sed -n 3p "$log" | tr -d '\r')
echo "record: $(printf '%s' "$record" | iconv -f latin1 -t utf-8)"
case "$record" in
  "Muscle_Shoals, AL,"*",Partly Cloudy,72"$'\xb0'"F,45%,"*) ;;
  *) fail "unexpected record: $record" ;;
esac
[ "$(printf '%s' "$record" | tr -cd ',' | wc -c)" = 11 ] || fail "the record has not twelve columns"

mail=$work/mail/message-1.txt
head -2 "$mail" | tr '\n' ' ' | grep -q '^MAIL FROM:<me@example.org> RCPT TO:<you@example.org> $' ||
  fail "envelope: $(head -2 "$mail")"
grep -q $'^Subject: Cirrodex Alarm\r$' "$mail" || fail "no subject: $(cat "$mail")"
grep -q $'^The current temperature is 72 degrees.\r$' "$mail" || fail "body: $(cat "$mail")"
grep -q $'^Current location of Cirrodex - Muscle_Shoals, AL.\r$' "$mail" || fail "body: $(cat "$mail")"
echo "e2e after reading: ok"
