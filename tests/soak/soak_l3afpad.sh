#!/usr/bin/env bash
# A long run against a real GTK editor: 1,000 expansions in l3afpad (SOAK_ROUNDS to change), mixed keys
# (multi-line with a comment, "[date]", non-ASCII, blanks and case, two keys that name each other), with
# key saves and category switches made through the Wordwisp window in between. Every round checks the
# clipboard; every checkpoint saves the editor and compares the whole file, so a paste that went
# missing, landed twice or carried the wrong text is caught with the block it happened in. A key whose
# text is another key's keyword must expand once and stay (no loop). At the end the resident memory is
# compared with the one after warming up.
#   soak_l3afpad.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/../e2e/common.bash"
export LC_ALL=C.UTF-8
for tool in xdotool xclip l3afpad; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done
rounds=${SOAK_ROUNDS:-1000}
checkpoint_every=50
action_every=40

report() {
    screenshot soak-failure.png 2>/dev/null || true
    echo "--- wordwisp log"
    cat "$E2E_TMP/wordwisp.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; e2e_cleanup; exit $status' EXIT

home="$E2E_TMP/home"
db="$home/Db"
mkdir -p "$db/Letters" "$db/Notes"
printf 'Letters\r\n' >"$db/Cat.ini"
# Both categories hold "sig" with different texts: a switch that left the old list in use would show.
printf 'first note\r\n' >"$db/Letters/1note"
printf 'Best regards\r\n' >"$db/Letters/sig"
printf 'Yours\r\n*/ signature for letters\r\nJo\r\n' >"$db/Letters/memo"
printf 'Date: [date]\r\n' >"$db/Letters/today"
printf 'Grüße aus Köln — naïve café ✓\r\n' >"$db/Letters/straße"
printf 'pong\r\n' >"$db/Letters/ping"
printf 'ping\r\n' >"$db/Letters/pong"
printf 'first note\r\n' >"$db/Notes/1note"
printf 'Cheers\r\n' >"$db/Notes/sig"
printf '*/ only the second line stays\r\nline two\r\n' >"$db/Notes/two"

start_wordwisp "$home"
main=$(find_window '^Wordwisp$') || fail "the Wordwisp window did not appear"
xdotool windowmove "$main" 0 0
start_editor 560 0

# The rounds of each category: typed text, clipboard after the expansion, text the editor shows (GTK
# keeps LF line ends). "@DATE@" stands for today's date, "@NOTE@" for the text last saved into 1note.
declare -A cases
cases[Letters]="sig|memo|  SiG  |today|Straße|ping|1note"
cases[Notes]="sig|two|1note|SIG"
expansion() { # args: category, typed; prints the clipboard text expected
    local key=${2,,}
    key=${key#"${key%%[! ]*}"}
    key=${key%"${key##*[! ]}"}
    case "$1/$key" in
        Letters/sig) printf 'Best regards' ;;
        Letters/memo) printf 'Yours\r\nJo' ;;
        Letters/today) printf 'Date: %s' "$(date +%m-%d-%Y)" ;;
        Letters/straße) printf 'Grüße aus Köln — naïve café ✓' ;;
        Letters/ping) printf 'pong' ;;
        Notes/sig) printf 'Cheers' ;;
        Notes/two) printf 'line two' ;;
        */1note) printf '%s' "${note[$1]}" ;;
    esac
}
declare -A note=([Letters]="first note" [Notes]="first note")
category=Letters
expected=""
wrong=0

clipboard_now() {
    local text
    text=$(xclip -o -selection clipboard 2>/dev/null; printf x)
    printf '%s' "${text%x}"
}

checkpoint() { # args: label
    if ! saved_as "$expected"; then
        diff <(cat "$E2E_TMP/expected.txt"; echo) <(cat "$DOC"; echo) | head -20
        fail "$1: the editor's file differs from the expansions so far"
    fi
}

# Gives the focus back to the editor, whose cursor stays where the last paste left it.
focus_editor() {
    xdotool mousemove --window "$EDITOR" 100 100
    xdotool windowfocus --sync "$EDITOR"
    sleep 0.1
}

boxes() { xdotool search --onlyvisible --pid "$WORDWISP_PID" 2>/dev/null | grep -vx "$main" || true; }
box_shown() { [ -n "$(boxes)" ]; }
no_box() { [ -z "$(boxes)" ]; }

focus_main() {
    xdotool mousemove --window "$main" 300 200
    xdotool windowfocus --sync "$main"
}

# Picks the other category in the window's category box from the keyboard, as a user may.
switch_category() {
    focus_main
    xdotool mousemove --window "$main" 40 44 click 1
    sleep 0.3
    if [ "$category" = Letters ]; then xdotool key Down Return; category=Notes; else xdotool key Up Return; category=Letters; fi
    sleep 0.3
    focus_editor
}

# Loads 1note (the first key, selected by Home in the key list), replaces its text and clicks Save.
save_note() { # args: new text
    focus_main
    xdotool mousemove --window "$main" 60 64 click 1
    xdotool key Home
    sleep 0.2
    xdotool mousemove --window "$main" 320 150 click 1
    xdotool key ctrl+a
    xdotool type --delay 5 -- "$1"
    xdotool mousemove --window "$main" 439 341 click 1
    printf '%s\r\n' "$1" >"$E2E_TMP/note.expected"
    wait_for 5 cmp -s "$db/$category/1note" "$E2E_TMP/note.expected" || fail "1note of $category was not saved"
    # The save is confirmed in a box; it takes the Return that closes it.
    wait_for 5 box_shown || fail "no box confirmed the save"
    xdotool windowfocus --sync "$(boxes | head -n 1)" key Return
    wait_for 5 no_box || fail "the box that confirmed the save did not close"
    note[$category]=$1
    focus_editor
}

rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$WORDWISP_PID/status"; }

start=$SECONDS
rss_start=""
saves=0
switches=0
retyped=0
previous=""
for round in $(seq 1 "$rounds"); do
    IFS='|' read -r -a typed <<<"${cases[$category]}"
    text=${typed[$((round % ${#typed[@]}))]}
    want=$(expansion "$category" "$text")
    newline=()
    [ "$round" -gt 1 ] && { newline=(key Return); expected+=$'\n'; }
    for _ in 1 2 3; do
        xdotool "${newline[@]}" type --delay 4 -- "$text"
        xdotool key shift+Home ctrl+c
        newline=()
        got=""
        for _ in $(seq 200); do
            got=$(clipboard_now)
            [ "$got" = "$want" ] && break
            sleep 0.01
        done
        # xdotool types a character missing from the keyboard map by remapping a key for a moment, and
        # now and then the editor reads the old map and drops it: the line then holds a keyword we never
        # typed. Type it again over the selection; anything else is Wordwisp's fault.
        [ "$got" = "$want" ] || [ "$got" = "$text" ] || [ "$got" = "$previous" ] && break
        retyped=$((retyped + 1))
    done
    if [ "$got" != "$want" ]; then
        wrong=$((wrong + 1))
        fail "round $round ($category, $(printf %q "$text")): the clipboard holds $(printf %q "$got")"
    fi
    previous=$want
    expected+=${want//$'\r\n'/$'\n'}
    # The paste follows the clipboard within milliseconds; give the editor time to fetch it.
    sleep 0.02
    if [ "$text" = ping ]; then
        # "pong" is a keyword too: expanding our own expansion again would flip the clipboard back.
        sleep 0.2
        [ "$(clipboard_now)" = pong ] || fail "round $round: the expansion of ping was expanded again"
    fi
    [ "$round" -eq 50 ] && rss_start=$(rss_kb)
    if [ $((round % checkpoint_every)) -eq 0 ] || [ "$round" -eq "$rounds" ]; then
        checkpoint "after round $round"
    fi
    if [ $((round % action_every)) -eq 0 ] && [ "$round" -lt "$rounds" ]; then
        checkpoint "before the window was used in round $round"
        if [ $((round / action_every % 2)) -eq 1 ]; then
            save_note "note $round"
            saves=$((saves + 1))
        else
            switch_category
            switches=$((switches + 1))
        fi
    fi
done
elapsed=$((SECONDS - start))
kill -0 "$WORDWISP_PID" 2>/dev/null || fail "wordwisp is no longer running"
rss_end=$(rss_kb)
[ -n "$rss_start" ] || rss_start=$rss_end
growth=$(awk -v a="$rss_start" -v b="$rss_end" 'BEGIN { printf "%.1f", (b - a) * 100 / a }')
echo "$rounds expansions in ${elapsed}s, $saves key saves, $switches category switches, $wrong wrong ($retyped keywords typed again after xdotool lost a character)"
echo "resident memory: ${rss_start} kB after 50 rounds, ${rss_end} kB at the end (${growth} %)"
awk -v g="$growth" 'BEGIN { exit !(g <= 5) }' || fail "resident memory grew by ${growth} %"
cp "$E2E_TMP/wordwisp.log" "$ARTIFACTS/soak-wordwisp.log"
