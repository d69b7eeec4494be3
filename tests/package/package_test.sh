#!/bin/sh
# The Debian package built and passed by lintian (tools/build-package), installed,
# its clock started by two fresh users at once, each with their own data file, then
# purged, which leaves those. The package and the users go whatever happens.
set -eu
[ "$(id -u)" = 0 ] || { echo "SKIP: installs a package and adds users: root only"; exit 77; }
case $(dpkg-query -W -f='${db:Status-Abbrev}' deskalarm 2>/dev/null) in
?[!n]*) echo "SKIP: deskalarm is installed on this machine already"; exit 77 ;;
esac
src=$(cd "$(dirname "$0")/../.." && pwd) tmp=$(mktemp -d) users="" groups=""
stop() { for g in $groups; do kill -- "-$g" 2>/dev/null && while kill -0 -- "-$g"; do sleep 0.1; done 2>/dev/null; done; }
trap 'set +e; stop; dpkg --purge deskalarm >/dev/null 2>&1; for u in $users; do userdel -r "$u" 2>/dev/null; done; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; tail -n 30 "$tmp"/*.log; exit 1; }
home() { getent passwd "$1" | cut -d: -f6; }
# A user's own session: home, runtime folder, the display; no path to any data file.
envof() { echo "HOME=$(home "$1") PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$(home "$1")/.run DISPLAY=:$(cat "$tmp/display")"; }
as() { u=$1 && shift && runuser -u "$u" -- env -i $(envof "$u") "$@"; }
clocks() { DISPLAY=:$(cat "$tmp/display") xdotool search --onlyvisible --name '^[0-9][0-9]:[0-9][0-9]:[0-9][0-9][(]' | wc -l; }

"$src/tools/build-package" >"$tmp/build.log" 2>&1 || fail "tools/build-package"
deb=$(ls "$src"/build/package/deskalarm_*.deb)
apt-get install -y -qq "$deb" >"$tmp/apt.log" 2>&1 || fail "apt-get install $deb"
! dpkg-deb -c "$deb" | awk '$1 ~ /^[^l](....w|.......w)/ || $2 != "root/root"' | grep . || fail "writable"
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null & groups=$!
while [ ! -s "$tmp/display" ]; do sleep 0.1; done
for n in 1 2; do
    u=dkpkg$$u$n && useradd -m "$u" && users="$users $u" && as "$u" mkdir -m 700 "$(home "$u")/.run"
    setsid runuser -u "$u" -- env -i $(envof "$u") dbus-run-session -- deskalarm >"$tmp/$u.log" 2>&1 & groups="$groups $!"
done
n=0 && until [ "$(clocks)" = 2 ]; do [ $((n += 1)) -lt 300 ] || fail "two clock panels"; sleep 0.1; done
stop
set -- $users && first=$(home "$1")/.local/share/deskalarm && second=$(home "$2")/.local/share/deskalarm
[ -f "$first/MSGINI.DDT" ] && [ -f "$second/MSGINI.DDT" ] || fail "no data file in ~/.local/share/deskalarm"
[ "$(stat -c %a "$first")" = 700 ] && [ -z "$(find /usr -name 'MSGINI.DDT*')" ] || fail "data folder"
# One 437-byte record: title, date (a double), time, repeat, message, enabled, action, path.
printf '%-40s\0\0\0\0\0\0\0\0%s\1\0%-120s\377\377\0\0%-255s' pkgtest 07:30:00 '' '' >"$first/MSGINI.DDT"
as "$1" deskalarm-items list | grep -q 'title="pkgtest"' || fail "deskalarm-items list without FILE"
[ -z "$(as "$2" deskalarm-items list)" ] || fail "the second user sees the first one's items"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }' >"$tmp/files"
dpkg --purge deskalarm >/dev/null
while read -r f; do [ ! -e "$f" ] && [ ! -L "$f" ] || fail "$f left after purge"; done <"$tmp/files"
[ -s "$first/MSGINI.DDT" ] && [ -f "$second/MSGINI.DDT" ] || fail "purge took a user's data file"
echo "package installed, used by two users and purged"
