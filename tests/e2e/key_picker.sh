#!/usr/bin/env bash
# The key picker and --paste with the real program, a real editor (l3afpad) and real keystrokes: `wordwisp
# --pick` opens the picker over the editor, a filter typed into it finds a key of another category by its
# text, Enter pastes that key into the editor that had the focus (once, comments left out, not expanded
# again where its text names a key), Esc closes it and pastes nothing; `wordwisp --paste KEY [--category
# NAME]` pastes without a window, an unknown key or category exits 1 with the reason, and with nothing
# running both requests exit 1.
#   key_picker.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
for tool in xdotool import l3afpad xclip; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

report() {
    screenshot picker-failure.png 2>/dev/null || true
    echo "--- wordwisp log"
    cat "$E2E_TMP/wordwisp.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; e2e_cleanup; exit $status' EXIT

home="$E2E_TMP/home"
mkdir -p "$home/Db/Work" "$home/Db/Other"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"
printf 'sig\r\n' >"$home/Db/Work/ref"
printf '12 Long Road\r\n*/ the office\r\nTown\r\n' >"$home/Db/Other/addr"
printf 'elsewhere\r\n' >"$home/Db/Other/x"

# Runs the binary with the arguments given; sets rc and err.
run() {
    set +e
    "$WORDWISP_BIN" "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err"
    rc=$?
    set -e
    err=$(cat "$E2E_TMP/err")
}

start_wordwisp "$home"
find_window '^Wordwisp$' >/dev/null || fail "the Wordwisp window did not appear"
start_editor 300 250
xdotool type --delay 15 "Dear team,"
xdotool key Return

picker_shown() { xdotool search --onlyvisible --name '^Wordwisp: pick a key$' >/dev/null; }
picker_gone() { ! picker_shown; }
picker_focused() { [ "$(xdotool getwindowfocus)" = "$(xdotool search --onlyvisible --name '^Wordwisp: pick a key$' | head -n 1)" ]; }
editor_focused() { [ "$(xdotool getwindowfocus)" = "$EDITOR" ]; }

# Part of a text of another category than the current one; Enter pastes it where the user was.
run --pick
[ "$rc" -eq 0 ] || fail "--pick: exit $rc: $err"
wait_for 5 picker_shown || fail "--pick opened no picker"
wait_for 5 picker_focused || fail "the picker did not take the focus"
xdotool type --delay 40 "LONG r"
sleep 0.3
screenshot picker.png
xdotool key Return
wait_for 5 picker_gone || fail "Enter did not close the picker"
wait_for 5 editor_focused || fail "the focus did not come back to the editor"
saved_as $'Dear team,\n12 Long Road\nTown' || fail "the picked key did not land in the editor once"
echo "--pick: filter typed, Enter pasted the key into the editor"

# A key whose text is another key's name pastes that text, not the other key's.
xdotool key Return
run --pick
wait_for 5 picker_focused || fail "the second picker did not take the focus"
xdotool type --delay 40 "ref"
sleep 0.2
xdotool key Return
wait_for 5 editor_focused || fail "the focus did not come back to the editor after the second pick"
saved_as $'Dear team,\n12 Long Road\nTown\nsig' || fail "a picked text that names a key was expanded again"
echo "--pick: a text that names a key is pasted as it is"

# Esc closes it and pastes nothing.
xdotool key Return
run --pick
wait_for 5 picker_focused || fail "the third picker did not take the focus"
xdotool type --delay 40 "sig"
xdotool key Escape
wait_for 5 picker_gone || fail "Esc did not close the picker"
wait_for 5 editor_focused || fail "the focus did not come back to the editor after Esc"
sleep 0.5
saved_as $'Dear team,\n12 Long Road\nTown\nsig\n' || fail "Esc pasted something"
echo "--pick: Esc closes, nothing pasted"

# --paste: a key of the current category, and one of another category named in another case.
run --paste " SIG "
[ "$rc" -eq 0 ] || fail "--paste sig: exit $rc: $err"
saved_as $'Dear team,\n12 Long Road\nTown\nsig\nBest regards' || fail "--paste sig did not land"
run --paste x --category other
[ "$rc" -eq 0 ] || fail "--paste x --category other: exit $rc: $err"
saved_as $'Dear team,\n12 Long Road\nTown\nsig\nBest regardselsewhere' || fail "--paste x --category other did not land"
run --paste nothing
[ "$rc" -eq 1 ] && [[ $err == *'no key "nothing"'* ]] || fail "--paste of an unknown key: exit $rc: $err"
run --paste sig --category Nowhere
[ "$rc" -eq 1 ] && [[ $err == *'no category "Nowhere"'* ]] || fail "--paste in an unknown category: exit $rc: $err"
sleep 0.3
saved_as $'Dear team,\n12 Long Road\nTown\nsig\nBest regardselsewhere' || fail "a refused --paste pasted something"
echo "--paste: keys land, an unknown key or category exits 1 with the reason"

run --quit
[ "$rc" -eq 0 ] || fail "--quit: exit $rc: $err"
for request in --pick "--paste sig"; do
    # shellcheck disable=SC2086 # two words on purpose
    run $request
    [ "$rc" -eq 1 ] && [[ $err == *"not running"* ]] || fail "$request with nothing running: exit $rc: $err"
done
echo "nothing running: --pick and --paste exit 1"
echo "all key picker checks passed"
