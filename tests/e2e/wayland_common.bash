# What the end-to-end scripts on Wayland share, whichever compositor they start (wayland.bash: sway,
# kwin.bash: KWin): a folder of their own, the clients' user and environment, a session bus, the peer that
# holds the keyboard, the clipboard and the rounds (rounds.bash). Sourced by those two; it expects $1 = wordwisp
# binary, $2 = artifacts dir.
set -uo pipefail
# The peers and the editor compare non-ASCII text; do not depend on the caller having a UTF-8 locale.
export LC_ALL=C.UTF-8

WORDWISP_BIN=$(readlink -f "$1")
ARTIFACTS=$(mkdir -p "$2" && readlink -f "$2")
for tool in wl-paste l3afpad; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

WL_PIDS=()
WL_TMP=$(mktemp -d)
chmod 755 "$WL_TMP"
# sway refuses to run as root; then it and all its clients run as nobody, in folders nobody owns.
if [ "$(id -u)" -eq 0 ]; then
    WL_AS=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    WL_OWNER=nobody:nogroup
else
    WL_AS=()
    WL_OWNER=$(id -u):$(id -g)
fi
WL_RUNTIME="$WL_TMP/runtime"
mkdir -m 700 "$WL_RUNTIME" "$WL_TMP/home"
chown "$WL_OWNER" "$WL_RUNTIME" "$WL_TMP/home"
# More of the clients' environment, NAME=value each, for what a compositor adds (an X display, say).
WL_CLIENT_ENV=()
# What every client is started through first (a network namespace), and files the cleanup removes that are
# not in $WL_TMP.
WL_NS=()
WL_LEFTOVERS=()

wl_cleanup() {
    # Clients first, the compositor last, so that no client sees it vanish and complains.
    local i
    for ((i = ${#WL_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${WL_PIDS[i]}" 2>/dev/null
        wait "${WL_PIDS[i]}" 2>/dev/null
    done
    rm -f "${WL_LEFTOVERS[@]}"
    rm -rf "$WL_TMP"
}
trap wl_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Polls a command until it succeeds, for at most $1 seconds.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# Runs a command as the compositor's user, with nothing of the caller's environment but the variables
# given before it (NAME=value ...): no DISPLAY, so nothing falls back to X.
client_command() {
    CLIENT=("${WL_NS[@]}" "${WL_AS[@]}" env -i PATH="$PATH" HOME="$WL_TMP/home" LC_ALL="$LC_ALL" XDG_RUNTIME_DIR="$WL_RUNTIME"
            WAYLAND_DISPLAY="${WL_DISPLAY:-}" ${WL_BUS:+DBUS_SESSION_BUS_ADDRESS="$WL_BUS"} "${WL_CLIENT_ENV[@]}")
}
as_client() {
    client_command
    "${CLIENT[@]}" "$@"
}
# The same in the background, ended by the cleanup; LOG gets its output. Sets WL_PID, the client's own
# process id (setpriv and env exec it).
start_client() { # log, command...
    local log=$1
    shift
    client_command
    "${CLIENT[@]}" "$@" >"$log" 2>&1 &
    WL_PID=$!
    WL_PIDS+=("$WL_PID")
}

# A session bus of the compositor's user, for the tray; the compositor and every client after this get it.
start_session_bus() {
    command -v dbus-daemon >/dev/null || { echo "SKIP: dbus-daemon is not installed"; exit 77; }
    start_client "$WL_TMP/dbus.log" dbus-daemon --session --nofork --nopidfile --address="unix:path=$WL_RUNTIME/bus"
    wait_for 5 test -S "$WL_RUNTIME/bus" || { cat "$WL_TMP/dbus.log"; fail "the session bus did not start"; }
    WL_BUS="unix:path=$WL_RUNTIME/bus"
}

# Runs this script's servers and clients in a network namespace of their own, with only a loopback: nothing
# they do reaches the network or another test's abstract sockets (X displays among them). Needs root; says
# so and goes on without where it cannot.
enter_network_namespace() {
    if [ "$(id -u)" -ne 0 ] || ! unshare --net true 2>/dev/null; then
        echo "note: no network namespace of our own here (unshare --net needs root); the servers share the host's"
        return 0
    fi
    unshare --net sleep infinity &
    local holder=$!
    WL_PIDS+=("$holder")
    # Until unshare has made it, the process is still in ours.
    new_namespace() { [ "$(readlink "/proc/$holder/ns/net")" != "$(readlink /proc/self/ns/net)" ]; }
    wait_for 5 new_namespace || fail "unshare --net made no namespace"
    WL_NS=(nsenter --net="/proc/$holder/ns/net")
    "${WL_NS[@]}" ip link set lo up || fail "no loopback in the network namespace"
}

# Starts the peer that holds the keyboard for the whole test (the command given, as a client), talking to
# it through two pipes: it says "ready" first, then answers each line it reads with "ok".
start_hold() {
    mkfifo "$WL_TMP/keys.in" "$WL_TMP/keys.out"
    exec {WL_KEYS_IN}<>"$WL_TMP/keys.in" {WL_KEYS_OUT}<>"$WL_TMP/keys.out"
    client_command
    "${CLIENT[@]}" "$@" <&$WL_KEYS_IN >&$WL_KEYS_OUT 2>"$WL_TMP/hold.log" &
    WL_PIDS+=($!)
    local reply=""
    read -r -t 5 -u $WL_KEYS_OUT reply
    [ "$reply" = ready ] || fail "$1 hold: ${reply:-no answer} $(cat "$WL_TMP/hold.log")"
}
# Sends the hold peer one line and prints what it says before its "ok"; false, with its log shown, on
# anything else.
hold_says() {
    local reply=""
    echo "$*" >&$WL_KEYS_IN
    while read -r -t 5 -u $WL_KEYS_OUT reply && [ "$reply" != ok ]; do
        case $reply in err* | error*) break ;; esac
        printf '%s\n' "$reply"
    done
    [ "$reply" = ok ] || { echo "$*: ${reply:-no answer} $(cat "$WL_TMP/hold.log")" >&2; return 1; }
}

# The clipboard's text, byte for byte (command substitution would drop trailing line ends). An owner that
# never answers gives nothing after a second.
clipboard() {
    local text
    text=$(as_client timeout 1 wl-paste -n 2>/dev/null; printf x)
    printf '%s' "${text%x}"
}
clipboard_is() { [ "$(clipboard; printf x)" = "${1}x" ]; }

# The rounds' store and cases, and saving the editor until its file says what it must.
save_keys() { keys ctrl+s; }
ROUNDS_TMP=$WL_TMP
source "$(dirname "${BASH_SOURCE[0]}")/rounds.bash"
