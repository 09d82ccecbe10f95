#!/usr/bin/env bash
# The window-size round trip (size_round_trip.sh) under Xvfb: first without a window
# manager (no frame), then with openbox, which frames the window only after it is shown.
# Usage: window_size_x11.sh path/to/memro path/to/events.mmo work-directory
# Exit status 77 (skipped) when Xvfb, xauth, xdotool or xprop is missing.
set -euo pipefail
memro=$1 example=$2 root=$3
for tool in Xvfb xauth xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
rm -rf "$root"
mkdir -p "$root"
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=xcb
bash "$here/../../support/xvfb.sh" "$root/x" bash -s "$here/size_round_trip.sh" "$memro" \
  "$example" "$root" <<'SCRIPT'
set -u
check=$1 memro=$2 example=$3 root=$4
status=0
bash "$check" "$memro" "$example" "$root/bare" "Xvfb, no window manager" || status=1
if ! command -v openbox >/dev/null; then
  echo "openbox is not installed: the run with a window frame is left out"
  exit "$status"
fi
# Its configuration and cache in the work directory, not the user's.
mkdir -p "$root/wm"
HOME="$root/wm" XDG_CONFIG_HOME="$root/wm/config" XDG_CACHE_HOME="$root/wm/cache" \
  XDG_DATA_HOME="$root/wm/data" openbox >"$root/openbox.log" 2>&1 &
wm=$!
# openbox takes a window in only from its event loop: one mapped while it starts up can
# stay unmapped until some other event wakes it, which on a loaded machine happens after
# it has announced itself. It is ready once it has carried out a change of the number of
# desktops (its own is 4); asking again wakes a loop that has missed the request.
for _ in $(seq 200); do
  xprop -root _NET_NUMBER_OF_DESKTOPS 2>/dev/null | grep -q '= 3$' && break
  xdotool set_num_desktops 3 2>/dev/null
  sleep 0.05
done
bash "$check" "$memro" "$example" "$root/openbox" "Xvfb, openbox" || status=1
kill "$wm"
wait "$wm" 2>/dev/null || true
exit "$status"
SCRIPT
