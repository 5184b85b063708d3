# What the end-to-end scripts share on every desktop: the store the twenty rounds expand from, the cases
# they type, copying and waiting for the expansion, and saving the editor until its file says what it
# must. Sourced by the harnesses, which provide save_keys (one Ctrl+S in the editor) and ROUNDS_TMP (a
# folder of the test's own).

# The store in $1/Db: one category with the keys the rounds use, and one that is not current.
write_store() {
    local db="$1/Db"
    mkdir -p "$db/Work" "$db/Other"
    printf 'Work\r\n' >"$db/Cat.ini"
    printf 'Best regards\r\n' >"$db/Work/sig"
    printf 'Yours\r\n*/ signature for letters\r\nJo\r\n' >"$db/Work/memo"
    printf 'Date: [date]\r\n' >"$db/Work/today"
    printf 'Grüße aus Köln — naïve café ✓\r\n' >"$db/Work/straße"
    printf 'other category\r\n' >"$db/Other/elsewhere"
}

# Each case: the text typed and copied, the clipboard text expected after the expansion (lines joined
# with CR LF, the comment line left out), and the text the editor shows for it (GTK keeps LF line ends).
typed=()
clip=()
shown=()
add_case() { typed+=("$1"); clip+=("$2"); shown+=("$3"); }
add_case "sig" "Best regards" "Best regards"
add_case "memo" $'Yours\r\nJo' $'Yours\nJo'
add_case "today" "Date: @DATE@" "Date: @DATE@"
add_case "  SiG  " "Best regards" "Best regards"
add_case "Straße" "Grüße aus Köln — naïve café ✓" "Grüße aus Köln — naïve café ✓"

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# What the harness provides for the two below: keys (combos in the editor), type_text, clipboard and
# clipboard_is, wait_for and fail; and $expected, the editor's text so far.
times=()
# Copies the selection (ctrl+c, or the keys $3) and waits up to 3 s for the expansion: the clipboard holds
# Wordwisp's text $1, or the editor's own copy of it, $2 (GTK takes the clipboard back right after every
# paste, with LF line ends). COPY_MS is how long that took; OWN is yes when Wordwisp's text itself was seen.
# COPY_SETTLE, where set, is a pause after it.
copy_expands_to() {
    local started got
    started=$(now_ms)
    keys "${3:-ctrl+c}"
    while :; do
        got=$(clipboard; printf x)
        got=${got%x}
        [ "$got" = "$1" ] && OWN=yes && break
        [ "$got" = "$2" ] && OWN=no && break
        [ $(($(now_ms) - started)) -gt 3000 ] && return 1
        sleep 0.005
    done
    COPY_MS=$(($(now_ms) - started))
    times+=("$COPY_MS")
    sleep "${COPY_SETTLE:-0}"
}

# A keyword of a category that is not the current one reaches the clipboard and the editor as typed.
other_category_stays() {
    keys Return
    type_text elsewhere
    keys shift+Home ctrl+c
    wait_for 3 clipboard_is elsewhere || fail "the copy of elsewhere did not reach the clipboard: $(clipboard | head -c 80)"
    sleep 0.5
    clipboard_is elsewhere || fail "a key of another category was expanded: $(clipboard | head -c 80)"
    expected+=$'\nelsewhere'
    saved_as "$expected" || fail "the editor does not hold elsewhere as typed"
}

# Saves the editor (Ctrl+S) until $DOC holds exactly $1; false, with the saved bytes shown, if it never does.
saved_as() {
    printf '%s' "$1" >"$ROUNDS_TMP/expected.txt"
    for _ in $(seq 20); do
        save_keys
        sleep 0.1
        cmp -s "$DOC" "$ROUNDS_TMP/expected.txt" && return 0
    done
    echo "--- expected"; od -c "$ROUNDS_TMP/expected.txt" | tail -4
    echo "--- saved"; od -c "$DOC" | tail -4
    return 1
}
