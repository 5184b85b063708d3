# Shared helpers for the end-to-end scripts on GNOME's Wayland session: a headless mutter of their own
# with its XWayland, under a session bus of their own. Source it; it expects $1 = wordwisp binary, $2 =
# artifacts dir. The script that sources it runs once more inside private mount and network namespaces
# (made here, as root): its own /tmp, so XWayland's display number and lock files are its own, and no
# traffic leaves the machine. Mutter and every client run as nobody.
set -uo pipefail
export LC_ALL=C.UTF-8

# Debian's own python3, which has the GObject bindings (another one may come first in PATH).
GN_PYTHON=/usr/bin/python3
for tool in mutter Xwayland l3afpad xclip xdotool dbus-daemon unshare setpriv; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
"$GN_PYTHON" -c 'import gi; gi.require_version("Gio", "2.0")' 2>/dev/null || { echo "SKIP: python3-gi is missing"; exit 77; }
if [ -z "${GN_INSIDE:-}" ]; then
    [ "$(id -u)" -eq 0 ] || { echo "SKIP: the namespaces of this test need root"; exit 77; }
    unshare --mount --net --propagation private true 2>/dev/null || { echo "SKIP: unshare is refused here"; exit 77; }
    GN_INSIDE=1 exec unshare --mount --net --propagation private -- bash "$0" "$@"
fi

WORDWISP_BIN=$(readlink -f "$1")
ARTIFACTS=$(mkdir -p "$2" && readlink -f "$2")
GN_KEYS_PY=$(readlink -f "$(dirname "${BASH_SOURCE[0]}")/tools/mutter_keys.py")
# What the test reads or writes from the old /tmp (a checkout or a build there) is bound back into the new.
gn_outside=("$(readlink -f "$(dirname "${BASH_SOURCE[0]}")/../..")" "$(dirname "$WORDWISP_BIN")" "$ARTIFACTS")
exec {gn_old_tmp}</tmp
mount -t tmpfs -o mode=1777 tmpfs /tmp || { echo "SKIP: no private /tmp"; exit 77; }
for gn_path in "${gn_outside[@]}"; do
    case $gn_path in
    /tmp/*)
        mkdir -p "$gn_path"
        # Not canonicalised: that would turn the old /tmp's path into the new one's.
        mount --no-canonicalize --bind "/proc/self/fd/$gn_old_tmp/${gn_path#/tmp/}" "$gn_path" ||
            { echo "FAIL: cannot bind $gn_path back into the private /tmp" >&2; exit 1; }
        ;;
    esac
done
exec {gn_old_tmp}<&-
ip link set lo up 2>/dev/null
GN_TMP=$(mktemp -d)
chmod 755 "$GN_TMP"
GN_RUNTIME="$GN_TMP/runtime"
mkdir -m 700 "$GN_RUNTIME" "$GN_TMP/home"
mkdir -m 1777 /tmp/.X11-unix
chown nobody:nogroup "$GN_RUNTIME" "$GN_TMP/home"
GN_PIDS=()
GN_NS=$(readlink /proc/$$/ns/mnt)

gn_cleanup() {
    # Clients first, mutter and the bus last; then whatever they started themselves (XWayland, services
    # the bus started): every other process in this mount namespace is the test's.
    local i p
    for ((i = ${#GN_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${GN_PIDS[i]}" 2>/dev/null
        wait "${GN_PIDS[i]}" 2>/dev/null
    done
    for p in /proc/[0-9]*; do
        p=${p#/proc/}
        [ "$p" != $$ ] && [ "$(readlink "/proc/$p/ns/mnt" 2>/dev/null)" = "$GN_NS" ] && kill -9 "$p" 2>/dev/null
    done
    rm -rf "$GN_TMP"
}
trap gn_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

wait_for() { # seconds, command...
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# The command line that runs a command as nobody with the session's environment only (NAME=value ...
# may come first), in CLIENT.
client_command() {
    CLIENT=(setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH="$PATH" LC_ALL="$LC_ALL"
            HOME="$GN_TMP/home" XDG_RUNTIME_DIR="$GN_RUNTIME" XDG_CONFIG_HOME="$GN_TMP/home/.config"
            GSETTINGS_BACKEND=memory DBUS_SESSION_BUS_ADDRESS="unix:path=$GN_RUNTIME/bus"
            ${GN_WAYLAND:+WAYLAND_DISPLAY="$GN_WAYLAND"} ${GN_DISPLAY:+DISPLAY="$GN_DISPLAY" XAUTHORITY="$GN_XAUTH"})
}
as_client() {
    client_command
    "${CLIENT[@]}" "$@"
}
# The same in the background, ended by the cleanup; sets GN_PID, the client's own process id (setpriv and
# env exec it; a function run in the background would be a subshell that a kill leaves the client behind).
start_client() { # log, command...
    local log=$1
    shift
    client_command
    "${CLIENT[@]}" "$@" >"$log" 2>&1 &
    GN_PID=$!
    GN_PIDS+=("$GN_PID")
}

# The bus, mutter, its XWayland (started by a first X client) and the test's keyboard: a session of its
# own that lives as long as mutter does. Sets GN_WAYLAND, GN_DISPLAY, GN_XAUTH and GN_KEYS_PATH.
start_mutter() {
    start_client "$GN_TMP/dbus.log" dbus-daemon --session --nofork --nopidfile --address="unix:path=$GN_RUNTIME/bus"
    wait_for 5 test -S "$GN_RUNTIME/bus" || fail "the session bus did not start: $(cat "$GN_TMP/dbus.log")"
    start_client "$GN_TMP/mutter.log" mutter --wayland --headless --virtual-monitor 1280x800 --wayland-display wayland-gn
    wait_for 15 grep -q 'Using public X11 display' "$GN_TMP/mutter.log" ||
        { tail "$GN_TMP/mutter.log"; fail "mutter did not start"; }
    GN_WAYLAND=wayland-gn
    GN_DISPLAY=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$GN_TMP/mutter.log" | head -n1)
    GN_XAUTH=$(find "$GN_RUNTIME" -maxdepth 1 -name '.mutter-Xwaylandauth.*' | head -n1)
    wait_for 10 as_client xprop -root -len 1 _NET_SUPPORTING_WM_CHECK || fail "XWayland on $GN_DISPLAY does not answer"
    mkfifo "$GN_TMP/keys.in" "$GN_TMP/keys.out"
    exec {GN_KEYS_IN}<>"$GN_TMP/keys.in" {GN_KEYS_OUT}<>"$GN_TMP/keys.out"
    client_command
    "${CLIENT[@]}" "$GN_PYTHON" "$GN_KEYS_PY" hold <&$GN_KEYS_IN >&$GN_KEYS_OUT 2>"$GN_TMP/keys.log" &
    GN_PIDS+=($!)
    local ready=""
    read -r -t 5 -u $GN_KEYS_OUT ready GN_KEYS_PATH
    [ "$ready" = ready ] || fail "mutter_keys.py: ${ready:-no answer} $(cat "$GN_TMP/keys.log")"
}

# Tells the test's keyboard: keys shift+Home ctrl+c, type TEXT, down Control_L, up Control_L.
keyboard() {
    local reply=""
    echo "$*" >&$GN_KEYS_IN
    read -r -t 5 -u $GN_KEYS_OUT reply
    [ "$reply" = ok ] || fail "$*: ${reply:-no answer} $(cat "$GN_TMP/keys.log")"
}
keys() { keyboard keys "$@"; }
type_text() { keyboard type "$1"; }

# The CLIPBOARD's text as the X side sees it, byte for byte; nothing after a second from an owner that
# does not answer.
clipboard() {
    local text
    text=$(as_client timeout 1 xclip -o -selection clipboard 2>/dev/null; printf x)
    printf '%s' "${text%x}"
}
clipboard_is() { [ "$(clipboard; printf x)" = "${1}x" ]; }
# The remote-desktop sessions that run, the test's own keyboard left out.
other_sessions() { as_client "$GN_PYTHON" "$GN_KEYS_PY" sessions | grep -vx "$GN_KEYS_PATH"; }
no_sessions() { [ -z "$(other_sessions)" ]; }

save_keys() { keys ctrl+s; }
ROUNDS_TMP=$GN_TMP
source "$(dirname "${BASH_SOURCE[0]}")/rounds.bash"

# Starts Wordwisp on the store folder $1 as GNOME starts it (no QT_QPA_PLATFORM: it picks XWayland
# itself); more NAME=value may follow. Sets WORDWISP_PID once its window is up.
start_wordwisp() {
    local home=$1
    shift
    start_client "$GN_TMP/wordwisp.log" WORDWISP_HOME="$home" "$@" "$WORDWISP_BIN"
    WORDWISP_PID=$GN_PID
    wait_for 10 as_client xdotool search --onlyvisible --name '^Wordwisp$' || fail "the Wordwisp window did not appear"
}

# Starts the native (Wayland) l3afpad on the file $1, which must be empty, and waits until typed keys
# reach it: mutter gives the newest window the focus.
start_editor() {
    DOC=$1
    start_client "$GN_TMP/l3afpad.log" GDK_BACKEND=wayland GTK_IM_MODULE=gtk-im-context-simple l3afpad "$DOC"
    sleep 0.5
    local deadline=$((SECONDS + 10))
    until type_text x && saved_as x >/dev/null; do
        [ $SECONDS -ge $deadline ] && fail "the native l3afpad never took keys"
    done
    keys BackSpace
    saved_as "" || fail "l3afpad did not empty"
}
