#!/bin/sh
# Stands in for pon: "starts" pppd for the peer by putting its command line
# into the fake /proc ($FAKE_PROC/4242/cmdline); with FAKE_PON=up the link
# comes up as $FAKE_NET/ppp0, with FAKE_PON=dies pppd is gone at once.
echo "pon $*" >> "$FAKE_LOG"
mkdir -p "$FAKE_PROC/4242"
printf 'pppd\000call\000%s\000' "$1" > "$FAKE_PROC/4242/cmdline"
case "$FAKE_PON" in
  up) mkdir -p "$FAKE_NET/ppp0"; echo 0x1091 > "$FAKE_NET/ppp0/flags" ;;
  dies) rm -rf "$FAKE_PROC/4242" ;;
esac
exit 0
