#!/usr/bin/env bash
# Clipboard owners that misbehave, with the real program and a real editor: one that never answers a
# request, and one that offers 10 MB. Neither may freeze the window (it answers a _NET_WM_PING, the
# desktop's "is it still alive" question, within 100 ms), the 10 MB are never transferred, and the next
# ordinary copy in l3afpad is expanded at once. Then clipboards without text: a picture only (left there
# unchanged) and no owner at all; the program goes on and the next copy is expanded as usual.
#   clipboard_owners.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
owner_tool="$(dirname "$WORDWISP_BIN")/tests/test_owner"
[ -x "$owner_tool" ] || fail "missing $owner_tool (built with the tests)"

report() {
    screenshot owners-failure.png 2>/dev/null || true
    echo "--- wordwisp log"
    cat "$E2E_TMP/wordwisp.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; e2e_cleanup; exit $status' EXIT

home="$E2E_TMP/home"
mkdir -p "$home/Db/Work"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"
start_wordwisp "$home"
main=$(find_window '^Wordwisp$') || fail "the Wordwisp window did not appear"
start_editor 550 100
doc=$DOC
editor=$EDITOR

# Types sig on a new line in the editor, copies it, and waits for the expansion; COPY_MS is how long
# the expansion took.
copy_sig() {
    xdotool key Return
    xdotool type --delay 10 sig
    xdotool key shift+Home
    local started=$(date +%s%N)
    xdotool key ctrl+c
    wait_for 3 clipboard_is "Best regards" || fail "$1: sig was not expanded"
    COPY_MS=$((($(date +%s%N) - started) / 1000000))
}
# The main window answers the desktop's ping within 100 ms; PING_MS is how long it took.
answers() {
    PING_MS=$("$owner_tool" ping "$main") || fail "$1: the window did not answer a ping within 5 s"
    awk -v ms="$PING_MS" 'BEGIN { exit !(ms < 100) }' || fail "$1: the window took $PING_MS ms to answer a ping"
}
owner_pid=""
start_owner() { # mode, arguments
    "$owner_tool" "$@" >"$E2E_TMP/owner.log" 2>&1 &
    owner_pid=$!
    E2E_PIDS+=("$owner_pid")
    wait_for 5 grep -q owned "$E2E_TMP/owner.log" || fail "test_owner $1 did not take the clipboard"
}
requests() { grep -c '^request' "$E2E_TMP/owner.log" || true; }
# A function, so that wait_for counts the requests afresh on every try.
asked() { [ "$(requests)" -ge 1 ]; }

answers "at rest"
echo "ping at rest: $PING_MS ms"

# An owner that never answers: the program asks once, the window stays alive meanwhile, and a copy right
# after is expanded.
start_owner silent
wait_for 2 asked || fail "the silent owner was never asked"
answers "with a silent owner"
echo "silent owner: ping $PING_MS ms during the unanswered request"
copy_sig "right after the silent owner"
echo "silent owner: next copy expanded in $COPY_MS ms"
sleep 0.5
[ "$(requests)" -eq 1 ] || fail "the silent owner was asked $(requests) times"
kill "$owner_pid"

# An owner of 10 MB: asked once, answers INCR, and not one chunk is fetched.
start_owner big $((10 * 1024 * 1024))
wait_for 2 asked || fail "the 10 MB owner was never asked"
answers "with a 10 MB owner"
echo "10 MB owner: ping $PING_MS ms"
sleep 0.5
grep -q '^sent' "$E2E_TMP/owner.log" && fail "the 10 MB were transferred: $(grep -c '^sent' "$E2E_TMP/owner.log") chunks"
[ "$(requests)" -eq 1 ] || fail "the 10 MB owner was asked $(requests) times: $(cat "$E2E_TMP/owner.log")"
copy_sig "after the 10 MB owner"
echo "10 MB owner: 1 request, 0 bytes sent; next copy expanded in $COPY_MS ms"
kill "$owner_pid"

# A 1x1 PNG, and an owner that offers it as image/png and nothing else.
png="$E2E_TMP/dot.png"
base64 -d >"$png" <<<'iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mNk+M9QDwADhgGAWjR9awAAAABJRU5ErkJggg=='
offers_png() { xclip -o -selection clipboard -t TARGETS | grep -qx image/png; }
no_owner() { ! xclip -o -selection clipboard -t TARGETS 2>/dev/null; }
start_picture() {
    xclip -quiet -selection clipboard -t image/png -i "$png" >/dev/null 2>&1 &
    picture_pid=$!
    E2E_PIDS+=("$picture_pid")
    wait_for 5 offers_png || fail "xclip did not take the clipboard with the picture"
}

# A picture only: no text, no expansion, and the picture stays the clipboard's, byte for byte.
start_picture
sleep 0.5
kill -0 "$WORDWISP_PID" || fail "wordwisp died on a clipboard holding a picture only"
kill -0 "$picture_pid" || fail "the picture lost the clipboard"
xclip -o -selection clipboard -t image/png >"$E2E_TMP/pasted.png" || fail "the picture can no longer be pasted"
cmp -s "$png" "$E2E_TMP/pasted.png" || fail "the picture on the clipboard changed"
copy_sig "after a picture"
echo "picture only: left alone; next copy expanded in $COPY_MS ms"

# The owner goes away and the clipboard has none: nothing is put there in its place.
start_picture
kill "$picture_pid"
wait_for 5 no_owner || fail "the clipboard kept an owner after xclip ended"
sleep 0.5
kill -0 "$WORDWISP_PID" || fail "wordwisp died on a clipboard without owner"
no_owner || fail "the empty clipboard was given an owner: $(xclip -o -selection clipboard | head -c 80)"
copy_sig "after the owner left"
echo "no owner: left empty; next copy expanded in $COPY_MS ms"

kill -0 "$WORDWISP_PID" || fail "wordwisp is no longer running"
echo "all owner checks passed"
