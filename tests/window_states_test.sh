#!/usr/bin/env bash
# Runs the X11 window-state tests under a real window manager: openbox on the
# X server this script was started on (xvfb-run). Exits 77 (skipped) only when
# openbox is not installed.
set -euo pipefail
test_binary=$1

if ! command -v openbox >/dev/null; then
  echo "window_states: openbox is not installed (tools/setup installs it); skipping" >&2
  exit 77
fi

work=$(mktemp -d)
openbox_pid=
cleanup() {
  if [ -n "$openbox_pid" ]; then
    kill "$openbox_pid" 2>/dev/null || true
    wait "$openbox_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
# The user's own openbox settings stay out of it; the system defaults apply.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_DATA_HOME=$work/data

openbox --sm-disable >"$work/openbox.log" 2>&1 &
openbox_pid=$!

# Running once it names its check window on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id #' && break
  kill -0 "$openbox_pid" 2>/dev/null || { echo "window_states: openbox ended: $(cat "$work/openbox.log")" >&2; exit 1; }
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id #' || { echo "window_states: openbox did not start" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$test_binary" --gtest_filter='X11WindowStates.*'
