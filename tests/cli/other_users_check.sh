#!/usr/bin/env bash
# Event files among other users, as root creates them: links that another user planted
# in a shared sticky folder (with the kernel's fs.protected_symlinks on), a family's
# file that a second member rewrites, a file with two hard links, and another user's
# files at the names a shared folder offers. Nothing may be written through a refused
# link, the family's file keeps its owner, group, mode, access list and attributes,
# the links stay one file, and another user's files block or redirect nothing.
# Usage: other_users_check.sh memro-cli data_tests memro work-directory
# Exits 77 when not root or without the tools.
set -u
cli=$1 data_tests=$2 memro=$3 root=$4
[[ $(id -u) -eq 0 ]] || { echo "skipped: needs root"; exit 77; }
for tool in useradd setfacl getfacl runuser python3 timeout; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
links=$(cat /proc/sys/fs/protected_symlinks)
rm -rf "$root" && mkdir -p "$root" && chmod 755 "$root"
made=()
cleanup() {
  echo "$links" >/proc/sys/fs/protected_symlinks 2>/dev/null
  pkill -u memro-eve 2>/dev/null
  for user in "${made[@]}"; do userdel "$user" 2>/dev/null; done
  groupdel memro-kin 2>/dev/null
  rm -rf "$root"
}
trap cleanup EXIT
failed=0
fail() { echo "FAIL: $*" >&2; failed=1; }
getent group memro-kin >/dev/null || groupadd memro-kin
for user in memro-alice memro-bob memro-eve; do
  if ! getent passwd "$user" >/dev/null; then
    useradd -M -N -g memro-kin -s /usr/sbin/nologin "$user" && made+=("$user")
  fi
done
usermod -g users memro-eve
export HOME=$root MEMRO_HOME=$root/home TEMP=$root/temp XDG_RUNTIME_DIR=$root/run
mkdir -p "$MEMRO_HOME" "$TEMP" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR" && chmod 1777 "$TEMP"
add() { "$@" "$cli" add "$file" --date 2026-12-09 --message "$message" 2>"$root/err"; }
events() { "$cli" dump "$file" | grep -c '"record"'; }

# Links another user made in a shared sticky folder.
if echo 1 >/proc/sys/fs/protected_symlinks 2>/dev/null; then
  shared=$root/shared victim=$root/victim
  mkdir -p "$shared" "$victim" && chmod 1777 "$shared"
  echo precious >"$victim/precious.txt"
  "$cli" add "$root/own.mmo" --date 2026-12-09 --message mine
  for name in calendar.ics ev.mmo; do
    runuser -u memro-eve -- ln -s "$victim/precious.txt" "$shared/$name"
  done
  runuser -u memro-eve -- ln -s "$victim/chosen.mmo" "$shared/dangling.mmo"
  "$cli" export "$root/own.mmo" "$shared/calendar.ics" 2>"$root/err" &&
    fail "export wrote through another user's link"
  grep -q "symbolic link" "$root/err" || fail "export's refusal does not say why: $(cat "$root/err")"
  file=$shared/ev.mmo message=x
  add && fail "add wrote through another user's link"
  file=$shared/dangling.mmo
  add && fail "add followed another user's dangling link"
  [[ -e $victim/chosen.mmo ]] && fail "a file was made where the other user's link pointed"
  [[ $(cat "$victim/precious.txt") == precious ]] || fail "the victim's file changed"
  MEMRO_SHARED_LINK="$shared/ev.mmo" "$data_tests" --gtest_filter='*SharedLink*' >"$root/gtest" 2>&1 ||
    fail "the editor's save went through the link: $(cat "$root/gtest")"
  echo "$links" >/proc/sys/fs/protected_symlinks
else
  echo "fs.protected_symlinks cannot be set here: the planted links are not tried"
fi

# A family's file that another member writes, and root writes.
family=$root/family && mkdir -p "$family" && chown memro-alice:memro-kin "$family" &&
  chmod 2770 "$family"
file=$family/ev.mmo message=alice
runuser -u memro-alice -- env -u XDG_RUNTIME_DIR "$cli" add "$file" --date 2026-12-09 --message alice
chmod 660 "$file" && setfacl -m u:memro-eve:r "$file" &&
  python3 -c 'import os,sys; os.setxattr(sys.argv[1], "user.note", b"family")' "$file"
before=$(stat -c '%U:%G %a' "$file") acl=$(getfacl -cp "$file")
message=bob && add runuser -u memro-bob -- env -u XDG_RUNTIME_DIR || fail "bob could not add: $(cat "$root/err")"
message=root && add || fail "root could not add: $(cat "$root/err")"
[[ $(stat -c '%U:%G %a' "$file") == "$before" ]] ||
  fail "the family's file was $before and is $(stat -c '%U:%G %a' "$file")"
[[ $(getfacl -cp "$file") == "$acl" ]] || fail "the access list changed: $(getfacl -cp "$file")"
[[ $(python3 -c 'import os,sys; print(os.getxattr(sys.argv[1], "user.note").decode())' "$file" 2>&1) == family ]] ||
  fail "the extended attribute was lost"
[[ $(runuser -u memro-alice -- "$cli" dump "$file" | grep -c '"record"') == 3 ]] ||
  fail "alice does not see her three events"
# Another user's file in a folder the writer may write but may not give away: written
# in place, the owner kept, nothing left beside it.
chmod 2775 "$family" && chown memro-eve "$file" && chmod 666 "$file"
message=bob2 && add runuser -u memro-bob -- || fail "bob could not add to eve's file: $(cat "$root/err")"
[[ $(stat -c %U "$file") == memro-eve && $(events) == 4 ]] || fail "eve's file was not kept hers"
[[ $(ls -A "$family") == ev.mmo ]] || fail "left beside the family's file: $(ls -A "$family")"

# Two hard links stay one file.
file=$root/linked.mmo message=one && add
ln "$file" "$root/second.mmo"
message=two && add
[[ $(stat -c %h "$file") == 2 && $("$cli" dump "$root/second.mmo" | grep -c '"record"') == 2 ]] ||
  fail "the hard links were parted"

# Another user's files and held locks at every name a shared folder offers.
open=$root/open && mkdir -p "$open" && chmod 1777 "$open"
runuser -u memro-eve -- mkdir -m 777 "$open/memro"
for name in memro.lock memro-root.lock memro-user.lock memro-0.lock memro/memro.lock; do
  runuser -u memro-eve -- touch "$open/$name"
  (runuser -u memro-eve -- flock "$open/$name" sleep 60 2>/dev/null &)
done
sleep 0.3
file=$root/open.mmo message=free
SECONDS=0
add env -u USER XDG_RUNTIME_DIR="$open" TMPDIR="$open" || fail "add failed: $(cat "$root/err")"
((SECONDS < 5)) || fail "add waited for another user's lock"
mkdir -p "$root/gui"
timeout 20 env -u USER QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$open" TMPDIR="$open" \
  TEMP="$open" MEMRO_HOME="$root/gui" DBUS_SESSION_BUS_ADDRESS="unix:path=$root/no-bus" \
  "$memro" "$file" >"$root/gui.log" 2>&1 &
gui=$!
for _ in $(seq 100); do [[ -n $(find "$open" -maxdepth 1 -name '~mr*' -user root) ]] && break; sleep 0.1; done
kill -TERM "$gui" 2>/dev/null
wait "$gui"
status=$?
[[ $status == 0 && -f $root/gui/MEMRX.INI ]] ||
  fail "memro did not start beside another user's files (status $status): $(cat "$root/gui.log")"
pkill -u memro-eve flock 2>/dev/null

[[ $failed == 0 ]] && echo "other users: links refused, the family's file kept, links one, nothing taken over"
exit "$failed"
