#!/usr/bin/env bash
# The real program with the shipped services list: nothing listens at the
# shipped loopback address, so it starts cirrodex-service as its child, which
# reads its observations from a stand-in for the NOAA hosts on 127.0.0.1
# serving recorded reports. For a US city, a zip code and a place abroad, in
# the page form and the raw form, the window's caption and the task-bar
# summary show the recorded readings. With the sources unreachable, the
# program shows no reading at all.
set -euo pipefail
program=$1
data=$2
support=$3
work=$(mktemp -d)
upstream=
pid=
trap 'kill $pid $upstream 2>/dev/null || true; rm -rf "$work"' EXIT
unset QT_QPA_PLATFORM
fail() { echo "e2e: $*" >&2; exit 1; }
deg=$(printf '\xc2\xb0')

/usr/bin/python3 "$support/noaa_server.py" "$data" >"$work/port" 2>"$work/upstream.log" &
upstream=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || fail "the stand-in upstream did not start"
port=$(head -1 "$work/port")

# run LOCATION DATASOURCE UPSTREAM-PORT: the summary line, or "" when none came.
run() {
  export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
  rm -rf "$work/config" "$work/data" "$work/run"
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/cirrodex" && chmod 700 "$XDG_RUNTIME_DIR"
  printf 'observations = http://127.0.0.1:%s\nobservations_api = http://127.0.0.1:%s\nzone_forecasts = http://127.0.0.1:%s\n' \
    "$3" "$3" "$3" >"$XDG_CONFIG_HOME/cirrodex/services.conf"
  printf '[Settings]\nAutoUpdate=y\nStartupLoc=%s\nDatasource=%s\nPauseTime=500\nShowTips=n\n' "$1" "$2" \
    >"$XDG_CONFIG_HOME/cirrodex/settings.ini"
  "$program" >"$work/program.log" 2>&1 &
  pid=$!
  local summary=$XDG_RUNTIME_DIR/cirrodex/taskbar-summary.txt
  for _ in $(seq 150); do [ -s "$summary" ] && break; sleep 0.1; done
  [ -s "$summary" ] && cat "$summary"
  kill -TERM $pid
  wait $pid || fail "the program ended with status $?: $(cat "$work/program.log")"
  pid=
  [ -e "$XDG_RUNTIME_DIR/cirrodex/service.address" ] && fail "the service record outlived the program"
  return 0
}

expect() {  # NAME LINE PIECE...
  local name=$1 line=$2
  shift 2
  for piece in "$@"; do
    [[ "$line" == *"$piece"* ]] || fail "$name: no \"$piece\" in \"$line\""
  done
  echo "$name: $line"
}

for source in 1 2; do
  # KMSL 151453Z AUTO 36008KT 10SM CLR 02/M07 A3036 RMK ... T00171067: 1.7 C is 35 F, 54 %.
  line=$(run "Muscle_Shoals, AL" $source "$port")
  expect "US city, data source $source" "$line" "Cirrodex - Muscle_Shoals, AL - Clear - 35$deg" "Humidity: 54%"
  line=$(run "35661 - Muscle Shoals, AL" $source "$port")
  expect "zip code, data source $source" "$line" "Cirrodex - 35661 - Muscle Shoals, AL - Clear - 35$deg" \
    "Humidity: 54%"
  # LFOI 151430Z AUTO 05008KT 9999 FEW012 BKN028 02/M01 Q1024: 2 C is 36 F, 81 %.
  line=$(run "Abbeville, France (O)" $source "$port")
  expect "WMO station, data source $source" "$line" "Cirrodex - Abbeville, France (O) - Mostly Cloudy - 36$deg" \
    "Humidity: 81%"
done

# Offline: nothing answers for the service's sources; no reading appears.
line=$(run "Muscle_Shoals, AL" 1 9)
[ -z "$line" ] || fail "offline, a reading appeared: $line"
echo "offline: no reading"
echo "e2e service: ok"
