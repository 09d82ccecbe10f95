#!/usr/bin/env bash
# The reminders a user gets without asking, tried on the real program under Xvfb, on a
# private session bus with a recording notification server (python3-dbusmock) and, for
# the resume from suspend, a private system bus with a mock of logind. The clock is
# libfaketime's, so the dates do not depend on the day the test runs.
# Usage: reminders.sh CASE path/to/memro path/to/memro-cli work-directory
#   notify-start  one notification at the start naming today's event; none with nothing
#                 due; a start without a notification server runs as before
#   autostart     Options > Start at Login (Alt+O, L) writes a valid autostart entry; again
#                 takes it back
#   midnight      started at 23:59:45 with the clock running, after midnight Print to File
#                 writes what `memro-cli report --today` writes for the new day
#   resume        a resume on a later day (PrepareForSleep(false)) reloads at once
#   timeout-recovery  with TimeOut=4, the question about an editor's kept changes and the
#                 restored editor outlive the time-out; typed work ends in a recovery
#   busy-start    another program holds the file's lock at the start: the window is drawn
#                 while it waits, then lists the due events and leaves the file as it is
#   second-start, double-click, notify-action   see open_cases.sh
# The cases that start the program by D-Bus activation install the build
# ($MEMRO_BUILD_DIR) under the work directory, where the private bus finds its service
# file. Exit status 77 (skipped) when a tool is missing.
set -euo pipefail
case=$1 memro=$2 cli=$3 root=$4
for tool in Xvfb xauth xdotool dbus-run-session dbus-daemon faketime; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
/usr/bin/python3 -c 'import dbusmock' 2>/dev/null || { echo "skipped: no python3-dbusmock"; exit 77; }
[ "$case" != autostart ] || command -v desktop-file-validate >/dev/null ||
  { echo "skipped: desktop-file-validate is not installed"; exit 77; }
rm -rf "$root"
mkdir -p "$root"
here=$(cd "$(dirname "$0")" && pwd)
# The bus reads its service directories as it starts: the installed layout comes first.
export prefix="$root/prefix"
if [ "$case" = double-click ] || [ "$case" = notify-action ]; then
  command -v gio >/dev/null || { echo "skipped: gio (libglib2.0-bin) is not installed"; exit 77; }
  cmake --install "$MEMRO_BUILD_DIR" --prefix "$prefix" >"$root/install.log" ||
    { echo "FAIL: cmake --install"; exit 1; }
fi
mkdir -p "$root/data-home"
export XDG_DATA_HOME="$root/data-home" XDG_DATA_DIRS="$prefix/share:/usr/share"
exec dbus-run-session -- bash "$here/../../support/xvfb.sh" "$root/x" \
  bash "$here/reminders_cases.sh" "$case" "$memro" "$cli" "$root"
