#!/usr/bin/env bash
# The Debian package as a user gets it: lintian finds no error, apt-get installs it, /usr/bin/wordwisp
# started by a new user (fresh HOME) seeds ~/.local/share/wordwisp with the example store, expands an
# example key in a real l3afpad, a second start leaves within 2 s while the first keeps running and
# expands once, and apt-get purge leaves nothing of the package behind.
#   deb_install.sh <wordwisp_*.deb> <artifacts dir>
# Needs root (or sudo) and an X display; skipped when the package is already installed here.
deb=$(readlink -f "$1")
set -- /usr/bin/wordwisp "$2"
source "$(dirname "$0")/../e2e/common.bash"

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
if dpkg-query -W -f='${Status}' wordwisp 2>/dev/null | grep -q 'install ok installed'; then
    echo "SKIP: wordwisp is installed on this machine; this test installs and removes it itself"
    exit 77
fi
[ -f "$deb" ] || fail "no package at $deb"

report() {
    screenshot package-failure.png 2>/dev/null || true
    echo "--- wordwisp log"
    cat "$E2E_TMP/wordwisp.log" 2>/dev/null
}
installed=no
finish() {
    status=$?
    [ $status -ne 0 ] && report
    e2e_cleanup
    [ $installed = yes ] && $sudo apt-get purge -y -qq wordwisp >/dev/null 2>&1
    exit $status
}
trap finish EXIT

# Everything named after the program outside the user's folders, to compare before and after.
ours() { find /usr /etc /var/lib/dpkg/info /opt -name '*wordwisp*' 2>/dev/null | sort; }
ours >"$E2E_TMP/before.txt"

echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
lint=0
lintian --fail-on error "$deb" >"$E2E_TMP/lintian.txt" 2>&1 || lint=$?
grep -v 'running with root privileges' "$E2E_TMP/lintian.txt" >"$ARTIFACTS/lintian.txt" || true
cat "$ARTIFACTS/lintian.txt"
[ $lint -eq 0 ] || fail "lintian reports errors"
echo "lintian: no errors, $(grep -c . "$ARTIFACTS/lintian.txt") other lines"

export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y -qq "$deb" >"$E2E_TMP/apt.log" 2>&1 || { cat "$E2E_TMP/apt.log"; fail "apt-get install failed"; }
installed=yes
[ -x /usr/bin/wordwisp ] || fail "/usr/bin/wordwisp is not there"
appstreamcli validate --no-net /usr/share/metainfo/org.wordwisp.Wordwisp.metainfo.xml >/dev/null ||
    fail "the installed metainfo does not validate"
desktop-file-validate /usr/share/applications/wordwisp.desktop || fail "the desktop entry does not validate"
# KWin offers its keystrokes only to a program whose entry names its absolute path and asks for them.
grep -qx 'Exec=/usr/bin/wordwisp' /usr/share/applications/wordwisp.desktop &&
    grep -q '^X-KDE-Wayland-Interfaces=.*org_kde_kwin_fake_input' /usr/share/applications/wordwisp.desktop ||
    fail "the desktop entry does not ask KWin for fake input for /usr/bin/wordwisp"
for size in 16 22 24 32 48 64 128 256; do
    file "/usr/share/icons/hicolor/${size}x${size}/apps/wordwisp.png" | grep -q "$size x $size" ||
        fail "no ${size}px icon"
done
echo "installed: binary, desktop entry, metainfo, icons"

# A new user: nothing set, nothing in the home folder.
user_home="$E2E_TMP/user"
mkdir -p "$user_home"
as_user=(env -u WORDWISP_HOME -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$user_home"
         XDG_RUNTIME_DIR="$E2E_TMP/runtime")
mkdir -p "$E2E_TMP/runtime" && chmod 700 "$E2E_TMP/runtime"
# A tray host, for the window to wait in while a second start is made.
trayer --edge top --align right --widthtype request --height 24 --SetDockType true >/dev/null 2>&1 &
E2E_PIDS+=($!)
wait_for 10 xdotool search --onlyvisible --class trayer || fail "trayer did not start"
(cd / && exec "${as_user[@]}" /usr/bin/wordwisp >"$E2E_TMP/wordwisp.log" 2>&1) &
WORDWISP_PID=$!
E2E_PIDS+=("$WORDWISP_PID")
main=$(find_window '^Wordwisp$') || fail "the installed program showed no window"
store="$user_home/.local/share/wordwisp/Db"
[ -f "$store/Cat.ini" ] || fail "the user's store was not seeded"
diff -r /usr/share/wordwisp/examples/Db "$store" || fail "the seeded store differs from the example"
# Only the main window: a first start has nothing to complain about.
[ "$(xdotool search --onlyvisible --pid "$WORDWISP_PID" | wc -l)" -eq 1 ] ||
    fail "the first start showed more than its window"
[ -z "$(ls -A /usr/bin | grep -ix db)" ] || fail "a store was made beside /usr/bin/wordwisp"
echo "first start: store seeded in ~/.local/share/wordwisp"
# After the clock's first tick, which also counts the keys.
sleep 1.2
import -window "$main" "$ARTIFACTS/main-window.png"

# An example key expands in a real editor.
start_editor 350 150
doc=$DOC
editor=$EDITOR
expand_in_editor() {
    xdotool type --delay 15 sig
    xdotool key shift+Home ctrl+c
    wait_for 5 clipboard_is $'Best regards,\r\nJo Example' ||
        fail "sig was not expanded: $(xclip -o -selection clipboard | od -c | head -3)"
}
expand_in_editor
saved_as $'Best regards,\nJo Example' || fail "the editor holds $(od -c "$doc" | head -3)"
echo "expansion of an example key in l3afpad: ok"

# A second start while the window is in the tray: it leaves within 2 s, the window comes back, the first
# one keeps running, and the next keyword is expanded once, not once per instance.
main_shown() { xdotool search --onlyvisible --name '^Wordwisp$' | grep -qx "$main"; }
main_hidden() { ! main_shown; }
xdotool mousemove --window "$main" 84 12 click 1
wait_for 5 main_hidden || fail "\"*\" did not put the window in the tray"
started=$(date +%s%N)
(cd / && exec "${as_user[@]}" timeout 2 /usr/bin/wordwisp >"$E2E_TMP/second.log" 2>&1) ||
    fail "the second start did not leave within 2 s: $(cat "$E2E_TMP/second.log")"
left=$((($(date +%s%N) - started) / 1000000))
wait_for 5 main_shown || fail "the second start did not bring the window back"
echo "second start: left after $left ms, window back after $((($(date +%s%N) - started) / 1000000)) ms"
kill -0 "$WORDWISP_PID" || fail "the first instance ended"
[ "$(pgrep -c -f '^/usr/bin/wordwisp')" -eq 1 ] || fail "more than one wordwisp is running"
xdotool windowfocus --sync "$editor"
xdotool mousemove --window "$editor" 100 100
sleep 0.3
xdotool key ctrl+End Return
expand_in_editor
saved_as $'Best regards,\nJo Example\nBest regards,\nJo Example' ||
    fail "after the second start the editor holds $(od -c "$doc" | head -5)"
echo "after the second start: one expansion"

# Exit through the window, then purge: nothing of the package is left outside the user's data folder.
kill "$WORDWISP_PID"
wait "$WORDWISP_PID" 2>/dev/null || true
$sudo apt-get purge -y -qq wordwisp >"$E2E_TMP/apt.log" 2>&1 || { cat "$E2E_TMP/apt.log"; fail "apt-get purge failed"; }
installed=no
ours >"$E2E_TMP/after.txt"
diff "$E2E_TMP/before.txt" "$E2E_TMP/after.txt" || fail "the purge left files behind"
[ -f "$store/Work/kr" ] || fail "the purge touched the user's store"
echo "purged: nothing left outside the user's data folder"
echo "all package checks passed"
