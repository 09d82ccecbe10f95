#!/usr/bin/env bash
# The date watch against logind's resume signal: a private system bus with logind
# mocked on it (logind_mock.sh), inside a session bus of its own, then the bus tests,
# and a resume sent from outside the program as an end-to-end test would send it.
# Usage: date_watch_resume.sh path/to/date_watch_bus_tests
# Exit 77 (skipped) when dbus-run-session or a tool of logind_mock.sh is missing.
set -euo pipefail
tests=$1
here=$(dirname "${BASH_SOURCE[0]}")
. "$here/logind_mock.sh"

command -v dbus-run-session >/dev/null || { echo "skipped: dbus-run-session is not installed"; exit 77; }
missing=$(logind_mock_tools) || { echo "skipped: $missing"; exit 77; }

# Everything below runs on a session bus of its own, so nothing reaches the desktop's.
if [ -z "${MEMRO_OWN_SESSION_BUS:-}" ]; then
  MEMRO_OWN_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d) probe=""
cleanup() {
  if [ -n "$probe" ]; then
    kill "$probe" 2>/dev/null || true
    wait "$probe" 2>/dev/null || true
  fi
  logind_mock_stop
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

logind_mock_start "$work"
export MEMRO_PRIVATE_SYSTEM_BUS=1 MEMRO_TEST_BUSES=private
"$tests" --gtest_filter='-ResumeTest.ASignalFromOutside*'

# The resume as logind_mock_resume sends it: the test waits for it once it is ready.
export MEMRO_RESUME_READY_FILE="$work/ready"
"$tests" --gtest_filter='ResumeTest.ASignalFromOutside*' &
probe=$!
for _ in $(seq 100); do
  [ -e "$work/ready" ] && break
  kill -0 "$probe" 2>/dev/null || break
  sleep 0.05
done
[ -e "$work/ready" ] || { echo "FAIL: the test did not get ready" >&2; exit 1; }
logind_mock_resume
status=0
wait "$probe" || status=$?
probe=""
exit "$status"
