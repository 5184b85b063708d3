#!/usr/bin/env bash
# The paste keystroke in real applications, whatever the user still holds: Ctrl kept down from the
# Ctrl+C stays down after the paste, a held Shift does not turn Ctrl+V into Ctrl+Shift+V (which l3afpad
# ignores) and is down again afterwards, and a terminal (lxterminal, VTE) gets Ctrl+Shift+V, which it
# pastes, where Ctrl+V would reach the shell as a literal ^V.
#   paste_keys.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
for tool in xdotool l3afpad lxterminal xclip; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done
report() {
    screenshot paste-keys-failure.png 2>/dev/null || true
    xdotool keyup ctrl shift 2>/dev/null || true
    echo "--- wordwisp log"
    cat "$E2E_TMP/wordwisp.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; xdotool keyup ctrl shift 2>/dev/null; e2e_cleanup; exit $status' EXIT

home="$E2E_TMP/home"
mkdir -p "$home/Db/Work"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"
start_wordwisp "$home"
find_window '^Wordwisp$' >/dev/null || fail "the Wordwisp window did not appear"
start_editor 550 100
doc=$DOC
editor=$EDITOR

# Ctrl held from the copy: the expansion lands, and Ctrl is still down afterwards: a and v pressed
# with it select everything and paste over it.
xdotool type --delay 10 "sig"
xdotool key shift+Home
xdotool keydown ctrl
xdotool key c
wait_for 3 clipboard_is "Best regards" || fail "with Ctrl held: sig was not expanded"
sleep 0.3
xdotool key a
xdotool key v
xdotool keyup ctrl
saved_as "Best regards" || fail "with Ctrl held: the paste or the Ctrl left down afterwards went wrong"
echo "Ctrl held: expanded, and Ctrl still down afterwards"

# Shift held while the expansion goes out (the copy comes from another program here): the paste is
# still Ctrl+V, and Shift is down again afterwards.
xdotool key ctrl+End Return
xdotool type --delay 10 "sig"
xdotool key shift+Home
xdotool keydown shift
printf 'sig' | xclip -selection clipboard
wait_for 3 clipboard_is "Best regards" || fail "with Shift held: sig was not expanded"
sleep 0.3
xdotool key x
xdotool keyup shift
saved_as $'Best regards\nBest regardsX' || fail "with Shift held: the paste went wrong"
echo "Shift held: pasted with Ctrl+V, Shift still down afterwards"

# A terminal: the keyword selected with the mouse and copied with Ctrl+Shift+C; the expansion arrives
# as pasted text after it.
out="$E2E_TMP/terminal.txt"
lxterminal --geometry=60x10 -e "bash -c 'cat > $out'" >"$E2E_TMP/lxterminal.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 xdotool search --onlyvisible --class lxterminal || fail "lxterminal did not appear"
terminal=$(xdotool search --onlyvisible --class lxterminal | head -n 1)
xdotool windowmove "$terminal" 0 400
sleep 0.5
xdotool mousemove --window "$terminal" 200 100
xdotool windowfocus --sync "$terminal"
sleep 0.3
xdotool type --delay 10 "sig"
sleep 0.3
# The first line of text, below lxterminal's menu bar.
xdotool mousemove --window "$terminal" 10 35 click --repeat 2 1
sleep 0.2
xdotool key ctrl+shift+c
wait_for 3 clipboard_is "Best regards" || fail "in the terminal: sig was not expanded"
sleep 0.5
xdotool key Return ctrl+d
wait_for 3 grep -q . "$out" || fail "the terminal wrote nothing"
[ "$(cat -v "$out")" = "sigBest regards" ] || fail "the terminal received $(cat -v "$out")"
echo "lxterminal: pasted with Ctrl+Shift+V"
echo "all paste key checks passed"
