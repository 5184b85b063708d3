# What the end-to-end scripts share on every desktop: the store the twenty rounds expand from, the cases
# they type, and saving the editor until its file says what it must. Sourced by the harnesses, which
# provide save_keys (one Ctrl+S in the editor) and ROUNDS_TMP (a folder of the test's own).

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
