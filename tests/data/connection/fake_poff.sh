#!/bin/sh
# Stands in for poff: pppd ends a little after poff has returned.
echo "poff $*" >> "$FAKE_LOG"
(sleep 0.4; rm -rf "$FAKE_PROC/4242") >/dev/null 2>&1 &
exit 0
