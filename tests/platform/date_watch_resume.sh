#!/usr/bin/env bash
# The date watch against logind's resume signal: a private system bus with logind
# mocked on it (python3-dbusmock), inside a session bus of its own, then the bus tests.
# Usage: date_watch_resume.sh path/to/date_watch_bus_tests
# Exit 77 (skipped) when dbus-daemon, dbus-run-session or python3-dbusmock is missing.
set -euo pipefail
tests=$1

for tool in dbus-daemon dbus-run-session dbus-send; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import dbusmock' 2>/dev/null ||
  { echo "skipped: python3-dbusmock is not installed"; exit 77; }

# Everything below runs on a session bus of its own, so nothing reaches the desktop's.
if [ -z "${MEMRO_OWN_SESSION_BUS:-}" ]; then
  MEMRO_OWN_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

bus_pid="" mock_pid="" work=$(mktemp -d)
cleanup() {
  if [ -n "$mock_pid" ]; then
    kill "$mock_pid" 2>/dev/null || true
    wait "$mock_pid" 2>/dev/null || true
  fi
  if [ -n "$bus_pid" ]; then
    kill "$bus_pid" 2>/dev/null || true
    wait "$bus_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# A second bus daemon (the session configuration lets the mock own logind's name),
# standing in for the system bus. Not forked, so that this script can end and reap it.
dbus-daemon --session --nofork --print-address=3 3>"$work/address" &
bus_pid=$!
for _ in $(seq 100); do
  [ -s "$work/address" ] && break
  kill -0 "$bus_pid" 2>/dev/null || { echo "FAIL: the system bus daemon ended" >&2; exit 1; }
  sleep 0.05
done
DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$work/address")
export DBUS_SYSTEM_BUS_ADDRESS

/usr/bin/python3 -m dbusmock --system --template logind &
mock_pid=$!
for _ in $(seq 100); do
  dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.login1 2>/dev/null |
    grep -q 'boolean true' && break
  kill -0 "$mock_pid" 2>/dev/null || { echo "FAIL: the logind mock ended" >&2; exit 1; }
  sleep 0.1
done

MEMRO_PRIVATE_SYSTEM_BUS=1 "$tests"
