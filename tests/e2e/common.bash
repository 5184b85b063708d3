# Shared helpers for the end-to-end scripts. Source it; it expects $1 = wordwisp binary, $2 = artifacts dir.
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
    echo "SKIP: no X display (run through scripts/test.sh, which starts Xvfb)"
    exit 77
fi

WORDWISP_BIN=$(readlink -f "$1")
ARTIFACTS=$(mkdir -p "$2" && readlink -f "$2")
E2E_TMP=$(mktemp -d)
E2E_PIDS=()

e2e_cleanup() {
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    # What the program said, unless the script reports it itself.
    if ! declare -F report >/dev/null && [ -s "$E2E_TMP/wordwisp.log" ]; then
        echo "--- wordwisp log" >&2
        cat "$E2E_TMP/wordwisp.log" >&2
    fi
    # A program that says nothing may have ended, or hang: which, and how it ended.
    if [ -n "${WORDWISP_PID:-}" ]; then
        if kill -0 "$WORDWISP_PID" 2>/dev/null; then
            echo "--- wordwisp ($WORDWISP_PID) still runs: $(tr '\0' ' ' <"/proc/$WORDWISP_PID/cmdline")" >&2
            grep -E '^(State|Threads)' "/proc/$WORDWISP_PID/status" >&2 || true
        else
            local status=0
            wait "$WORDWISP_PID" 2>/dev/null || status=$?
            echo "--- wordwisp ($WORDWISP_PID) has ended, exit status $status" >&2
        fi
    fi
    exit 1
}

# Polls a command until it succeeds, for at most $1 seconds.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
}

# Starts wordwisp on the store folder $1 (its parent holds Db); prints nothing, sets WORDWISP_PID.
start_wordwisp() {
    WORDWISP_HOME="$1" "$WORDWISP_BIN" >"$E2E_TMP/wordwisp.log" 2>&1 &
    WORDWISP_PID=$!
    E2E_PIDS+=("$WORDWISP_PID")
}

# The id of the first visible window whose name matches $1, waiting up to 10 s for it to appear.
find_window() {
    local id=""
    local deadline=$((SECONDS + 10))
    while [ -z "$id" ] && [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -z "$id" ] && sleep 0.1
    done
    [ -n "$id" ] && echo "$id"
}

screenshot() {
    import -window root "$ARTIFACTS/$1"
}

# Starts l3afpad on a new empty file $E2E_TMP/doc.txt at position $1,$2 and gives it the focus; sets DOC
# and EDITOR (its window).
start_editor() {
    DOC="$E2E_TMP/doc.txt"
    : >"$DOC"
    l3afpad "$DOC" >"$E2E_TMP/l3afpad.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_for 10 xdotool search --onlyvisible --class l3afpad || fail "l3afpad did not appear"
    EDITOR=$(xdotool search --onlyvisible --class l3afpad | head -n 1)
    xdotool windowmove "$EDITOR" "$1" "$2"
    xdotool mousemove --window "$EDITOR" 100 100
    xdotool windowfocus --sync "$EDITOR"
    sleep 0.3
}

clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }

# Saves the editor (Ctrl+S) until $DOC holds exactly $1; false, with the saved bytes shown, if it never does.
saved_as() {
    printf '%s' "$1" >"$E2E_TMP/expected.txt"
    for _ in $(seq 20); do
        xdotool key ctrl+s
        sleep 0.15
        cmp -s "$DOC" "$E2E_TMP/expected.txt" && return 0
    done
    echo "--- saved"; od -c "$DOC" | tail -4
    return 1
}
