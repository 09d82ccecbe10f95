#!/usr/bin/env bash
# The cases of reminders.sh, run inside its private session bus and X display.
# Usage: reminders_cases.sh CASE path/to/memro path/to/memro-cli work-directory
set -uo pipefail
case=$1 memro=$2 cli=$3 root=$4
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wait_end.sh"
source "$here/../../platform/logind_mock.sh"
py=/usr/bin/python3
failed=0
fail() { echo "FAIL ($case): $*" >&2; failed=1; }
ok() { echo "ok ($case): $*"; }
helpers=()
finish() {
  for p in "${helpers[@]}"; do kill "$p" 2>/dev/null; done
  logind_mock_stop
  wait 2>/dev/null
}
trap finish EXIT
# No case reaches the machine's system bus; the resume case puts a mock's in its place.
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$root/no-system-bus"

faketime_lib=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n 1)
[ -n "$faketime_lib" ] || { echo "skipped: libfaketime.so.1 not found"; exit 77; }
# What the display and bus libraries keep to the end of the process is theirs.
printf 'leak:libdbus-1.so\nleak:libQt6DBus.so\n' >"$root/lsan.supp"

# A fresh home for each run of the program: settings, temp, HOME, XDG directories.
fresh() {
  home="$root/$1"
  mkdir -p "$home/temp" "$home/user" "$home/config" "$home/run"
  chmod 700 "$home/run"
}

# program_env WHEN: the program's environment in $penv, for $home with the clock at WHEN
# and running on from there (libfaketime; WHEN "file" takes the time from $root/clock,
# read again at every call). Timers keep the real monotonic clock, so a jump of the date
# is only a jump of the date.
program_env() {
  local clock=()
  if [ "$1" = file ]; then
    clock=(FAKETIME_TIMESTAMP_FILE="$root/clock" FAKETIME_NO_CACHE=1)
  else
    clock=(FAKETIME="@$1")
  fi
  penv=(PATH="$PATH" LANG=C.UTF-8 TZ=UTC QT_QPA_PLATFORM=xcb DISPLAY="$DISPLAY"
    ${XAUTHORITY+XAUTHORITY="$XAUTHORITY"} DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"
    ${DBUS_SYSTEM_BUS_ADDRESS+DBUS_SYSTEM_BUS_ADDRESS="$DBUS_SYSTEM_BUS_ADDRESS"}
    LD_PRELOAD="$faketime_lib" FAKETIME_DONT_FAKE_MONOTONIC=1 "${clock[@]}"
    ASAN_OPTIONS="verify_asan_link_order=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
    LSAN_OPTIONS="suppressions=$root/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    MEMRO_HOME="$home" TEMP="$home/temp" TMPDIR="$home/temp" HOME="$home/user"
    XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run")
}

# start WHEN [ARG]: the program in $home, its clock as program_env sets it.
start() {
  program_env "$1"
  shift
  env -i "${penv[@]}" "$memro" "$@" >>"$home/output.log" 2>&1 &
  pid=$!
}

windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null; }

# The program is up once its first window is shown (at most 15 seconds).
wait_window() {
  for _ in $(seq 300); do
    main=$(windows | head -n 1)
    [ -n "$main" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  fail "no window of the program; its output:"
  cat "$home/output.log" >&2
  return 1
}

# Ends the program by SIGTERM, as a session's end does; it must end with status 0.
stop() {
  kill -TERM "$pid" 2>/dev/null
  wait_end
  [ "$status" = 0 ] || fail "the program ended with status $status"
}

# wait_name BUS NAME: at most 5 seconds for NAME to appear on the bus (--session, --system).
wait_name() {
  for _ in $(seq 100); do
    dbus-send "$1" --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.NameHasOwner "string:$2" 2>/dev/null | grep -q 'boolean true' &&
      return 0
    sleep 0.05
  done
  fail "$2 did not appear on the bus"
  return 1
}

# The recording notification server; every call it gets goes to $root/notify.log.
notification_server() {
  : >"$root/notify.log"
  $py -m dbusmock --template notification_daemon -l "$root/notify.log" >"$root/mock.log" 2>&1 &
  server=$!
  helpers+=("$server")
  wait_name --session org.freedesktop.Notifications
}

notifications() { grep -c ' Notify ' "$root/notify.log" 2>/dev/null || true; }

# wait_notifications N SECONDS: until N notifications were sent, at most SECONDS.
wait_notifications() {
  for _ in $(seq $(($2 * 20))); do
    [ "$(notifications)" -ge "$1" ] && return 0
    sleep 0.05
  done
  return 1
}

# The last Notify call as the log holds it; its body may run over several lines.
last_notification() {
  awk '/^[0-9.]+ Notify / { call = "" } { call = call $0 "\n" } END { printf "%s", call }' \
    "$root/notify.log"
}

setting() { grep -a "^$1=" "$home/MEMRX.INI" 2>/dev/null | tr -d '\r' | cut -d= -f2-; }

add_event() { # FILE DATE FREQUENCY WARN MESSAGE
  "$cli" add "$1" --date "$2" --frequency "$3" --warn "$4" --message "$5" >/dev/null ||
    fail "memro-cli add $2 $5"
}

case_notify_start() {
  notification_server || return
  fresh due
  add_event "$home/events.mmo" 2026-12-08 once 0 "Dentist at nine"
  add_event "$home/events.mmo" 2026-12-20 once 0 "Not yet"
  start "2026-12-08 10:00:00" "$home/events.mmo"
  wait_window || return
  wait_notifications 1 10 || fail "no notification after the start"
  sleep 1
  local sent
  sent=$(last_notification)
  [ "$(notifications)" = 1 ] && ok "one notification" || fail "$(notifications) notifications"
  grep -q 'Dentist at nine' <<<"$sent" && ok "it names today's event" || fail "not named: $sent"
  grep -q '"org.memro.Memro"' <<<"$sent" && grep -q '"desktop-entry": "org.memro.Memro"' <<<"$sent" &&
    ok "icon and desktop entry" || fail "icon or desktop-entry hint missing: $sent"
  grep -q 'Not yet' <<<"$sent" && fail "names an event that is not due"
  stop

  fresh idle
  local before
  before=$(notifications)
  add_event "$home/events.mmo" 2026-12-20 once 0 "Not yet"
  start "2026-12-08 10:00:00" "$home/events.mmo"
  wait_window || return
  sleep 2
  [ "$(notifications)" = "$before" ] && ok "nothing due, no notification" || fail "a notification with nothing due"
  stop

  kill "$server"
  wait "$server" 2>/dev/null
  fresh silent
  add_event "$home/events.mmo" 2026-12-08 once 0 "Dentist at nine"
  start "2026-12-08 10:00:00" "$home/events.mmo"
  wait_window || return
  sleep 2
  kill -0 "$pid" 2>/dev/null && [ "$(windows | wc -l)" = 1 ] &&
    ok "without a notification server it runs as before, no message" ||
    fail "without a notification server: not running or a message shown"
  stop
}

case_autostart() {
  fresh autostart
  local entry="$home/config/autostart/org.memro.Memro.desktop"
  start "2026-12-08 10:00:00"
  wait_window || return
  xdotool windowfocus --sync "$main" key --delay 200 alt+o l
  for _ in $(seq 100); do [ -f "$entry" ] && break; sleep 0.05; done
  if [ -f "$entry" ]; then
    desktop-file-validate "$entry" && ok "Start at Login writes a valid entry" ||
      fail "the autostart entry does not validate"
    grep -q "^Exec=.*memro" "$entry" || fail "the entry does not start memro: $(cat "$entry")"
  else
    fail "no autostart entry after Alt+O, L"
  fi
  xdotool windowfocus --sync "$main" key --delay 200 alt+o l
  for _ in $(seq 100); do [ -f "$entry" ] || break; sleep 0.05; done
  [ -f "$entry" ] && fail "choosing it again leaves the entry" || ok "choosing it again takes it back"
  stop
}

case_midnight() {
  notification_server || return
  fresh midnight
  add_event "$home/events.mmo" 2026-12-07 yearly 0 "Anna's birthday"
  add_event "$home/events.mmo" 2026-12-08 yearly 3 "Ben's birthday"
  add_event "$home/events.mmo" 2026-12-09 monthly 1 "Water the plants"
  start "2026-12-07 23:59:45" "$home/events.mmo"
  wait_window || return
  wait_notifications 2 60 && ok "the new day notifies" || fail "$(notifications) notifications"
  # LastCheck stays the start's, so that tomorrow's first start shows its list.
  [ "$(setting LastCheck)" = 12/7/2026 ] ||
    fail "LastCheck is '$(setting LastCheck)' a minute after midnight"
  xdotool windowfocus --sync "$main" key ctrl+p
  local dialog=""
  for _ in $(seq 100); do
    dialog=$(xdotool search --onlyvisible --name '^Print to File$' 2>/dev/null | head -n 1)
    [ -n "$dialog" ] && break
    sleep 0.05
  done
  [ -n "$dialog" ] || { fail "Ctrl+P shows no Print to File dialog"; stop; return; }
  xdotool windowfocus --sync "$dialog" key ctrl+a type "$home/printed.txt"
  xdotool key Return
  for _ in $(seq 200); do [ -s "$home/printed.txt" ] && break; sleep 0.05; done
  "$cli" report "$home/events.mmo" --today 2026-12-08 --dry-run --output "$home/expected.txt"
  if cmp -s "$home/printed.txt" "$home/expected.txt"; then
    ok "after midnight Print to File writes the new day's report"
  else
    fail "Print to File after midnight differs from memro-cli report --today 2026-12-08:"
    diff "$home/expected.txt" "$home/printed.txt" >&2
  fi
  stop
}


case_resume() {
  logind_mock_start "$root" || { fail "no private system bus with logind"; return; }
  notification_server || return
  fresh resume
  add_event "$home/events.mmo" 2026-12-08 once 0 "Pay the rent"
  echo "@2026-12-07 10:00:00" >"$root/clock"
  start file "$home/events.mmo"
  wait_window || return
  sleep 1
  [ "$(notifications)" = 0 ] || fail "a notification on Dec 7 with nothing due"
  # The machine slept through the night; the minute check is nearly a minute away.
  echo "@2026-12-08 10:00:00" >"$root/clock"
  logind_mock_resume
  if wait_notifications 1 8; then
    grep -q 'Pay the rent' <<<"$(last_notification)" && ok "the resume reloads at once" ||
      fail "the notification after the resume: $(last_notification)"
  else
    fail "no reload within 8 seconds of the resume"
  fi
  stop
}

# wait_title PATTERN [SECONDS]: a shown window of the program whose title matches.
wait_title() {
  for _ in $(seq $((${2:-10} * 20))); do
    found=$(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null | head -n 1)
    [ -n "$found" ] && return 0
    sleep 0.05
  done
  return 1
}

alive() { kill -0 "$pid" 2>/dev/null; }

case_timeout_recovery() {
  fresh recovery
  printf '[Setup]\r\nTimeOut=4\r\n' >"$home/MEMRX.INI"
  add_event "$home/events.mmo" 2026-12-08 yearly 0 "Anna's birthday"
  start "2026-12-08 10:00:00" "$home/events.mmo"
  wait_window || return
  xdotool windowfocus --sync "$main" key ctrl+e
  wait_title '^Memro 4.0 Editor \[' || { fail "Ctrl+E shows no editor"; stop; return; }
  xdotool windowfocus --sync "$found" key alt+2 ctrl+End type ' and cake'
  sleep 0.5
  stop
  ls "$home/recovery"/* >/dev/null 2>&1 || { fail "the signal kept no recovery"; return; }

  # The start opens the editor and asks; nobody answers for longer than the time-out.
  start "2026-12-08 10:00:00" "$home/events.mmo"
  wait_title '^Memro 4.0 Editor$' || { fail "no question about the kept changes"; stop; return; }
  sleep 6
  alive && xdotool search --all --onlyvisible --pid "$pid" --name '^Memro 4.0 Editor$' >/dev/null &&
    ok "the time-out leaves the question open" || fail "the time-out ended the question"
  ls "$home/recovery"/* >/dev/null 2>&1 || fail "the recovery went while the question was open"
  xdotool windowfocus --sync "$found" key alt+y
  sleep 0.5
  wait_title '^Memro 4.0 Editor \[' || { fail "no editor after Yes"; stop; return; }
  xdotool windowfocus --sync "$found" key alt+2 ctrl+End type ' at four'
  sleep 6
  alive && ok "the time-out leaves the restored editor open" || fail "the time-out ended the editor"
  stop
  grep -rq 'and cake at four' "$home/recovery" 2>/dev/null &&
    ok "restored and newly typed work kept at the end" ||
    fail "the work is not in a recovery at the end"
}

case_busy_start() {
  notification_server || return
  fresh busy
  printf '[Setup]\r\nCleanUp=0\r\n' >"$home/MEMRX.INI"
  "$cli" add "$home/events.mmo" --date 2026-12-08 --frequency once --warn 0 --clean-up \
    --message "Bins out" >/dev/null || fail "memro-cli add"
  add_event "$home/events.mmo" 2026-12-08 yearly 0 "Anna's birthday"
  cp "$home/events.mmo" "$home/before.mmo"
  # Another program holds the file's writer lock (a record lock of the whole file).
  $py -c 'import fcntl, sys, time
f = open(sys.argv[1], "r+b"); fcntl.lockf(f, fcntl.LOCK_EX); open(sys.argv[2], "w").close()
time.sleep(30)' "$home/events.mmo" "$home/held" &
  local holder=$!
  helpers+=("$holder")
  for _ in $(seq 100); do [ -e "$home/held" ] && break; sleep 0.05; done
  local began=$SECONDS
  start "2026-12-08 10:00:00" "$home/events.mmo"
  if wait_title '^Loading ' 5 && ((SECONDS - began < 8)); then
    ok "the window is shown and drawn while it waits for the file"
  else
    fail "the window did not answer while it waited for the file"
  fi
  wait_title '^Memro 4.0$' 15 || { fail "no message about the busy file"; stop; return; }
  xdotool windowfocus --sync "$found" key Return
  wait_notifications 1 10 && grep -q "Anna's birthday" <<<"$(last_notification)" &&
    ok "the due event is listed" || fail "the due event is not listed: $(last_notification)"
  cmp -s "$home/events.mmo" "$home/before.mmo" && ok "the busy file is unchanged" ||
    fail "the busy file was changed"
  [ "$(setting LastCheck)" = 12/8/2026 ] || fail "the shown list did not count for the day"
  kill "$holder" 2>/dev/null
  stop
}

source "$here/open_cases.sh"

"case_${case//-/_}"
exit "$failed"
