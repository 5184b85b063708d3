# Shared helpers for the end-to-end scripts on Wayland: a headless sway of their own and its clients,
# independent of any X display. Source it; it expects $1 = wordwisp binary, $2 = artifacts dir.
set -uo pipefail
# wtype and the editor compare non-ASCII text; do not depend on the caller having a UTF-8 locale.
export LC_ALL=C.UTF-8

WORDWISP_BIN=$(readlink -f "$1")
ARTIFACTS=$(mkdir -p "$2" && readlink -f "$2")
WL_PEER="$(dirname "$WORDWISP_BIN")/tests/wl_peer"
for tool in sway swaymsg wtype wl-paste l3afpad; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x "$WL_PEER" ] || { echo "SKIP: this build has no Wayland ($WL_PEER is missing)"; exit 77; }

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

wl_cleanup() {
    # Clients first, the compositor last, so that no client sees it vanish and complains.
    local i
    for ((i = ${#WL_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${WL_PIDS[i]}" 2>/dev/null
        wait "${WL_PIDS[i]}" 2>/dev/null
    done
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
    CLIENT=("${WL_AS[@]}" env -i PATH="$PATH" HOME="$WL_TMP/home" LC_ALL="$LC_ALL" XDG_RUNTIME_DIR="$WL_RUNTIME"
            WAYLAND_DISPLAY="${WL_DISPLAY:-}" ${WL_BUS:+DBUS_SESSION_BUS_ADDRESS="$WL_BUS"})
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

sway_ipc() { SWAYSOCK="$SWAYSOCK" swaymsg "$@"; }
# True when a window of app id $1 is mapped; when it has the focus.
has_window() { sway_ipc "[app_id=\"$1\"] nop" >/dev/null; }
has_focus() { sway_ipc "[app_id=\"$1\" con_id=__focused__] nop" >/dev/null; }

# A session bus of the compositor's user, for the tray; sway, swaybar and every client after this get it.
start_session_bus() {
    command -v dbus-daemon >/dev/null || { echo "SKIP: dbus-daemon is not installed"; exit 77; }
    start_client "$WL_TMP/dbus.log" dbus-daemon --session --nofork --nopidfile --address="unix:path=$WL_RUNTIME/bus"
    wait_for 5 test -S "$WL_RUNTIME/bus" || { cat "$WL_TMP/dbus.log"; fail "the session bus did not start"; }
    WL_BUS="unix:path=$WL_RUNTIME/bus"
}

# A headless sway with one 1280x800 output and a virtual keyboard that lives as long as it does; sets
# WL_DISPLAY and SWAYSOCK. WL_SWAY_CONFIG adds lines to its configuration.
start_sway() {
    printf 'output HEADLESS-1 resolution 1280x800\nfocus_follows_mouse no\n%s\n' "${WL_SWAY_CONFIG:-}" \
        >"$WL_TMP/sway.config"
    chmod 644 "$WL_TMP/sway.config"
    start_client "$WL_TMP/sway.log" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$WL_TMP/sway.config"
    local socket=""
    for _ in $(seq 100); do
        socket=$(find "$WL_RUNTIME" -maxdepth 1 -type s -name 'wayland-*' -printf '%f\n' | head -1)
        SWAYSOCK=$(find "$WL_RUNTIME" -maxdepth 1 -type s -name 'sway-ipc.*.sock' | head -1)
        [ -n "$socket" ] && [ -n "$SWAYSOCK" ] && break
        kill -0 "$WL_PID" 2>/dev/null || break
        sleep 0.05
    done
    [ -n "$socket" ] && [ -n "$SWAYSOCK" ] || { cat "$WL_TMP/sway.log"; fail "sway did not start"; }
    WL_DISPLAY=$socket
    wait_for 5 sway_ipc -t get_outputs || fail "sway does not answer on $SWAYSOCK"
    # All the keys go through this one keyboard: every new keyboard makes sway hand the focused window
    # the keyboard focus anew, and GTK drops a paste it is still reading when that happens.
    mkfifo "$WL_TMP/keys.in" "$WL_TMP/keys.out"
    exec {WL_KEYS_IN}<>"$WL_TMP/keys.in" {WL_KEYS_OUT}<>"$WL_TMP/keys.out"
    client_command
    "${CLIENT[@]}" "$WL_PEER" hold <&$WL_KEYS_IN >&$WL_KEYS_OUT 2>"$WL_TMP/hold.log" &
    WL_PIDS+=($!)
    local reply=""
    read -r -t 5 -u $WL_KEYS_OUT reply
    [ "$reply" = ready ] || fail "wl_peer hold: ${reply:-no answer} $(cat "$WL_TMP/hold.log")"
}

# A pointer device, so that clients get a wl_pointer and "swaymsg seat - cursor ..." clicks reach them.
start_pointer() {
    start_client "$WL_TMP/pointer.log" "$WL_PEER" pointer
    wait_for 5 grep -q ready "$WL_TMP/pointer.log" || fail "wl_peer pointer: $(cat "$WL_TMP/pointer.log")"
}
# Clicks the left button at X Y of the whole screen.
click_at() {
    sway_ipc seat - cursor set "$1" "$2" >/dev/null &&
        sway_ipc seat - cursor press button1 >/dev/null &&
        sway_ipc seat - cursor release button1 >/dev/null || fail "no click at $1 $2"
}

# Presses key combos in the editor, xdotool style: keys shift+Home ctrl+c.
keys() {
    local reply=""
    echo "$*" >&$WL_KEYS_IN
    read -r -t 5 -u $WL_KEYS_OUT reply
    [ "$reply" = ok ] || fail "keys $*: ${reply:-no answer} $(cat "$WL_TMP/hold.log")"
}
type_text() { as_client wtype -d 5 -- "$1" || fail "wtype $1"; }
# The clipboard's text, byte for byte (command substitution would drop trailing line ends). An owner that
# never answers gives nothing after a second.
clipboard() {
    local text
    text=$(as_client timeout 1 wl-paste -n 2>/dev/null; printf x)
    printf '%s' "${text%x}"
}
clipboard_is() { [ "$(clipboard; printf x)" = "${1}x" ]; }

save_keys() { keys ctrl+s; }
ROUNDS_TMP=$WL_TMP
source "$(dirname "${BASH_SOURCE[0]}")/rounds.bash"

# Starts Wordwisp natively on the store folder $1 (its Db inside); sets WORDWISP_PID.
start_wordwisp() {
    start_client "$WL_TMP/wordwisp.log" WORDWISP_HOME="$1" QT_QPA_PLATFORM=wayland "$WORDWISP_BIN"
    WORDWISP_PID=$WL_PID
    wait_for 10 has_window wordwisp || fail "the Wordwisp window did not appear"
}

# Starts l3afpad natively on the file $1 and waits until it has the focus.
start_editor() {
    start_client "$WL_TMP/l3afpad.log" GDK_BACKEND=wayland l3afpad "$1"
    wait_for 10 has_window l3afpad || fail "l3afpad did not appear"
    # It maps last, so sway gives it the focus; say so anyway, and wait until it has it.
    sway_ipc '[app_id="l3afpad"] focus' >/dev/null
    wait_for 3 has_focus l3afpad || fail "l3afpad did not get the focus"
}
