#!/usr/bin/env bash
# Runs a command on a private session bus with a recording notification server
# (python3-dbusmock's notification_daemon template), or with none (--no-server), so that
# no test reaches the user's desktop.
#   notification_bus.sh [--no-server] COMMAND [ARG...]
# Exit status: the command's; 77 (skipped) when dbus-run-session or dbusmock is missing.
set -euo pipefail
if [ "${1:-}" != --inside ]; then
  command -v dbus-run-session >/dev/null || { echo "skipped: dbus-run-session is not installed"; exit 77; }
  /usr/bin/python3 -c 'import dbus, dbusmock' 2>/dev/null ||
    { echo "skipped: python3-dbusmock is not installed"; exit 77; }
  exec timeout 120 dbus-run-session -- bash "$0" --inside "$@"
fi
shift
server=yes
if [ "${1:-}" = --no-server ]; then server=no; shift; fi
# The bus's own name lookups are the only way to know that the mock is ready.
has_server() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications 2>/dev/null |
    grep -q 'boolean true'
}
mock=
if [ "$server" = yes ]; then
  /usr/bin/python3 -m dbusmock --template notification_daemon >/dev/null 2>&1 &
  mock=$!
  for _ in $(seq 200); do has_server && break; sleep 0.05; done
  has_server || { echo "the notification mock did not start" >&2; exit 1; }
fi
status=0
MEMRO_TEST_BUSES=private "$@" || status=$?
if [ -n "$mock" ]; then
  kill "$mock" 2>/dev/null || true
  wait "$mock" 2>/dev/null || true
fi
exit "$status"
