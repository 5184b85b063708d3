#!/usr/bin/env bash
# The real binary on a throw-away store: it shows its window on the stored category, and a close request
# through its "X" writes the current category to Cat.ini and ends the process.
source "$(dirname "$0")/common.bash"

home="$E2E_TMP/home"
mkdir -p "$home/Db/Alpha" "$home/Db/Work"
printf 'Best regards,\r\nJo\r\n' >"$home/Db/Work/sig"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'clipboard before start' | xclip -selection clipboard

start_wordwisp "$home"
win=$(find_window '^Wordwisp$') || fail "the main window did not appear"
sleep 0.5
screenshot startup.png

# Start-up empties the clipboard, so nothing copied earlier is taken for a keyword.
[ -z "$(xclip -selection clipboard -o 2>/dev/null || true)" ] || fail "the clipboard was not cleared at start"

rm "$home/Db/Cat.ini"
xdotool mousemove --window "$win" 10 10 click 1
wait_for 10 bash -c "! kill -0 $WORDWISP_PID" || fail "the program did not end after X"
[ "$(od -An -c "$home/Db/Cat.ini" | tr -s ' ')" = " W o r k \r \n" ] || fail "Cat.ini is not 'Work' CR LF: $(od -c "$home/Db/Cat.ini")"
echo "PASS: window shown, clipboard cleared, Cat.ini written at exit"
