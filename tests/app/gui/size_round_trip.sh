#!/usr/bin/env bash
# The stored place of the main window against a real window system: started twice with
# Save Settings on Exit on and 9000 x 6000 twips stored (600 x 400 pixels at 96 DPI for
# the design's font, grown by one factor at the desktop's), each run must show the window
# at that outer size, frame included, end on SIGTERM with
# exit status 0 and store the same numbers again. Left and Top round-trip too where
# programs place their windows (X11); on Wayland they stay as stored.
# The window system comes from the caller's environment: QT_QPA_PLATFORM=xcb with DISPLAY
# (needs xdotool and xprop), or QT_QPA_PLATFORM=wayland with WAYLAND_DISPLAY and the
# compositor's XDG_RUNTIME_DIR.
# Usage: size_round_trip.sh path/to/memro path/to/events.mmo work-directory label
set -euo pipefail
memro=$1 example=$2 home=$3 label=$4
rm -rf "$home"
mkdir -p "$home/temp" "$home/user" "$home/run"
chmod 700 "$home/run"
cp "$example" "$home/events.mmo"
printf '[Main]\r\nLeft=1500\r\nTop=1200\r\nHeight=6000\r\nWidth=9000\r\nVisible=-1\r\n[Setup]\r\nSaveOnExit=-1\r\n' \
  >"$home/MEMRX.INI"
# Under LeakSanitizer: what the display libraries keep to the end of the process is
# theirs (the Wayland client's proxies, Mesa's EGL set up for Wayland buffers, the session
# bus that Qt's X11 platform opens).
printf 'leak:libwayland-client.so\nleak:libdbus-1.so\nleak:libEGL_mesa.so\n' >"$home/lsan.supp"
lsan="suppressions=$home/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# Mesa's drivers have no frame pointers: only the slow unwinder reaches the library that
# the suppression names.
asan="fast_unwind_on_malloc=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
want_size="600x400 or larger at 3:2"
failed=0
fail() { echo "FAIL ($label): $*" >&2; failed=1; }

start() {
  local runtime="$home/run" debug=()
  if [ "$QT_QPA_PLATFORM" = wayland ]; then
    runtime=$XDG_RUNTIME_DIR
    debug=(WAYLAND_DEBUG=client)  # the protocol log shows what reaches the compositor
  fi
  env -i PATH="$PATH" LANG=C.UTF-8 QT_QPA_PLATFORM="$QT_QPA_PLATFORM" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$home/no-bus" DBUS_SYSTEM_BUS_ADDRESS="unix:path=$home/no-bus" \
    ${DISPLAY+DISPLAY="$DISPLAY"} ${XAUTHORITY+XAUTHORITY="$XAUTHORITY"} \
    ${WAYLAND_DISPLAY+WAYLAND_DISPLAY="$WAYLAND_DISPLAY"} "${debug[@]}" \
    ASAN_OPTIONS="$asan" LSAN_OPTIONS="$lsan" \
    MEMRO_HOME="$home" TEMP="$home/temp" TMPDIR="$home/temp" HOME="$home/user" \
    XDG_RUNTIME_DIR="$runtime" "$memro" "$home/events.mmo" >"$home/output.log" 2>&1 &
  pid=$!
}

# The outer size the window system shows, frame included, as WxH; empty before the window
# is shown. X11: the client window and the frame the window manager put around it.
# Wayland: the last buffer the program handed the compositor (its decorations included).
shown_size() {
  if [ "$QT_QPA_PLATFORM" = wayland ]; then
    grep -o 'wl_shm_pool@[0-9]*\.create_buffer(new id wl_buffer@[0-9]*, [0-9]*, [0-9]*, [0-9]*' \
      "$home/output.log" 2>/dev/null | tail -n 1 | awk -F', ' '{ print $3 "x" $4 }'
    return 0
  fi
  local id width height extents
  id=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
  [ -n "$id" ] || return 0
  eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^(WIDTH|HEIGHT)=')"
  extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | grep -o '[0-9, ]*$' | tr -d ' ') || true
  IFS=, read -r left right top bottom <<<"${extents:-0,0,0,0}"
  echo "$((WIDTH + left + right))x$((HEIGHT + top + bottom))"
}

# At most 20 seconds for the window to be shown at the wanted size (a loaded machine, a
# sanitizer build).
wait_shown() {
  local size=""
  for _ in $(seq 200); do
    size=$(shown_size)
    local w=${size%x*} h=${size#*x}
    [ -n "$size" ] && [ "$w" -ge 600 ] && [ $((2 * w - 3 * h)) -le 3 ] &&
      [ $((3 * h - 2 * w)) -le 3 ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  fail "run $1: the window is shown at ${size:-nothing}, want $want_size"
}

. "$(dirname "${BASH_SOURCE[0]}")/wait_end.sh"

stored() { tr -d '\r' <"$home/MEMRX.INI" | grep -m1 "^$1=" | cut -d= -f2; }
place() { echo "$(stored Left) $(stored Top) $(stored Width) $(stored Height)"; }

want_place="1500 1200 9000 6000"
for run in 1 2; do
  touch "$home/mark"
  start
  wait_shown "$run"
  if [ "$QT_QPA_PLATFORM" = wayland ] &&
    ! grep -q 'set_app_id("org.memro.Memro")' "$home/output.log"; then
    fail "run $run: the window does not name the desktop entry org.memro.Memro"
  fi
  kill -TERM "$pid"
  wait_end
  [ "$status" = 0 ] || fail "run $run: exit status $status (want 0 within 10 s)"
  [ "$home/MEMRX.INI" -nt "$home/mark" ] || fail "run $run: the settings were not written"
  [ "$(place)" = "$want_place" ] ||
    fail "run $run: stored Left Top Width Height are $(place), want $want_place"
done

if [ "$failed" = 0 ]; then
  echo "ok ($label): shown at $want_size, stored $want_place after both runs, exit 0 on SIGTERM"
else
  echo "--- output of the last run:"
  grep -v -E '^\[ *[0-9.]+\] ' "$home/output.log" | tail -n 20 || true
fi
exit "$failed"
