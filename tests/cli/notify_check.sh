#!/usr/bin/env bash
# memro-cli notify against a recording notification server on a private session bus, on
# a bus without a server, and without any bus. Every directory the tool touches is the
# check's own.
#   notify_check.sh path/to/memro-cli path/to/notification_bus.sh WORK-DIRECTORY
# Exit status 77 (skipped) when dbus-run-session or python3-dbusmock is missing.
set -euo pipefail
if [ "${1:-}" = --case ]; then
  shift
  case_name=$1 cli=$2 work=$3
  export MEMRO_HOME="$work/home" TEMP="$work/temp" HOME="$work/home"
  fails=0
  fail() { echo "FAIL: $*" >&2; fails=$((fails + 1)); }
  # The Notify calls the server recorded: one line each,
  # replaces-id|expire-timeout|icon|hint|summary|body.
  notify_calls() {
    /usr/bin/python3 - <<'PY'
import dbus
bus = dbus.SessionBus()
mock = dbus.Interface(bus.get_object("org.freedesktop.Notifications",
                                     "/org/freedesktop/Notifications"),
                      "org.freedesktop.DBus.Mock")
for _, args in mock.GetMethodCalls("Notify"):
    hint = str(args[6].get("desktop-entry", ""))
    body = str(args[4]).replace("\n", "\\n")
    print(f"{args[1]}|{args[7]}|{args[2]}|{hint}|{args[3]}|{body}")
mock.ClearCalls()
PY
  }
  run() {  # run EXPECTED-STATUS ARGS...: the status and the standard error
    local want=$1
    shift
    local status=0
    "$cli" notify "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
    [ "$status" -eq "$want" ] || fail "notify $* exited $status, not $want: $(cat "$work/err")"
  }
  case $case_name in
  server)
    cp "$work/due.mmo" "$work/before.mmo"
    run 0 "$work/due.mmo" --today 2026-12-09
    calls=$(notify_calls)
    [ "$(wc -l <<<"$calls")" -eq 1 ] || fail "not exactly one notification: $calls"
    grep -qF '0|0|org.memro.Memro|org.memro.Memro|Memro: 2 events due|' <<<"$calls" ||
      fail "a new notification that never expires, icon, desktop-entry or summary: $calls"
    grep -qF '|Today:\nDentist 10:30\nPaper collection' <<<"$calls" ||
      fail "today's events not named under one heading: $calls"
    cmp -s "$work/due.mmo" "$work/before.mmo" || fail "the event file was changed"
    [ ! -s "$work/err" ] || fail "messages: $(cat "$work/err")"

    run 0 "$work/due.mmo" --today 2026-12-01
    calls=$(notify_calls)
    [ -z "$calls" ] || fail "a notification with nothing due: $calls"

    run 1 "$work/missing.mmo" --today 2026-12-09
    grep -q '^memro-cli: File not found' "$work/err" || fail "no message for a missing file"
    calls=$(notify_calls)
    [ -z "$calls" ] || fail "a notification for a missing file: $calls"

    # Without FILE: the AutoLoad file of the settings, or a message.
    run 1 --today 2026-12-09
    grep -q 'AutoLoad' "$work/err" || fail "no message without an AutoLoad file"
    mkdir -p "$MEMRO_HOME"
    printf '[Options]\r\nAutoLoad=%s\r\n' "$work/due.mmo" >"$MEMRO_HOME/MEMRX.INI"
    run 0 --today 2026-12-09
    calls=$(notify_calls)
    [ "$(wc -l <<<"$calls")" -eq 1 ] && grep -qF 'Dentist 10:30' <<<"$calls" ||
      fail "the AutoLoad file gave no notification: $calls"
    # A later run replaces the notification of the earlier one.
    [ "${calls%%|*}" != 0 ] || fail "a later run's notification does not replace the last: $calls"
    rm "$MEMRO_HOME/MEMRX.INI"
    ;;
  no-server)
    start=$(date +%s)
    run 0 "$work/due.mmo" --today 2026-12-09
    [ $(($(date +%s) - start)) -lt 5 ] || fail "waited for a missing server"
    [ ! -s "$work/err" ] || fail "messages without a server: $(cat "$work/err")"
    # No session bus at all, and none to start: silent too.
    start=$(date +%s)
    status=0
    env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work/run" \
      "$cli" notify "$work/due.mmo" --today 2026-12-09 >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq 0 ] || fail "without a bus exited $status"
    [ $(($(date +%s) - start)) -lt 5 ] || fail "waited for a missing bus"
    [ ! -s "$work/err" ] || fail "messages without a bus: $(cat "$work/err")"
    ;;
  esac
  exit $((fails > 0))
fi

cli=$1 bus=$2 work=$3
rm -rf "$work"
mkdir -p "$work/home" "$work/temp" "$work/run"
chmod 700 "$work/run"
# The writer lock and anything else the tool keeps outside the event file's directory.
export MEMRO_HOME="$work/home" TEMP="$work/temp" TMPDIR="$work/temp" HOME="$work/home" \
  XDG_RUNTIME_DIR="$work/run"
"$cli" add "$work/due.mmo" --date 2026-12-09 --message "Dentist 10:30" --frequency once >/dev/null
"$cli" add "$work/due.mmo" --date 2026-12-09 --message "Paper collection" --frequency once \
  --clean-up >/dev/null
"$cli" add "$work/due.mmo" --date 2027-03-01 --message "Not yet" --frequency once >/dev/null
status=0
for c in server no-server; do
  flag=()
  [ "$c" = no-server ] && flag=(--no-server)
  result=0
  bash "$bus" "${flag[@]}" bash "$0" --case "$c" "$cli" "$work" || result=$?
  [ "$result" -eq 77 ] && exit 77
  if [ "$result" -eq 0 ]; then echo "ok: $c"; else echo "FAILED: $c"; status=1; fi
done
exit "$status"
