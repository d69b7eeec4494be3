#!/bin/sh
# The Debian package built and passed by lintian (tools/build-package), installed, its
# clock started by two fresh users at once, each with their own data file; its user unit
# under a real systemd user manager (back after a crash, never after a clean end, off by
# a Hidden entry, what it opens left running); purged, which leaves the data files. The
# package, the users, the manager, its cgroup and the marker of a systemd boot go
# whatever happens. Exits 77 after the rest where no user manager can be had.
set -eu
[ "$(id -u)" = 0 ] || { echo "SKIP: installs a package and adds users: root only"; exit 77; }
case $(dpkg-query -W -f='${db:Status-Abbrev}' deskalarm 2>/dev/null) in
?[!n]*) echo "SKIP: deskalarm is installed on this machine already"; exit 77 ;;
esac
src=$(cd "$(dirname "$0")/../.." && pwd) tmp=$(mktemp -d) users="" groups="" xvfb="" manager="" cg="" marker=""
stop() { for g; do ! kill -- "-$g" 2>/dev/null || while kill -0 -- "-$g"; do sleep 0.1; done 2>/dev/null; done; }
# What is left in the manager's cgroup (its services, their scopes) is killed by process id.
procs() { find "$cg" -name cgroup.procs -exec cat {} +; }
ungroup() { kill -9 $(procs) 2>/dev/null; n=0 && while [ -n "$(procs)" ] && [ $((n += 1)) -lt 50 ]; do sleep 0.1; done
    find "$cg" -depth -type d -exec rmdir {} +; }
unmark() { [ -z "$marker" ] || rmdir "$marker"; marker=""; }; trap 'exit 1' HUP INT TERM
trap 'set +e; unmark; stop $groups $manager $xvfb; [ -z "$cg" ] || ungroup
    dpkg --purge deskalarm >/dev/null 2>&1; for u in $users; do userdel -r "$u" 2>/dev/null; done; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; tail -n 30 "$tmp"/*.log; exit 1; }
home() { getent passwd "$1" | cut -d: -f6; }
# A user's own session: home, runtime folder, the display; no path to any data file.
envof() { echo "HOME=$(home "$1") PATH=/usr/bin:/bin XDG_RUNTIME_DIR=$(home "$1")/.run DISPLAY=:$(cat "$tmp/display")"; }
as() { u=$1 && shift && runuser -u "$u" -- env -i $(envof "$u") "$@"; }
x() { DISPLAY=:$(cat "$tmp/display") xdotool "$@"; }
panel='^[0-9][0-9]:[0-9][0-9]:[0-9][0-9][(]'
clocks() { x search --onlyvisible --name "$panel" | wc -l; }
within() { t=$1 n=0 && shift && until "$@"; do [ $((n += 1)) -lt "$t" ] || return 1; sleep 0.1; done; }

"$src/tools/build-package" >"$tmp/build.log" 2>&1 || fail "tools/build-package"
deb=$(ls "$src"/build/package/deskalarm_*.deb)
apt-get install -y -qq "$deb" >"$tmp/apt.log" 2>&1 || fail "apt-get install $deb"
! dpkg-deb -c "$deb" | awk '$1 ~ /^[^l](....w|.......w)/ || $2 != "root/root"' | grep . || fail "writable"
setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null & xvfb=$!
while [ ! -s "$tmp/display" ]; do sleep 0.1; done
for n in 1 2; do
    u=dkpkg$$u$n && useradd -m "$u" && users="$users $u" && as "$u" mkdir -m 700 "$(home "$u")/.run"
    setsid runuser -u "$u" -- env -i $(envof "$u") dbus-run-session -- deskalarm >"$tmp/$u.log" 2>&1 & groups="$groups $!"
done
n=0 && until [ "$(clocks)" = 2 ]; do [ $((n += 1)) -lt 300 ] || fail "two clock panels"; sleep 0.1; done
stop $groups
set -- $users && first=$(home "$1")/.local/share/deskalarm && second=$(home "$2")/.local/share/deskalarm
[ -f "$first/MSGINI.DDT" ] && [ -f "$second/MSGINI.DDT" ] || fail "no data file in ~/.local/share/deskalarm"
[ "$(stat -c %a "$first")" = 700 ] && [ -z "$(find /usr -name 'MSGINI.DDT*')" ] || fail "data folder"
# One 437-byte record: title, date (a double), time, repeat, message, enabled, action, path.
printf '%-40s\0\0\0\0\0\0\0\0%s\1\0%-120s\377\377\0\0%-255s' pkgtest 07:30:00 '' '' >"$first/MSGINI.DDT"
as "$1" deskalarm-items list | grep -q 'title="pkgtest"' || fail "deskalarm-items list without FILE"
[ -z "$(as "$2" deskalarm-items list)" ] || fail "the second user sees the first one's items"

XDG_RUNTIME_DIR=$tmp systemd-analyze verify --user --man=no /usr/lib/systemd/user/deskalarm.service \
    >"$tmp/verify.log" 2>&1 && [ ! -s "$tmp/verify.log" ] || fail "systemd-analyze verify"
# systemd's autostart generator makes a unit of the entry without X-systemd-skip only.
u1=$1 h1=$(home "$1") && as "$1" mkdir -p "$h1/gen" "$h1/.config/autostart"
sed /^X-systemd-skip/d /etc/xdg/autostart/deskalarm.desktop >"$h1/.config/autostart/unskipped.desktop"
as "$1" /usr/lib/systemd/user-generators/systemd-xdg-autostart-generator "$h1/gen" "$h1/gen" "$h1/gen"
[ -f "$h1/gen/app-unskipped@autostart.service" ] && ! ls -R "$h1/gen" | grep deskalarm || fail "generator"
# The user manager in a cgroup handed to the user (the shell that starts it moved there
# first), beside the marker of a systemd boot; its bus comes from its dbus.socket.
cgroot=$(awk '$3 == "cgroup2" { print $2; exit }' /proc/mounts) skip="" r=0
if [ -z "$cgroot" ] || [ ! -x /lib/systemd/systemd ]; then skip="no cgroup2 mount or no systemd"; else
    cg=$cgroot/dkpkg$$ && mkdir "$cg" && chown -R "$1" "$cg"
    [ -d /run/systemd/system ] || { mkdir -p /run/systemd/system && marker=/run/systemd/system; }
    setsid sh -c 'echo $$ >"$0/cgroup.procs" && exec "$@"' "$cg" runuser -u "$1" -- env -i $(envof "$1") \
        /lib/systemd/systemd --user >"$tmp/manager.log" 2>&1 & manager=$!
    sc() { as "$u1" systemctl --user "$@"; }
    within 100 sc show-environment >/dev/null 2>&1 || skip="no user manager: $(tail -n 3 "$tmp/manager.log")"
fi
if [ -z "$skip" ]; then
    prop() { sc show -p "$1" --value deskalarm.service; }
    where() { x search --onlyvisible --name "$panel" getwindowgeometry | tail -n 2; }
    shown() { [ "$(clocks)" = 1 ] && pos=$(where); }
    # The clock again under another process id, its panel where the last one was.
    back() { p=$(prop MainPID) && [ "$p" != 0 ] && [ "$p" != "$1" ] && [ "$(where)" = "$pos" ]; }
    ended() { [ "$(prop ActiveState)" = inactive ] && [ "$(clocks)" = 0 ]; }
    # Ended with success, and still so well after RestartSec.
    gone() { within 50 ended && sleep 2 && ended && [ "$(prop Result)" = success ]; }
    # No start limit from the starts before (called where a failure stops nothing).
    begin() { sc reset-failed deskalarm.service 2>/dev/null; sc start deskalarm.service && within 100 shown; }
    # Started as the session starts what graphical-session.target wants, with the display.
    sc set-environment DISPLAY=":$(cat "$tmp/display")"
    sc start $(sc show -p Wants --value graphical-session.target | grep -ow deskalarm.service) &&
        within 100 shown || fail "the unit's clock, started as the graphical session wants it"
    for signal in SEGV ABRT; do
        p=$(prop MainPID) && kill -$signal "$p" && within 30 back "$p" && [ "$(prop NRestarts)" = $((r += 1)) ] ||
            fail "SIG$signal: no clock back within 3 s"
    done
    w=$(x search --onlyvisible --name "$panel") && x mousemove --window "$w" 104 8 click 1 # the exit button
    asked() { q=$(x search --onlyvisible --name . | grep -vx "$w"); }
    within 50 asked && x windowfocus --sync "$q" key Return && gone || fail "the exit question answered OK"
    begin && kill -TERM "$(prop MainPID)" && gone || fail "SIGTERM"
    as "$1" sh -c 'printf "[Desktop Entry]\nHidden=true\n" >"$HOME/.config/autostart/deskalarm.desktop"'
    sc start deskalarm.service && [ "$(prop ConditionResult)" = no ] && sleep 1 && ended || fail "Hidden=true"
    rm "$h1/.config/autostart/deskalarm.desktop"
    # An alarm due in 5 s opens a program that starts one of its own at once; both run on
    # in its scope when the clock crashes, comes back, and is switched off for good.
    printf '#!/bin/sh\nsleep 600 & echo $! >"$HOME/child"\necho $$ >"$HOME/program"\nexec sleep 601\n' >"$h1/run"
    chmod 755 "$h1/run" && printf '%-40s\0\0\0\0\0\0\0\0%s\1\0%-120s\377\377\2\0%-255s' run \
        "$(date -d '+5 sec' +%T)" '' "$h1/run" >"$first/MSGINI.DDT"
    begin && within 100 [ -s "$h1/program" ] || fail "no program started by the alarm"
    p=$(prop MainPID) && kill -SEGV "$p" && within 30 back "$p" || fail "SIGSEGV with a program running"
    sc mask --now deskalarm.service && gone && ! sc start deskalarm.service 2>/dev/null || fail "masked"
    for q in $(cat "$h1/program" "$h1/child"); do
        grep -q "/app-deskalarm-run-$(cat "$h1/program").scope$" "/proc/$q/cgroup" || fail "$q: gone or no scope"
    done
fi
stop $manager && { [ -z "$cg" ] || ungroup; } && cg="" && unmark
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }' >"$tmp/files"
dpkg --purge deskalarm >/dev/null
while read -r f; do [ ! -e "$f" ] && [ ! -L "$f" ] || fail "$f left after purge"; done <"$tmp/files"
[ -s "$first/MSGINI.DDT" ] && [ -f "$second/MSGINI.DDT" ] || fail "purge took a user's data file"
[ ! -e /etc/systemd/user/graphical-session.target.wants/deskalarm.service ] || fail "unit left enabled"
[ -z "$skip" ] || { echo "SKIP: the user unit's steps: $skip"; exit 77; }
echo "package installed, used by two users, its unit under a user manager, purged"
