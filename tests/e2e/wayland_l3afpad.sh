#!/usr/bin/env bash
# Twenty expansions in a native Wayland GTK editor under a headless sway: type a keyword in l3afpad
# (wtype), select it and copy it (a virtual keyboard), and check that Wordwisp replaced it with the key's
# text through data-control and its own virtual keyboard; after each round the editor saves and the file
# is compared byte for byte with what it must hold by then. Then a clipboard owner that never answers,
# followed by an ordinary copy that must still be expanded, and a key of another category that must not.
# Prints the Ctrl+C-to-expansion time of every copy and their median.
#   wayland_l3afpad.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/wayland.bash"

report() {
    sway_ipc -t get_tree >"$ARTIFACTS/wayland-tree.json" 2>/dev/null
    echo "--- the editor's file, last saved"; tail -c 120 "$DOC" | od -c | tail -8
    echo "--- wordwisp log"; cat "$WL_TMP/wordwisp.log"
    echo "--- l3afpad log"; tail -20 "$WL_TMP/l3afpad.log"
    echo "--- sway log"; tail -20 "$WL_TMP/sway.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; wl_cleanup; exit $status' EXIT

home="$WL_TMP/home/wordwisp"
write_store "$home"
mkdir -p "$WL_TMP/doc"
DOC="$WL_TMP/doc/doc.txt"
: >"$DOC"
chown -R "$WL_OWNER" "$home" "$WL_TMP/doc"

start_sway
start_wordwisp "$home"
wordwisp_pid=$WORDWISP_PID
start_editor "$DOC"
sleep 0.3



expected=""
rounds=20
declare -i crlf_rounds=0 crlf_seen=0
for round in $(seq 0 $((rounds - 1))); do
    c=$((round % ${#typed[@]}))
    today=$(date +%m-%d-%Y)
    want_clip=${clip[$c]//@DATE@/$today}
    want_shown=${shown[$c]//@DATE@/$today}
    if [ "$round" -gt 0 ]; then
        keys Return
        expected+=$'\n'
    fi
    type_text "${typed[$c]}"
    keys shift+Home
    copy_expands_to "$want_clip" "$want_shown" ||
        fail "round $((round + 1)) (${typed[$c]}): clipboard holds $(clipboard | head -c 200 | od -c | head -3)"
    expected+=$want_shown
    # The paste is asynchronous in GTK: save until the file shows it.
    saved_as "$expected" || fail "round $((round + 1)) (${typed[$c]}): the saved file differs"
    [ "$want_clip" != "$want_shown" ] && crlf_rounds+=1 && [ $OWN = yes ] && crlf_seen+=1
    echo "round $((round + 1)): ${typed[$c]} -> ok, expanded in $COPY_MS ms"
done

# An owner that never writes a byte: Wordwisp asks it, must not hang on the answer, and expands the next
# copy as usual.
start_client "$WL_TMP/silent.log" "$WL_PEER" silent
wait_for 5 grep -q owned "$WL_TMP/silent.log" || fail "wl_peer silent did not take the clipboard"
wait_for 3 grep -q '^request' "$WL_TMP/silent.log" || fail "Wordwisp never asked the silent owner"
sleep 0.3
kill -0 "$wordwisp_pid" 2>/dev/null || fail "wordwisp died on the silent owner"
keys Return
type_text sig
keys shift+Home
copy_expands_to "Best regards" "Best regards" || fail "sig after the silent owner: clipboard holds $(clipboard | head -c 80)"
expected+=$'\nBest regards'
saved_as "$expected" || fail "sig after the silent owner: the saved file differs"
echo "silent owner: $(grep -c '^request' "$WL_TMP/silent.log") request(s) unanswered; next copy expanded in $COPY_MS ms"

# 10 MB on the clipboard (wl-copy serves it to whoever asks): Wordwisp stops reading after a keyword's
# worth, and the next copy is expanded as usual.
head -c $((10 * 1024 * 1024)) /dev/zero | tr '\0' 'x' >"$WL_TMP/big.txt"
chmod 644 "$WL_TMP/big.txt"
as_client sh -c "wl-copy <'$WL_TMP/big.txt'" || fail "wl-copy did not take 10 MB"
sleep 0.5
kill -0 "$wordwisp_pid" 2>/dev/null || fail "wordwisp died on the 10 MB clipboard"
keys Return
type_text sig
keys shift+Home
copy_expands_to "Best regards" "Best regards" || fail "sig after 10 MB: clipboard holds $(clipboard | head -c 80)"
expected+=$'\nBest regards'
saved_as "$expected" || fail "sig after 10 MB: the saved file differs"
read_bytes=$(awk '/^rchar/ { print $2 }' "/proc/$wordwisp_pid/io")
[ "$read_bytes" -lt $((5 * 1024 * 1024)) ] || fail "Wordwisp read $read_bytes bytes: the 10 MB were fetched"
echo "10 MB owner: next copy expanded in $COPY_MS ms; Wordwisp read $read_bytes bytes in all (files too)"

other_category_stays

kill -0 "$wordwisp_pid" 2>/dev/null || fail "wordwisp is no longer running"
cp "$WL_TMP/wordwisp.log" "$ARTIFACTS/wayland-wordwisp.log"
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "copy to expansion: median ${sorted[${#sorted[@]} / 2]} ms, min ${sorted[0]} ms, max ${sorted[-1]} ms over ${#times[@]} copies"
# The editor replaces Wordwisp's text within milliseconds; report how often the poll saw it before that.
echo "multi-line key: Wordwisp's CR LF text itself seen in $crlf_seen of $crlf_rounds rounds (else the editor's copy after the paste)"
echo "all $rounds rounds passed"
