#!/bin/sh
# Under umask 000, for a home and a shared prefix: autostart entry and user unit, linked
# where systemctl enables it, for the first only, the advice to install per user for the
# second, nothing writable by group or others.
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
umask 000
mkdir "$tmp/home"
for prefix in "$tmp/home/.local" /usr/local; do
    dest=$tmp/dest${prefix##*/}
    HOME=$tmp/home DESTDIR=$dest env -u XDG_CONFIG_HOME -u XDG_DATA_HOME cmake --install "$1" --prefix "$prefix" \
        >"$tmp/out" 2>&1 || { cat "$tmp/out"; exit 1; }
    test -x "$dest$prefix/lib/deskalarm/deskalarm"
    if find "$dest" ! -type l -perm /022 | grep .; then echo "writable by others"; exit 1; fi
    autostart=$(echo $(find "$dest" -path '*/autostart/*' -print -o -name '*.service' \( -type l -printf '%l\n' -o -print \) | sort))
    advice=$(grep -c 'each user should install a copy of their own' "$tmp/out" || true)
    unit=.local/share/systemd/user/deskalarm.service
    want="$dest$tmp/home/.config/autostart/deskalarm.desktop $dest$tmp/home/$unit $tmp/home/$unit 0"
    [ "$prefix" = /usr/local ] && want=" 1"
    [ "$autostart $advice" = "$want" ] || { echo "$prefix: got '$autostart $advice'"; exit 1; }
done
