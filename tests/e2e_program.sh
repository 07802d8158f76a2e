#!/usr/bin/env bash
# The real program under Xvfb: it maps a shaped 338 x 368 window titled
# "Cirrodex", a second start hands over and exits, Alt+O opens the Options
# menu, and closing through the
# skin's exit button saves the window's geometry.
set -euo pipefail
program=$1
work=$(mktemp -d)
trap 'kill "$first" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

fail() { echo "e2e: $*" >&2; exit 1; }

# The main window is the one titled exactly "Cirrodex" at the skin's size.
windows() { xwininfo -root -tree | grep '"Cirrodex": ("cirrodex"' | grep ' 338x368+'; }
window_id() { windows | awk '{print $1; exit}'; }

"$program" >"$work/first.log" 2>&1 &
first=$!
for _ in $(seq 100); do
  id=$(window_id || true)
  [ -n "$id" ] && break
  sleep 0.1
done
[ -n "${id:-}" ] || fail "no Cirrodex window appeared: $(cat "$work/first.log")"

info=$(xwininfo -id "$id")
grep -q 'Width: 338' <<<"$info" || fail "width is not 338: $info"
grep -q 'Height: 368' <<<"$info" || fail "height is not 368: $info"
xwininfo -id "$id" -shape | grep -q 'Window shape extents:  338x368' || fail "the window has no shape"

start=$(date +%s%N)
timeout 10 "$program" >"$work/second.log" 2>&1 || fail "the second start failed: $(cat "$work/second.log")"
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
kill -0 "$first" 2>/dev/null || fail "the first copy ended when the second started"
[ "$(windows | wc -l)" = 1 ] || fail "two main windows: $(windows)"
echo "second start handed over in ${elapsed} ms"

# Alt+O opens the Options menu, a pop-up window of its own; Escape closes it.
menu_state() {
  local menu
  menu=$(xwininfo -root -tree | awk '/"Options[^"]*": \("cirrodex"/ {print $1; exit}')
  [ -n "$menu" ] && xwininfo -id "$menu" | awk '/Map State/ {print $3}'
}
xdotool key --window "$id" alt+o
for _ in $(seq 50); do
  [ "$(menu_state)" = IsViewable ] && break
  sleep 0.1
done
[ "$(menu_state)" = IsViewable ] || fail "Alt+O did not open the Options menu"
xdotool key Escape
for _ in $(seq 50); do
  [ "$(menu_state)" != IsViewable ] && break
  sleep 0.1
done
[ "$(menu_state)" != IsViewable ] || fail "Escape did not close the Options menu"

# The exit button of the built-in skin is at 319,6 (11 x 12).
left=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
top=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
xdotool mousemove $((left + 324)) $((top + 11)) click 1
for _ in $(seq 50); do
  kill -0 "$first" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$first" 2>/dev/null && fail "the exit button did not close the program"
settings=$XDG_CONFIG_HOME/cirrodex/settings.ini
for key in "Xpos=$left" "Ypos=$top" "width=338" "height=368"; do
  grep -qx "$key" "$settings" || fail "settings.ini lacks $key: $(cat "$settings")"
done
echo "e2e: ok"
