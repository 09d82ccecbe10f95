# The cases of reminders.sh about the one running copy, sourced by reminders_cases.sh:
#   second-start   a second `memro FILE` hands FILE to the running copy, which loads it and
#                  comes back from minimised; `memro` alone brings it back; both end at once
#                  with status 0
#   double-click   `gio launch` of the installed desktop entry with a file starts the
#                  program by D-Bus activation on that file, and hands the next file to it
#   notify-action  memro-cli notify twice and the program's start leave one notification
#                  (each replacing the last, never expiring); a click on the one of
#                  `notify --wait` starts the program on the file; closing it ends the wait
# The last two need the installed layout that reminders.sh makes ($prefix).

two_files() {
  add_event "$home/a.mmo" 2026-12-08 once 0 "Alpha at nine"
  add_event "$home/b.mmo" 2026-12-08 once 0 "Beta at ten"
}

# second_start ARG...: another start of the program with $penv; it must end within 5
# seconds with status 0.
second_start() {
  local began=$SECONDS code=0
  timeout 20 env -i "${penv[@]}" "$memro" "$@" >>"$home/output.log" 2>&1 || code=$?
  [ "$code" = 0 ] && ((SECONDS - began <= 5)) && ok "memro $* ends at once with status 0" ||
    fail "memro $* ended with status $code after $((SECONDS - began)) s"
}

# wait_front TITLE: the program's window of that title is shown and has the focus.
wait_front() {
  for _ in $(seq 200); do
    [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$1" ] && return 0
    sleep 0.05
  done
  return 1
}

start_window_manager() {
  command -v openbox >/dev/null || { echo "skipped: openbox is not installed"; exit 77; }
  mkdir -p "$root/wm"
  HOME="$root/wm" XDG_CONFIG_HOME="$root/wm/config" XDG_CACHE_HOME="$root/wm/cache" \
    XDG_DATA_HOME="$root/wm/data" openbox >"$root/openbox.log" 2>&1 &
  helpers+=($!)
  # Ready once it carries out a change of the number of desktops (see window_size_x11.sh).
  for _ in $(seq 200); do
    xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | grep -q '= 3$' && return 0
    xprop -root -f _NET_NUMBER_OF_DESKTOPS 32c -set _NET_NUMBER_OF_DESKTOPS 3 2>/dev/null
    sleep 0.05
  done
  fail "openbox did not start"
}

case_second_start() {
  start_window_manager
  fresh second
  two_files
  start "2026-12-08 10:00:00" "$home/a.mmo"
  wait_window || return
  wait_front "a.mmo [Memro 4.0]" || fail "the first start's window has no focus"
  xdotool windowminimize --sync "$main"
  second_start "$home/b.mmo"
  wait_front "b.mmo [Memro 4.0]" && ok "the running copy loads the file and comes to the front" ||
    fail "the running copy shows '$(xdotool getactivewindow getwindowname 2>/dev/null)'"
  xdotool windowminimize --sync "$main"
  (cd "$home" && second_start a.mmo)  # a name relative to where the start is
  wait_front "a.mmo [Memro 4.0]" && ok "a relative name is found" || fail "a.mmo not loaded"
  xdotool windowminimize --sync "$main"
  second_start
  wait_front "a.mmo [Memro 4.0]" && ok "memro alone brings the running copy back" ||
    fail "memro alone: the running copy stays minimised"
  [ "$(windows | wc -l)" = 1 ] || fail "more than one window: $(windows | wc -l)"
  stop
}

# The program the bus started: its process, by the bus name it owns.
bus_program() {
  for _ in $(seq 200); do
    pid=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
      org.freedesktop.DBus.GetConnectionUnixProcessID string:org.memro.Memro 2>/dev/null |
      awk '/uint32/ { print $2 }')
    [ -n "$pid" ] && return 0
    sleep 0.05
  done
  fail "nothing owns org.memro.Memro"
  return 1
}

# Ends the program the bus started (not this shell's child) as a session's end does.
stop_bus_program() {
  kill -TERM "$pid" 2>/dev/null
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.05; done
  fail "the program did not end by SIGTERM"
  kill -KILL "$pid" 2>/dev/null
}

wait_title_name() {
  for _ in $(seq 300); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 && return 0
    sleep 0.05
  done
  return 1
}

# What the bus starts gets the program's environment, as a session's bus would.
activation_env() {
  program_env "$1"
  dbus-update-activation-environment "${penv[@]}" || fail "dbus-update-activation-environment"
}

case_double_click() {
  fresh click
  two_files
  activation_env "2026-12-08 10:00:00"
  local entry="$prefix/share/applications/org.memro.Memro.desktop" code=0
  # gio takes an entry only where its TryExec finds the program.
  # gio itself runs as the session's programs do: with the program's home.
  env -i "${penv[@]}" PATH="$prefix/bin:$PATH" timeout 20 gio launch "$entry" "$home/a.mmo" ||
    code=$?
  [ "$code" = 0 ] || fail "gio launch exited $code"
  wait_title_name "a.mmo \[Memro 4.0\]" && ok "a double-click starts the program on the file" ||
    fail "no window on a.mmo after gio launch"
  bus_program || return
  local first=$pid
  env -i "${penv[@]}" PATH="$prefix/bin:$PATH" timeout 20 gio launch "$entry" "$home/b.mmo" ||
    fail "gio launch again"
  wait_title_name "b.mmo \[Memro 4.0\]" && ok "the next double-click loads its file there" ||
    fail "no window on b.mmo after the second gio launch"
  bus_program
  [ "$pid" = "$first" ] || fail "a second program started"
  stop_bus_program
}

# The Notify calls the server recorded, one line each: replaces-id|expire-timeout|actions.
notify_calls() {
  $py - <<'PY'
import dbus
mock = dbus.Interface(dbus.SessionBus().get_object("org.freedesktop.Notifications",
                      "/org/freedesktop/Notifications"), "org.freedesktop.DBus.Mock")
for _, args in mock.GetMethodCalls("Notify"):
    print(f"{args[1]}|{args[7]}|{','.join(map(str, args[5]))}")
PY
}

# notification_signal NAME SIGNATURE ARG...: the server emits one of its signals.
notification_signal() {
  $py - "$@" <<'PY'
import sys, dbus
name, signature, *args = sys.argv[1:]
values = [dbus.UInt32(a) if t == "u" else a for t, a in zip(signature, args)]
mock = dbus.Interface(dbus.SessionBus().get_object("org.freedesktop.Notifications",
                      "/org/freedesktop/Notifications"), "org.freedesktop.DBus.Mock")
mock.EmitSignal("org.freedesktop.Notifications", name, signature, values)
PY
}

# cli_notify ARG...: memro-cli notify on $home/a.mmo with the program's environment.
cli_notify() {
  env -i "${penv[@]}" "$cli" notify "$home/a.mmo" --today 2026-12-08 "$@" >>"$home/cli.log" 2>&1
}

case_notify_action() {
  notification_server || return
  fresh action
  two_files
  activation_env "2026-12-08 10:00:00"
  cli_notify || fail "memro-cli notify"
  cli_notify --wait &
  local waiting=$!
  helpers+=("$waiting")
  wait_notifications 2 10 || fail "no second notification"
  sleep 0.5
  kill -0 "$waiting" 2>/dev/null && ok "notify --wait stays" || fail "notify --wait did not stay"
  # The server named the first notification 1, and every later one replaces it.
  notification_signal ActivationToken us 1 token-of-the-click
  notification_signal ActionInvoked us 1 default
  wait_title_name "a.mmo \[Memro 4.0\]" && ok "a click on the notification starts the program" ||
    fail "no window on a.mmo after the click"
  local code=0
  timeout 30 tail --pid="$waiting" -f /dev/null || fail "notify --wait did not end after the click"
  wait "$waiting" || code=$?
  [ "$code" = 0 ] || fail "notify --wait ended with status $code"
  bus_program || return
  wait_notifications 3 10 || fail "the program's start sent no notification"
  cli_notify --wait &
  waiting=$!
  helpers+=("$waiting")
  wait_notifications 4 10 || fail "no fourth notification"
  sleep 0.5
  dbus-send --session --print-reply --dest=org.freedesktop.Notifications \
    /org/freedesktop/Notifications org.freedesktop.Notifications.CloseNotification int32:1 >/dev/null
  timeout 10 tail --pid="$waiting" -f /dev/null && ok "closing the notification ends the wait" ||
    fail "notify --wait outlived its closed notification"
  local calls
  calls=$(notify_calls)
  # One notification: the first gets id 1, every later one replaces it; none expires.
  [ "$(cut -d'|' -f1,2 <<<"$calls" | tr '\n' ' ')" = "0|0 1|0 1|0 1|0 " ] &&
    ok "each notification replaces the last and none expires" || fail "the calls: $calls"
  [ "$(cut -d'|' -f3 <<<"$calls" | tr '\n' ' ')" = " default,Show Memro default,Show Memro default,Show Memro " ] ||
    fail "actions: $calls"
  stop_bus_program
}
