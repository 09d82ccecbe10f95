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
# The window manager is ready once it has announced itself on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
bash "$check" "$memro" "$example" "$root/openbox" "Xvfb, openbox" || status=1
kill "$wm"
wait "$wm" 2>/dev/null || true
exit "$status"
SCRIPT
