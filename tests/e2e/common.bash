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
