#!/usr/bin/env bash
# Installs the built Debian package on this machine (as root), checks lintian, what the
# scripts set up, and the demo page in Chromium through a socket-activated installed
# trellan-host; then purges the package and checks that it left nothing behind.
# usage: check_package.sh PACKAGE.deb   (tests/browser's npm packages installed)
set -euo pipefail
deb=$(realpath "$1")
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
host_pid=
cleanup() {
	[ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null
	dpkg --purge trellan >/dev/null 2>&1 || true
	rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package check: $*" >&2; exit 1; }
snapshot() { find /etc /usr /opt -xdev 2>/dev/null | sort; }

lintian --fail-on error "$deb"

dpkg --purge trellan >/dev/null 2>&1 || true
snapshot >"$work/before"
dpkg -i "$deb"

# What postinst set up: the machine's registration and every user's socket.
grep -q /usr/lib/x86_64-linux-gnu/trellan/libTrellan64.so /etc/trellan/registry ||
	fail "the module is not registered in /etc/trellan/registry"
[ -L /etc/systemd/user/sockets.target.wants/trellan-host.socket ] || fail "the socket is not enabled for every user"
version=$(dpkg-query -W -f='${Version}' trellan)
for program in trellan-run trellan-host trellan-regsvr trellan-post trellan-picture \
	/usr/lib/x86_64-linux-gnu/trellan/trellan-session; do
	name=$(basename "$program")
	[ "$($program --version)" = "$name $version" ] || fail "$program --version does not say $version"
	man -w "$name" >/dev/null || fail "no manual page for $name"
done

# A user's host as the socket unit starts it, with the administrator's and the user's
# allowed origins, and the demo folder. Only the variables named here reach it.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
echo "https://photos.admin.example" >>/etc/trellan/allowed-origins
mkdir -p "$work/home/.config/trellan" "$work/demo/samples"
echo "https://photos.user.example" >"$work/home/.config/trellan/allowed-origins"
python3 "$source/tests/support/make_photos.py" "$work/demo/samples" 2 --size 1600x1200 --grain --prefix sample
HOME=$work/home systemd-socket-activate -l "127.0.0.1:$port" -l "[::1]:$port" -E HOME \
	/usr/bin/trellan-host --demo "$work/demo" --idle-exit 60 >"$work/host.log" 2>&1 &
host_pid=$!
for _ in $(seq 50); do
	grep -q "Listening on \[::1\]" "$work/host.log" && break
	sleep 0.1
done
(cd "$source/tests/browser" && TRELLAN_PORT=$port TRELLAN_DEMO=$work/demo \
	TRELLAN_ORIGINS="https://photos.admin.example https://photos.user.example" node --test package-demo.mjs) ||
	{ cat "$work/host.log"; fail "the demo page failed through the installed host"; }
kill "$host_pid"
wait "$host_pid" 2>/dev/null || true
host_pid=

# An upgrade keeps what the administrator wrote and the registration.
dpkg -i "$deb" >/dev/null
grep -q photos.admin.example /etc/trellan/allowed-origins || fail "reinstalling lost the administrator's origin"
grep -q libTrellan64.so /etc/trellan/registry || fail "reinstalling lost the module's registration"
# Removal takes the registration and the users' socket, and keeps the configuration.
dpkg -r trellan >/dev/null
! grep -q libTrellan64.so /etc/trellan/registry || fail "the module is still registered after removal"
[ ! -e /etc/systemd/user/sockets.target.wants/trellan-host.socket ] || fail "the socket is still enabled after removal"
[ -f /etc/trellan/allowed-origins ] || fail "removal took the configuration files"
dpkg --purge trellan
snapshot >"$work/after"
diff "$work/before" "$work/after" || fail "the purged package left the files above"
echo "package check: passed"
