#!/usr/bin/env bash
# Twenty expansions in a real GTK editor: type a keyword in l3afpad, select it, copy it, and check that
# Wordwisp replaced it with the key's text, through the real X clipboard and XTest keystrokes. After each
# round the editor saves and the file is compared byte for byte with what it must hold by then.
#   expand_l3afpad.sh <wordwisp binary> <artifacts dir>
set -uo pipefail
# xdotool types the non-ASCII keywords only in a UTF-8 locale; do not depend on the caller having one.
export LC_ALL=C.UTF-8

[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
wordwisp=$(realpath "$1")
artifacts=${2:-.}
mkdir -p "$artifacts"

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    import -window root "$artifacts/expand.png" 2>/dev/null
    echo "--- wordwisp log"; cat "$work/wordwisp.log"
    exit 1
}

# The store: one category with the keys the rounds use.
export WORDWISP_HOME="$work/home"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
db="$WORDWISP_HOME/Db"
mkdir -p "$db/Work" "$db/Other"
printf 'Work\r\n' >"$db/Cat.ini"
printf 'Best regards\r\n' >"$db/Work/sig"
printf 'Yours\r\n*/ signature for letters\r\nJo\r\n' >"$db/Work/memo"
printf 'Date: [date]\r\n' >"$db/Work/today"
printf 'Grüße aus Köln — naïve café ✓\r\n' >"$db/Work/straße"
printf 'other category\r\n' >"$db/Other/elsewhere"

"$wordwisp" >"$work/wordwisp.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^Wordwisp$' >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool search --onlyvisible --name '^Wordwisp$' >/dev/null 2>&1 || fail "the Wordwisp window did not appear"

doc="$work/doc.txt"
: >"$doc"
l3afpad "$doc" >"$work/l3afpad.log" 2>&1 &
pids+=($!)
editor=""
for _ in $(seq 100); do
    editor=$(xdotool search --onlyvisible --class l3afpad 2>/dev/null | head -1)
    [ -n "$editor" ] && break
    sleep 0.1
done
[ -n "$editor" ] || fail "l3afpad did not appear"
# No window manager: focus follows the pointer unless a window is given the focus explicitly.
xdotool mousemove --window "$editor" 100 100
xdotool windowfocus --sync "$editor"
sleep 0.3

# Each case: the text typed and copied, the clipboard text expected after the expansion (the trigger
# joins lines with CR LF), and the text the editor shows for it (GTK keeps LF line ends).
typed=()
clip=()
shown=()
add_case() { typed+=("$1"); clip+=("$2"); shown+=("$3"); }
add_case "sig" "Best regards" "Best regards"
add_case "memo" $'Yours\r\nJo' $'Yours\nJo'
add_case "today" "Date: @DATE@" "Date: @DATE@"
add_case "  SiG  " "Best regards" "Best regards"
add_case "Straße" "Grüße aus Köln — naïve café ✓" "Grüße aus Köln — naïve café ✓"

expected=""
rounds=20
for round in $(seq 0 $((rounds - 1))); do
    c=$((round % ${#typed[@]}))
    today=$(date +%m-%d-%Y)
    want_clip=${clip[$c]//@DATE@/$today}
    want_shown=${shown[$c]//@DATE@/$today}
    if [ "$round" -gt 0 ]; then
        xdotool key Return
        expected+=$'\n'
    fi
    xdotool type --delay 15 -- "${typed[$c]}"
    xdotool key shift+Home
    xdotool key ctrl+c

    got=""
    for _ in $(seq 100); do
        got=$(xclip -o -selection clipboard 2>/dev/null; printf x)
        got=${got%x}
        [ "$got" = "$want_clip" ] && break
        sleep 0.05
    done
    [ "$got" = "$want_clip" ] || fail "round $((round + 1)) (${typed[$c]}): clipboard holds $(printf %q "$got")"

    expected+=$want_shown
    printf '%s' "$expected" >"$work/expected.txt"
    # The paste is asynchronous in GTK: save until the file shows it.
    saved=no
    for _ in $(seq 20); do
        sleep 0.1
        xdotool key ctrl+s
        sleep 0.1
        cmp -s "$doc" "$work/expected.txt" && { saved=yes; break; }
    done
    if [ $saved != yes ]; then
        echo "--- expected"; od -c "$work/expected.txt" | tail -5
        echo "--- saved"; od -c "$doc" | tail -5
        fail "round $((round + 1)) (${typed[$c]}): the saved file differs"
    fi
    echo "round $((round + 1)): ${typed[$c]} -> ok"
done

# A key of another category is never expanded, and the text of the last expansion is left alone.
xdotool key Return
xdotool type --delay 15 elsewhere
xdotool key shift+Home ctrl+c
sleep 0.5
got=$(xclip -o -selection clipboard 2>/dev/null)
[ "$got" = "elsewhere" ] || fail "a key of another category was expanded: $(printf %q "$got")"

kill -0 "${pids[0]}" 2>/dev/null || fail "wordwisp is no longer running"
import -window root "$artifacts/expand.png"
grep -q "Cannot set X11 selection owner" "$work/wordwisp.log" && echo "note: Qt failed to take the clipboard at least once (retried)"
cp "$work/wordwisp.log" "$artifacts/expand-wordwisp.log"
echo "all $rounds rounds passed"
