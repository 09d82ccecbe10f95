#!/usr/bin/env bash
# The program as a screen reader meets it: on a private session bus with its own
# accessibility bus (at-spi-bus-launcher, activated by D-Bus) and an X display of its
# own, accessibility_walk.py walks the main window, the editor and the viewer. The file
# holds two daily events, due on any day the test runs, whose list lines read the same.
# Usage: accessibility.sh path/to/memro path/to/memro-cli work-directory
# Exit status 77 (skipped) when a tool is missing.
set -euo pipefail
memro=$1 cli=$2 root=$3
command -v dbus-run-session >/dev/null || { echo "skipped: no dbus-run-session"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "skipped: at-spi2-core is not installed"; exit 77; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "skipped: no python3-pyatspi"; exit 77; }
here=$(cd "$(dirname "$0")" && pwd)
if [ "${1:-}" != --inside ]; then
  rm -rf "$root"
  mkdir -p "$root/home/temp" "$root/home/user" "$root/home/config" "$root/home/run"
  chmod 700 "$root/home/run"
  "$cli" add "$root/events.mmo" --date 2020-01-01 --frequency daily --message "Water the plants"
  "$cli" add "$root/events.mmo" --date 2020-01-01 --frequency daily --message "Feed the cat"
  # The accessibility bus's launcher and its clients keep sockets and caches under these.
  export HOME="$root/home/user" XDG_RUNTIME_DIR="$root/home/run" \
    XDG_CACHE_HOME="$root/home/cache" XDG_CONFIG_HOME="$root/home/config"
  exec dbus-run-session -- bash "$here/../../support/xvfb.sh" "$root/x" \
    bash "$0" --inside "$memro" "$cli" "$root"
fi
memro=$2 root=$4
home="$root/home"
env -i PATH="$PATH" LANG=C.UTF-8 QT_QPA_PLATFORM=xcb DISPLAY="$DISPLAY" XAUTHORITY="$XAUTHORITY" \
  DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
  MEMRO_HOME="$home" TEMP="$home/temp" TMPDIR="$home/temp" HOME="$home/user" \
  XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" \
  "$memro" "$root/events.mmo" >"$root/output.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; wait $pid 2>/dev/null' EXIT
status=0
timeout 120 /usr/bin/python3 "$here/accessibility_walk.py" memro || status=$?
[ "$status" = 0 ] || cat "$root/output.log"
exit "$status"
