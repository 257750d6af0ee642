#!/usr/bin/env bash
# End to end: the Debian package as a user gets it. Builds it with cpack,
# checks its declared dependencies are met here, unpacks it into a scratch
# root, validates its desktop entry, metainfo and man pages, and starts the
# installed program the way the desktop menu does, as an ordinary user
# (nobody) with a home of its own: it must open the example course, keep its
# settings in that home and find them again at the next start.
# Usage: package.sh BUILD_DIR SHOTS_DIR
set -euo pipefail

build=$1
shots=${2:-}
course=
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"
command -v runuser >/dev/null || fail "runuser is missing"
for tool in cpack dpkg-deb desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
done
chmod 755 "$work"

# The package, and every dependency it declares met on this machine.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/package/lirena_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
[ -n "$depends" ] || fail "the package declares no dependencies"
echo "$depends" | grep -q 'libqt6widgets6' || fail "Qt is not among the dependencies: $depends"
IFS=',' read -ra clauses <<<"$depends"
for clause in "${clauses[@]}"; do
    met=
    IFS='|' read -ra choices <<<"$clause"
    for choice in "${choices[@]}"; do
        read -r name op version <<<"$(echo "$choice" | tr -d '()')"
        installed=$(dpkg-query -W -f='${Status} ${Version}' "$name" 2>/dev/null | awk '/install ok installed/ {print $4}')
        [ -n "$installed" ] || continue
        if [ -z "${op:-}" ] || dpkg --compare-versions "$installed" "$op" "$version"; then met=1; fi
    done
    [ -n "$met" ] || fail "dependency not met on this machine: $clause"
done

root=$work/root
dpkg -x "$deb" "$root"
chmod 755 "$root"
for f in usr/bin/lirena usr/bin/lirena-check usr/lib/lirena/libxaudio.so usr/lib/lirena/liblirena-words.so \
    usr/share/lirena/example-course/sayfa01.ini usr/share/applications/org.lirena.Lirena.desktop \
    usr/share/icons/hicolor/scalable/apps/org.lirena.Lirena.svg usr/share/metainfo/org.lirena.Lirena.metainfo.xml \
    usr/share/man/man1/lirena.1 usr/share/man/man1/lirena-check.1; do
    [ -e "$root/$f" ] || fail "$f is not in the package"
done
desktop-file-validate "$root/usr/share/applications/org.lirena.Lirena.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.lirena.Lirena.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "metainfo"; }
for page in lirena lirena-check; do
    warnings=$(man --warnings -l "$root/usr/share/man/man1/$page.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $page: $warnings"
done

# The checker finds the decoder library where it was installed.
"$root/usr/bin/lirena-check" decode "$root/usr/share/lirena/example-course/sayfa01.mp3" "$work/x.raw" ||
    fail "the installed lirena-check cannot decode"
# And the word finder module: the example's word page drafted gives its words.
"$root/usr/bin/lirena-check" draft "$root/usr/share/lirena/example-course/sayfa04.ini" >"$work/draft.json" \
    2>"$work/draft.log" || { cat "$work/draft.log"; fail "the installed lirena-check cannot draft"; }
grep -q '"name": "elma"' "$work/draft.json" || fail "the installed word finder found no words"

# The desktop menu's command, run as a user who may write only in their home.
home=$work/home
mkdir -p "$home" "$home/runtime"
chown -R nobody "$home"
chmod 700 "$home/runtime"
command_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/org.lirena.Lirena.desktop")
as_user() {
    # No session bus: one started for the user on demand would outlive the test.
    runuser -u nobody -- env -i HOME="$home" DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb \
        XDG_RUNTIME_DIR="$home/runtime" DBUS_SESSION_BUS_ADDRESS="unix:path=$home/runtime/no-bus" \
        PATH="$root/usr/bin:/usr/bin:/bin" "$@"
}
settings=$home/.config/lirena/Vedra.ini

start_installed() {
    as_user sh -c "exec $command_line" &
    user=$!
    timeout 15 xdotool search --sync --onlyvisible --name '^Vedra$' >/dev/null ||
        fail "no window (a missing-data message instead of the example course?)"
    # The program itself, runuser's child: it is the one the system asks to end.
    pid=$(pgrep -P "$user")
    sleep 1
}

stop_installed() {
    kill -TERM "$pid"
    wait_closed
    wait "$user" || true
}

start_installed
read -r width height < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
shot package-installed
# The example course's first page stands in the middle of the screen on its
# light paper (the background around it is dark).
read -r r g b <<<"$(pixel package-installed $((width / 2)) 300)"
[ $((r + g + b)) -gt 600 ] || fail "no page in the middle of the screen ($r $g $b)"
stop_installed

[ -f "$settings" ] || fail "no settings in the user's configuration folder"
grep -q "^DataFolder=$root/usr/share/lirena/example-course" "$settings" || fail "DataFolder: $(cat "$settings")"
grep -q '^01=Harfler' "$settings" || fail "the lesson groups were not written: $(cat "$settings")"
grep -q '^MarkColor=' "$settings" || fail "the options were not written at close: $(cat "$settings")"
[ -z "$(ls "$root/usr/bin" | grep -v '^lirena')" ] || fail "something was written beside the program"

# The next start reads them: the place is kept.
sed -i 's/^LastChapter=.*/LastChapter=sayfa02.ini/; s/^MediaPosition=.*/MediaPosition=1500/' "$settings"
start_installed
stop_installed
grep -q '^LastChapter=sayfa02.ini' "$settings" || fail "LastChapter not kept: $(cat "$settings")"
grep -q '^MediaPosition=1500' "$settings" || fail "MediaPosition not kept"
echo "1 passed, 0 failed"
