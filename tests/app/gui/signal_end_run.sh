#!/usr/bin/env bash
# Ends the real program by a signal, as a session without session management, systemd
# at logout or `kill` do, and checks what the end leaves: exit status 0 within 10 seconds,
# MEMRX.INI with what the close writes, no work file. Then a run killed outright: its
# work file stays until the next start removes it.
# Usage: signal_end_run.sh path/to/memro path/to/events.mmo work-directory
set -euo pipefail
set -m  # background runs get their own process group, so SIGINT is not ignored there
memro=$1 example=$2 root=$3
rm -rf "$root"
mkdir -p "$root"
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }

# A fresh home per run: settings, TEMP, HOME and the runtime directory all inside it.
fresh() {
  home="$root/$1"
  mkdir -p "$home/temp" "$home/user" "$home/run"
  chmod 700 "$home/run"
  cp "$example" "$home/events.mmo"
}

start() {
  env -i PATH="$PATH" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$home/no-bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$home/no-bus" \
    ${ASAN_OPTIONS+ASAN_OPTIONS="$ASAN_OPTIONS"} ${LSAN_OPTIONS+LSAN_OPTIONS="$LSAN_OPTIONS"} \
    MEMRO_HOME="$home" TEMP="$home/temp" TMPDIR="$home/temp" HOME="$home/user" \
    XDG_RUNTIME_DIR="$home/run" "$memro" "$home/events.mmo" >>"$home/output.log" 2>&1 &
  pid=$!
}

work_files() { find "$home" -name '~mr*' -newer "$1" 2>/dev/null; }

# The ready sign: a work file newer than the mark, made by the start-up after the
# signal relay is in place.
wait_ready() {
  for _ in $(seq 200); do
    [ -n "$(work_files "$1")" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  fail "$2: no work file appeared"
  return 1
}

. "$(dirname "${BASH_SOURCE[0]}")/wait_end.sh"

has() { grep -q -F -x -e "$1"$'\r' "$home/MEMRX.INI" 2>/dev/null; }

signal_run() {
  local signal=$1 full=$2
  fresh "$signal"
  [ "$full" = full ] && printf '[Setup]\r\nSaveOnExit=-1\r\n' >"$home/MEMRX.INI"
  touch "$home/mark"
  start
  wait_ready "$home/mark" "$signal" || return 0
  kill -"$signal" "$pid"
  wait_end
  [ "$status" = 0 ] || fail "$signal: exit status $status (want 0 within 10 s)"
  has "PrevFile1=$home/events.mmo" || fail "$signal: the recent file is not in MEMRX.INI"
  has "SaveOnExit=$([ "$full" = full ] && echo -1 || echo 0)" ||
    fail "$signal: the Setup keys are not in MEMRX.INI"
  if [ "$full" = full ]; then
    has "Visible=-1" || fail "$signal: SaveOnExit is on, but the full group is missing"
  elif grep -q '^Width=' "$home/MEMRX.INI"; then
    fail "$signal: the full group was written with SaveOnExit off"
  fi
  [ -z "$(work_files "$home/mark")" ] || fail "$signal: work files left: $(work_files "$home/mark")"
  [ "$failed" = 0 ] && echo "ok: $signal ends the program with exit 0, settings written, no work file"
  return 0
}

signal_run TERM always
signal_run HUP full
signal_run INT always

# Killed outright: nothing of the program runs, so its work file stays; the next start
# removes it and keeps its own.
fresh KILL
touch "$home/mark"
start
if wait_ready "$home/mark" KILL; then
  left=$(work_files "$home/mark")
  kill -KILL "$pid"
  wait "$pid" 2>/dev/null || true
  [ -f "$left" ] || fail "KILL: the killed run's work file is already gone"
  touch "$home/mark2"
  start
  if wait_ready "$home/mark2" "KILL, next start"; then
    [ ! -e "$left" ] || fail "KILL: the next start left the killed run's work file $left"
    kill -TERM "$pid"
    wait_end
    [ "$status" = 0 ] || fail "KILL, next start: exit status $status"
    [ "$failed" = 0 ] && echo "ok: the next start removes the work file of a killed run"
  fi
fi

if [ "$failed" != 0 ]; then
  for log in "$root"/*/output.log; do
    [ -s "$log" ] && { echo "--- $log"; cat "$log"; }
  done
fi
exit "$failed"
