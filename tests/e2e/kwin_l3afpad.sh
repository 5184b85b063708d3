#!/usr/bin/env bash
# Wordwisp under a headless KWin (Plasma 5.27), natively: the clipboard through data-control, the paste
# keystroke through KWin's fake input, the focus through Plasma's window list. KWin offers the last two
# only to a program whose installed desktop file names its path, so:
#  - a build's Wordwisp without one asks at start-up whether to write it; answered No it pastes nothing
#    into a native editor, and the answer is kept;
#  - answered Yes it writes the entry and expands in the native l3afpad without a restart;
#  - twenty expansions follow (multi-line with a comment, [date], blanks and case, non-ASCII), the saved
#    file compared byte for byte after each; KWin's layout is Dvorak, where the paste key V sits elsewhere
#    than in xkbcommon's default keymap, and switches to German half-way, so the keys must come from the
#    keymap KWin sends, kept up to date;
#  - a Ctrl still held from the copy (on another device) stays held, and the paste still lands;
#  - the default start (no QT_QPA_PLATFORM) expands natively too.
# Prints the Ctrl+C-to-expansion time of every copy and their median.
#   kwin_l3afpad.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/kwin.bash"
# The tray host of the tray menu's part.
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || { echo "SKIP: python3-dbus and python3-gi are not installed"; exit 77; }

DOC="$WL_TMP/doc/doc.txt"
report() {
    echo "--- windows"; windows 2>/dev/null
    echo "--- desktop files"; ls -l "$KWIN_APPS" 2>/dev/null
    echo "--- the editor's file, last saved"; tail -c 160 "$DOC" | od -c | tail -8
    echo "--- tray host"; cat "$WL_TMP/tray.log" 2>/dev/null
    echo "--- wordwisp log"; cat "$WL_TMP/wordwisp.log"
    echo "--- kwin log"; tail -15 "$WL_TMP/kwin.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; wl_cleanup; exit $status' EXIT

home="$WL_TMP/home/wordwisp"
write_store "$home"
mkdir -p "$WL_TMP/doc" "$WL_TMP/home/.config"
: >"$DOC"
# Dvorak puts V on the key that US calls ".": a keymap of our own instead of KWin's would send Ctrl+E.
kxkbrc="$WL_TMP/home/.config/kxkbrc"
printf '[Layout]\nLayoutList=us\nVariantList=dvorak\nUse=true\n' >"$kxkbrc"
chown -R "$WL_OWNER" "$home" "$WL_TMP/doc" "$WL_TMP/home/.config"

start_kwin
declined="$WL_TMP/home/.config/wordwisp/kwin-declined"
wordwisp_gone() { ! kill -0 "$WORDWISP_PID" 2>/dev/null; }
stop_wordwisp() {
    kill "$WORDWISP_PID"
    wait_for 5 wordwisp_gone || fail "Wordwisp did not stop"
}
# The entry Wordwisp wrote for itself, if any.
own_entry() { grep -lx "Exec=$WORDWISP_BIN" "$KWIN_APPS"/wordwisp-*.desktop 2>/dev/null; }

# --- Without a desktop file: the box, answered No from the keyboard.
start_wordwisp "$home" QT_QPA_PLATFORM=wayland
activate "$WORDWISP_PID"
sleep 0.3
keys Escape
wait_for 5 test -s "$declined" || fail "no question was answered No: $declined is not there"
[ "$(tr -d '\r' <"$declined")" = "$WORDWISP_BIN" ] || fail "the refusal names $(od -c "$declined" | head -3)"
[ -z "$(own_entry)" ] || fail "a desktop file was written on No"
start_editor "$DOC"
type_text sig
keys shift+Home ctrl+c
sleep 1.5
saved_as "sig" || fail "without its desktop file Wordwisp still changed the native editor's text"
echo "no desktop file: the question came, No was kept in $(basename "$declined"), nothing pasted natively"
stop_wordwisp

# --- Asked again (the refusal forgotten): Yes writes the entry, and the same run expands natively.
rm -f "$declined"
start_wordwisp "$home" QT_QPA_PLATFORM=wayland
activate "$WORDWISP_PID"
sleep 0.3
answered=$(now_ms)
keys alt+y
wait_for 5 own_entry >/dev/null || fail "Yes wrote no desktop file naming $WORDWISP_BIN: $(ls "$KWIN_APPS")"
entry=$(own_entry)
grep -qx 'NoDisplay=true' "$entry" &&
    grep -qx "X-KDE-Wayland-Interfaces=$KWIN_INTERFACES" "$entry" || fail "the entry lacks a line: $(cat "$entry")"
[ ! -e "$declined" ] || fail "Yes was taken for No"
echo "Yes: $(basename "$entry") written for $WORDWISP_BIN"
# The window comes once KWin has taken the entry (or Wordwisp gave up waiting), with the focus.
sleep 0.5
wait_for 10 has_focus "$WORDWISP_PID" || fail "the window did not come after Yes: $(windows)"

activate "$EDITOR_PID"
expected="sig"
keys End Return
type_text sig
keys shift+Home
copy_expands_to "Best regards" "Best regards" || fail "no expansion after Yes: clipboard holds $(clipboard | head -c 80)"
expected+=$'\nBest regards'
saved_as "$expected" || fail "after Yes the expansion did not land in the native editor"
echo "after Yes: expanded natively without a restart, $(($(now_ms) - answered)) ms after the answer"

# --- Twenty expansions.
run_rounds() { # first, count
    local round c today want_clip want_shown
    for round in $(seq "$1" $(($1 + $2 - 1))); do
        c=$((round % ${#typed[@]}))
        today=$(date +%m-%d-%Y)
        want_clip=${clip[$c]//@DATE@/$today}
        want_shown=${shown[$c]//@DATE@/$today}
        keys Return
        expected+=$'\n'
        type_text "${typed[$c]}"
        keys shift+Home
        copy_expands_to "$want_clip" "$want_shown" ||
            fail "round $((round + 1)) (${typed[$c]}): clipboard holds $(clipboard | head -c 200 | od -c | head -3)"
        expected+=$want_shown
        saved_as "$expected" || fail "round $((round + 1)) (${typed[$c]}): the saved file differs"
        echo "round $((round + 1)): ${typed[$c]} -> ok, expanded in $COPY_MS ms"
    done
}
run_rounds 0 10
# The user switches to German: KWin sends its clients the new keymap, and V is back where US has it.
printf '[Layout]\nLayoutList=de\nUse=true\n' >"$kxkbrc"
as_client dbus-send --session --type=signal /Layouts org.kde.keyboard.reloadConfig ||
    fail "could not ask KWin to reload the keyboard layout"
sleep 1
echo "layout: German from round 11 on"
run_rounds 10 10

# --- A Ctrl still held from the copy (a second device): the paste lands and the Ctrl stays held, so that
# an "a" typed before letting go is Ctrl+A, select all, and Right then only ends the selection.
keys Return
expected+=$'\n'
type_text sig
keys shift+Home
key_down Control_L
keys c
sleep 1
keys a
key_up Control_L
keys Right
expected+="Best regards"
saved_as "$expected" || fail "with Ctrl held from the copy: no paste, or the Ctrl was let go (an a was typed)"
echo "Ctrl held from the copy: pasted, and still held after the paste"

# --- The default start, as from a menu: native too, and not asked again. A bare tray host is there
# (KWin alone has none), for the tray menu below.
stop_wordwisp
start_client "$WL_TMP/tray.log" /usr/bin/python3 "$(dirname "$0")/tools/sni_host.py"
wait_for 5 grep -q ready "$WL_TMP/tray.log" || fail "the tray host did not start: $(cat "$WL_TMP/tray.log")"
start_wordwisp "$home"
wait_for 10 has_focus "$WORDWISP_PID" || fail "the window did not take the focus: $(windows)"
sleep 0.5
activate "$EDITOR_PID"
run_rounds 20 3

# --- The tray menu. KWin has no pointer for the tests to click "*" with, so the window goes to XWayland
# (QT_QPA_PLATFORM=xcb; the keys still go through fake input) where XTest clicks it and drives the menu;
# the key chosen is pasted a second later into the native editor, and "Date and Time" gives the focus back
# to it through the window list before its paste.
stop_wordwisp
start_wordwisp "$home" QT_QPA_PLATFORM=xcb
wait_for 10 has_focus "$WORDWISP_PID" || fail "the window did not take the focus: $(windows)"
x_window=$(as_client xdotool search --pid "$WORDWISP_PID" --onlyvisible --name Wordwisp | head -1)
[ -n "$x_window" ] || fail "no X11 window of Wordwisp on $X_DISPLAY"
as_client xdotool mousemove --window "$x_window" 84 12 click 1
wait_for 5 grep -q '^item' "$WL_TMP/tray.log" || fail "\"*\" put no icon in the tray"
item=$(awk '/^item/ { print $2; exit }' "$WL_TMP/tray.log")
# The menu is the one X11 window of ours on screen while the window is in the tray.
menu_shown() { as_client xdotool search --onlyvisible --class wordwisp >/dev/null; }
tray_click() {
    as_client dbus-send --session --print-reply --dest="$item" /StatusNotifierItem \
        org.kde.StatusNotifierItem.Activate int32:1200 int32:10 >/dev/null || fail "the tray icon took no click"
    wait_for 3 menu_shown || fail "a click on the tray icon opened no menu"
    sleep 0.2
}
activate "$EDITOR_PID"
keys Return
expected+=$'\n'
tray_click
as_client xdotool key Down Right Return
sleep 1.6
expected+=$'Yours\nJo'
saved_as "$expected" || fail "the key chosen in the tray menu was not pasted once into l3afpad"
echo "tray menu: the key chosen was pasted into the native editor"
# While the menu is open the focus goes to another native window, as some desktops give it to the tray:
# "Date and Time" must give it back to the editor the menu was opened from before it pastes.
keys Return
expected+=$'\n'
start_l3afpad wayland "$WL_TMP/doc/other.txt"
other_pid=$WL_PID
activate "$EDITOR_PID"
tray_click
activate "$other_pid"
as_client xdotool key Down Down Down Down Down Down Return
dated() { keys ctrl+s; sleep 0.1; tail -n 1 "$DOC" | grep -Eqx "$(date +%m-%d-%Y) - [0-9]{2}:[0-9]{2}:[0-9]{2}"; }
wait_for 3 dated || fail "Date and Time from the tray menu did not land in the editor: $(tail -n 2 "$DOC")"
has_focus "$EDITOR_PID" || fail "the editor did not have the focus after Date and Time: $(windows)"
echo "tray menu: Date and Time gave the focus back to the editor (from another window) and landed there"

kill -0 "$WORDWISP_PID" 2>/dev/null || fail "wordwisp is no longer running"
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "copy to expansion: median ${sorted[${#sorted[@]} / 2]} ms, min ${sorted[0]} ms, max ${sorted[-1]} ms over ${#times[@]} copies"
echo "all rounds passed"
