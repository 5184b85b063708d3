#!/usr/bin/env bash
# The tray with a real tray host (trayer) and a real editor (l3afpad): "*" docks the icon and hides the
# window, a click on the icon opens the tray menu, a key chosen there lands in the editor exactly once,
# "Date and Time" lands there too, a tray host that goes away gives the window back, "In Focus..." brings
# it back and takes the icon away, and "Exit the program" stores the category and ends the process.
# The menu is driven from the keyboard, as its grab lets a user do.
#   tray_l3afpad.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
for tool in xdotool xwininfo import trayer l3afpad xclip; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done

report() {
    screenshot tray-failure.png 2>/dev/null || true
    echo "--- wordwisp log"
    cat "$E2E_TMP/wordwisp.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; e2e_cleanup; exit $status' EXIT

home="$E2E_TMP/home"
mkdir -p "$home/Db/Work" "$home/Db/Other"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Yours\r\n*/ not pasted\r\nJo\r\n' >"$home/Db/Work/memo"
printf 'Best regards\r\n' >"$home/Db/Work/sig"
printf 'elsewhere\r\n' >"$home/Db/Other/x"

start_trayer() {
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
        >"$E2E_TMP/trayer.log" 2>&1 &
    TRAYER_PID=$!
    E2E_PIDS+=("$TRAYER_PID")
    wait_for 10 xdotool search --onlyvisible --class trayer || fail "trayer did not start"
}
start_trayer

start_wordwisp "$home"
main=$(find_window '^Wordwisp$') || fail "the Wordwisp window did not appear"
start_editor 300 250
doc=$DOC
editor=$EDITOR
# A second editor, for the focus to wander to while the tray menu is open.
: >"$E2E_TMP/other.txt"
l3afpad "$E2E_TMP/other.txt" >/dev/null 2>&1 &
E2E_PIDS+=($!)
second_editor() { [ "$(xdotool search --onlyvisible --class l3afpad | wc -l)" -ge 2 ]; }
wait_for 10 second_editor || fail "the second l3afpad did not appear"
other=$(xdotool search --onlyvisible --class l3afpad | grep -vx "$editor" | head -n 1)
xdotool windowmove "$other" 700 450
main_shown() { xdotool search --onlyvisible --name '^Wordwisp$' | grep -qx "$main"; }
main_hidden() { ! main_shown; }
# Every window of ours on screen other than the main window: the icon, and the menu while it is open.
others() { xdotool search --onlyvisible --pid "$WORDWISP_PID" 2>/dev/null | grep -vx "$main" || true; }
icon_shown() { [ -n "$(others)" ]; }
icon_gone() { [ -z "$(others)" ]; }
menu_open() { [ "$(others | wc -l)" -ge 2 ]; }
ended() { ! kill -0 "$WORDWISP_PID" 2>/dev/null; }
# Where to click the icon: the middle of the one window of ours that is docked.
find_icon() {
    wait_for 5 icon_shown || fail "no tray icon appeared"
    icon=$(others | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$icon")"
    icon_x=$((X + WIDTH / 2))
    icon_y=$((Y + HEIGHT / 2))
}

# The window goes to the tray: hidden, and one small window of ours is docked inside the tray host.
xdotool mousemove --window "$main" 84 12 click 1
wait_for 5 main_hidden || fail "\"*\" did not hide the window"
find_icon
root=$(xwininfo -root | awk '/Window id:/ {print $4}')
parent=$(xwininfo -children -id "$icon" | awk '/Parent window id:/ {print $4}')
[ "$parent" != "$root" ] || fail "the icon is a window of its own, not docked in the tray"
screenshot tray-docked.png
convert-im6.q16 "$ARTIFACTS/tray-docked.png" -crop "240x$((Y + HEIGHT + 8))+$((X + WIDTH - 232))+0" +repage -scale 300% \
    "$ARTIFACTS/tray-docked-zoom.png"

# Opens the tray menu from the icon and walks it with the keys given; the pointer moves off the menu
# first, so that no item is selected before the first key.
tray_menu() {
    xdotool mousemove "$icon_x" "$icon_y" click 1
    wait_for 5 menu_open || fail "a click on the icon opened no menu"
    xdotool mousemove 100 700
    sleep 0.2
    xdotool key "$@"
}

# The editor's saved file must come to hold exactly this.
saved_as() {
    printf '%s' "$1" >"$E2E_TMP/expected.txt"
    for _ in $(seq 20); do
        xdotool key ctrl+s
        sleep 0.15
        cmp -s "$doc" "$E2E_TMP/expected.txt" && return 0
    done
    echo "--- expected"; od -c "$E2E_TMP/expected.txt" | tail -4
    echo "--- saved"; od -c "$doc" | tail -4
    return 1
}

xdotool windowfocus --sync "$editor"
xdotool type --delay 15 "Dear team,"
xdotool key Return

# A key from the tray menu: pasted once, a second later, with the comment left out.
tray_menu Down Right
sleep 0.3
screenshot tray-menu.png
# The corner with the tray and the open menu, as the README shows it.
import -window root -crop 520x230+760+0 +repage "$ARTIFACTS/tray-menu-corner.png"
xdotool key Return
sleep 1.6
saved_as $'Dear team,\nYours\nJo' || fail "the chosen key was not pasted exactly once"
clip=$(xclip -o -selection clipboard)
[ "$clip" = $'Yours\r\nJo' ] || fail "the clipboard holds $(printf %q "$clip") after the key"
echo "key from the tray menu: pasted once"

# "Date and Time" lands in the editor the user was working in when the menu opened, also when the focus
# has moved to another window meanwhile, as some desktops move it to the tray.
xdotool key Return
before=$(date +%s)
tray_menu Down Down Down Down Down Down
xdotool windowfocus --sync "$other"
xdotool key Return
got=""
for _ in $(seq 20); do
    xdotool key ctrl+s
    sleep 0.15
    got=$(tail -n 1 "$doc")
    [[ $got =~ ^[0-9]{2}-[0-9]{2}-[0-9]{4}\ -\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] && break
done
[[ $got =~ ^[0-9]{2}-[0-9]{2}-[0-9]{4}\ -\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] ||
    fail "the date and time did not land in the editor: $(printf %q "$got")"
stamp=$(date -d "${got:6:4}-${got:0:2}-${got:3:2} ${got:13}" +%s)
[ $((stamp - before)) -ge -1 ] && [ $((stamp - before)) -le 5 ] || fail "pasted a date that is not now: $got"
[ "$(head -n 3 "$doc")" = $'Dear team,\nYours\nJo' ] || fail "the editor's earlier text changed"
[ "$(xdotool getwindowfocus)" = "$editor" ] || fail "the focus did not come back to the editor"
echo "date and time: $got"

# A tray host that goes away takes the icon with it; the window comes back rather than stay unreachable.
kill "$TRAYER_PID"
wait_for 6 main_shown || fail "the window stayed hidden after the tray host went away"
start_trayer
echo "tray host gone: window back"

# "In Focus..." brings the window back, on top, and no icon is left.
xdotool mousemove --window "$main" 84 12 click 1
find_icon
tray_menu Down Down Down Return
wait_for 5 main_shown || fail "\"In Focus...\" did not bring the window back"
wait_for 5 icon_gone || fail "the icon stayed after \"In Focus...\""
echo "in focus: window back, icon gone"

# A second start while the window is in the tray starts no second expander: it brings the window back
# and leaves within two seconds.
xdotool mousemove --window "$main" 84 12 click 1
wait_for 5 main_hidden || fail "\"*\" did not hide the window again"
started=$(date +%s%N)
timeout 2 env WORDWISP_HOME="$home" "$WORDWISP_BIN" >"$E2E_TMP/second.log" 2>&1 ||
    fail "the second start did not leave within 2 s: $(cat "$E2E_TMP/second.log")"
wait_for 5 main_shown || fail "the second start did not bring the window back"
echo "second start: left after $((($(date +%s%N) - started) / 1000000)) ms, window back"
wait_for 5 icon_gone || fail "the icon stayed after the second start brought the window back"
kill -0 "$WORDWISP_PID" || fail "the first instance ended"

# "Exit the program" from the tray stores the category and ends the process.
printf 'Other\r\n' >"$home/Db/Cat.ini"
xdotool mousemove --window "$main" 84 12 click 1
find_icon
tray_menu Up Return
wait_for 5 ended || fail "\"Exit the program\" did not end the process"
[ "$(cat -v "$home/Db/Cat.ini")" = "Work^M" ] || fail "Cat.ini holds $(cat -v "$home/Db/Cat.ini")"
echo "exit from the tray: Cat.ini written, process ended"
echo "all tray checks passed"
