#!/usr/bin/env bash
# Runs a command on an X display of its own: an Xvfb server (1024x768, 24 bits, no TCP)
# that takes a free display number itself and reports it only once it accepts
# connections. A number chosen beforehand from the lock files, as `xvfb-run -a` does, can
# be taken by any server started meanwhile, of the same `ctest -j` or of anything else on
# the machine. No reset when the last client leaves: a client that connects while the
# server resets is turned away ("could not connect to display"), and the tests start and
# end clients all the time. Only clients with the cookie in DIR/xauthority get in, and
# the command sees no Wayland display, so nothing reaches the desktop's.
#   xvfb.sh DIR COMMAND [ARG...]   DIR: a directory of the caller's for the server's files
# Exit status: the command's; 77 (skipped) when Xvfb or xauth is missing; 1 when the
# server does not start. The server ends with the command.
set -euo pipefail
dir=$1
shift
for tool in Xvfb xauth; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
mkdir -p "$dir"
export XAUTHORITY="$dir/xauthority"
rm -f "$dir/xvfb-display"
: >"$XAUTHORITY"
cookie=$(mcookie)
# The server takes every cookie of its file, whatever display the entry names; the
# clients need one under the real number, which is known only once the server runs.
xauth -q add :0 . "$cookie"
mkfifo "$dir/xvfb-display"
Xvfb -displayfd 3 -nolisten tcp -noreset -auth "$XAUTHORITY" -screen 0 1024x768x24 \
  3>"$dir/xvfb-display" >"$dir/xvfb.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
# Ends with the number, or at once when the server exits without one.
number=""
read -r -t 20 number <"$dir/xvfb-display" || true
rm -f "$dir/xvfb-display"
if [ -z "$number" ]; then
  echo "FAIL: Xvfb did not start:" >&2
  cat "$dir/xvfb.log" >&2
  exit 1
fi
xauth -q add ":$number" . "$cookie"
export DISPLAY=":$number"
unset WAYLAND_DISPLAY
status=0
"$@" || status=$?
exit "$status"
