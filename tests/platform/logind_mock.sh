# A private system bus with logind mocked on it, for scripts that test the resume from
# suspend. Source it, then:
#   logind_mock_start DIR   start the bus and the mock (DIR: a directory of the caller's),
#                           export DBUS_SYSTEM_BUS_ADDRESS; returns 1 when either fails
#   logind_mock_resume      emit PrepareForSleep(false), as logind does after a resume
#   logind_mock_stop        end and reap both (call it from an EXIT trap)
# Needs dbus-daemon, dbus-send and python3-dbusmock (logind_mock_tools says which one is
# missing). Run the caller inside dbus-run-session, so nothing reaches the desktop's bus.

logind_mock_bus_pid="" logind_mock_pid=""

logind_mock_tools() {
  local tool
  for tool in dbus-daemon dbus-send; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; return 1; }
  done
  /usr/bin/python3 -c 'import dbus, dbusmock' 2>/dev/null ||
    { echo "python3-dbusmock is not installed"; return 1; }
}

logind_mock_start() {
  local dir=$1
  # A second bus daemon standing in for the system bus (the session configuration lets
  # the mock own logind's name). Not forked, so that the caller can end and reap it.
  rm -f "$dir/system-bus-address"
  dbus-daemon --session --nofork --print-address=3 3>"$dir/system-bus-address" 2>/dev/null &
  logind_mock_bus_pid=$!
  local _
  for _ in $(seq 100); do
    [ -s "$dir/system-bus-address" ] && break
    sleep 0.05
  done
  [ -s "$dir/system-bus-address" ] || { echo "FAIL: no private system bus" >&2; return 1; }
  DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$dir/system-bus-address")
  export DBUS_SYSTEM_BUS_ADDRESS

  /usr/bin/python3 -m dbusmock --system --template logind >"$dir/logind-mock.log" 2>&1 &
  logind_mock_pid=$!
  for _ in $(seq 100); do
    if dbus-send --system --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner string:org.freedesktop.login1 2>/dev/null |
      grep -q 'boolean true'; then
      return 0
    fi
    kill -0 "$logind_mock_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "FAIL: the logind mock did not come up:" >&2
  cat "$dir/logind-mock.log" >&2
  return 1
}

logind_mock_resume() {
  /usr/bin/python3 -c '
import dbus
logind = dbus.SystemBus().get_object("org.freedesktop.login1", "/org/freedesktop/login1")
logind.EmitSignal("org.freedesktop.login1.Manager", "PrepareForSleep", "b", [False],
                  dbus_interface="org.freedesktop.DBus.Mock")'
}

logind_mock_stop() {
  local pid
  for pid in "$logind_mock_pid" "$logind_mock_bus_pid"; do
    [ -n "$pid" ] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  logind_mock_pid="" logind_mock_bus_pid=""
}
