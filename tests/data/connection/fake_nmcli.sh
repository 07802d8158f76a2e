#!/bin/sh
# Stands in for nmcli: answers with the recorded listings beside it and
# appends every command line to $FAKE_LOG.
#   FAKE_NMCLI_EXIT  every call fails with this code (8: NetworkManager down)
#   FAKE_NMCLI_UP    exit code of "connection up" (0 by default)
echo "nmcli $*" >> "$FAKE_LOG"
if [ -n "$FAKE_NMCLI_EXIT" ]; then
  echo "Error: NetworkManager is not running." >&2
  exit "$FAKE_NMCLI_EXIT"
fi
case "$*" in
  "-t -f NAME,UUID,TYPE,DEVICE connection show")
    cat "$FAKE_DATA/nmcli_connections.txt" ;;
  "-t -f NAME,UUID,TYPE,DEVICE,STATE connection show --active")
    cat "$FAKE_DATA/nmcli_active.txt" ;;
  "--wait 90 connection up uuid "*)
    case "${FAKE_NMCLI_UP:-0}" in
      0) echo "Connection successfully activated (D-Bus active path: /org/freedesktop/NetworkManager/ActiveConnection/7)" ;;
      4) echo "Error: Connection activation failed: The modem could not be found." >&2 ;;
      10) echo "Error: unknown connection '$6'." >&2 ;;
    esac
    exit "${FAKE_NMCLI_UP:-0}" ;;
  "connection down uuid "*)
    echo "Connection '$4' successfully deactivated (D-Bus active path: /org/freedesktop/NetworkManager/ActiveConnection/7)" ;;
  *)
    echo "Error: unexpected arguments." >&2
    exit 2 ;;
esac
