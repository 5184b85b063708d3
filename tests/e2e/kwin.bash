# Shared helpers for the end-to-end scripts under KDE Plasma's compositor: a headless KWin 5.27 of their
# own, with XWayland on an X display the test picks, and its clients, all in a network namespace of their
# own. Source it; it expects $1 = wordwisp binary, $2 = artifacts dir.
source "$(dirname "${BASH_SOURCE[0]}")/wayland_common.bash"

KDE_PEER="$(dirname "$WORDWISP_BIN")/tests/kde_peer"
X_DISPLAY_TOOL="$(dirname "${BASH_SOURCE[0]}")/tools/x_display.py"
for tool in kwin_wayland Xwayland xdpyinfo python3 dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x "$KDE_PEER" ] || { echo "SKIP: this build has no Wayland ($KDE_PEER is missing)"; exit 77; }

# KWin and its clients share one home: KWin finds the clients' desktop files in its own data folders.
WL_CLIENT_ENV=(XDG_DATA_HOME="$WL_TMP/home/.local/share" XDG_CONFIG_HOME="$WL_TMP/home/.config")
KWIN_APPS="$WL_TMP/home/.local/share/applications"
# Where the search for a free X display starts; XWayland gets the first one no server holds.
KWIN_FIRST_X_DISPLAY=${KWIN_FIRST_X_DISPLAY:-60}
KWIN_INTERFACES=org_kde_kwin_fake_input,org_kde_plasma_window_management

# Installs a desktop file for the executable $2 (an absolute path: KWin matches the client's executable
# with Exec) under the name $1, listing the restricted interfaces $3 that KWin then offers it. Files written
# while KWin runs count for new connections about 1.5 s later.
kwin_desktop_file() { # name, executable, interfaces
    mkdir -p "$KWIN_APPS"
    printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s\nNoDisplay=true\nX-KDE-Wayland-Interfaces=%s\n' \
        "$1" "$2" "$3" >"$KWIN_APPS/$1.desktop"
    chown "$WL_OWNER" "$KWIN_APPS/$1.desktop"
}

# Starts KWin: a copy of kwin_wayland (Debian's carries a file capability that exec refuses in a container
# whose bounding set lacks it), one virtual output, software GL, its own session bus, XWayland on sockets
# opened here. Then the peer that types and lists windows, trusted through its own desktop file, as a real
# user's program would be. Sets WL_DISPLAY, X_DISPLAY (":N") and KWIN_PID; clients get DISPLAY too.
#   start_kwin [--desktop-file FILE]... [--no-permission-checks]
# --desktop-file installs FILE before KWin starts; --no-permission-checks offers the restricted interfaces
# to every client (KWIN_WAYLAND_NO_PERMISSION_CHECKS), for tests only.
start_kwin() {
    local kwin_env=(LIBGL_ALWAYS_SOFTWARE=1)
    mkdir -p "$KWIN_APPS" "$WL_TMP/home/.config"
    while [ $# -gt 0 ]; do
        case $1 in
            --desktop-file) cp "$2" "$KWIN_APPS/" && shift ;;
            --no-permission-checks) kwin_env+=(KWIN_WAYLAND_NO_PERMISSION_CHECKS=1) ;;
            *) fail "start_kwin: unknown option $1" ;;
        esac
        shift
    done
    kwin_desktop_file kde_peer "$KDE_PEER" "$KWIN_INTERFACES"
    chown -R "$WL_OWNER" "$WL_TMP/home"
    cp /usr/bin/kwin_wayland "$WL_TMP/kwin_wayland"
    enter_network_namespace
    start_session_bus
    local socket="wayland-kw$((RANDOM % 9000 + 1000))" begin_ms=$(($(date +%s%N) / 1000000))
    # The sockets are opened as root inside the namespace, KWin then runs as the clients' user.
    local ns=("${WL_NS[@]}")
    WL_NS=()
    client_command
    WL_NS=("${ns[@]}")
    "${WL_NS[@]}" python3 "$X_DISPLAY_TOOL" "$KWIN_FIRST_X_DISPLAY" "$WL_TMP/x-display" -- \
        "${CLIENT[@]}" "${kwin_env[@]}" "$WL_TMP/kwin_wayland" --virtual --socket "$socket" --no-lockscreen \
        --no-global-shortcuts --no-kactivities --xwayland --xwayland-fd '{fd}' --xwayland-fd '{fd}' \
        --xwayland-display ':{display}' >"$WL_TMP/kwin.log" 2>&1 &
    KWIN_PID=$!
    WL_PIDS+=("$KWIN_PID")
    kwin_up() { [ -S "$WL_RUNTIME/$socket" ] && [ -s "$WL_TMP/x-display" ]; }
    kwin_settled() { kwin_up || ! kill -0 "$KWIN_PID"; }
    wait_for 20 kwin_settled
    local wayland_ms=$(($(date +%s%N) / 1000000 - begin_ms)) n
    # The display's lock and socket are ours to remove from the moment they exist, KWin up or not.
    n=$(cat "$WL_TMP/x-display" 2>/dev/null)
    [ -n "$n" ] && WL_LEFTOVERS+=("/tmp/.X$n-lock" "/tmp/.X11-unix/X$n")
    kwin_up || { cat "$WL_TMP/kwin.log"; fail "KWin did not start"; }
    X_DISPLAY=":$n"
    WL_DISPLAY=$socket
    WL_CLIENT_ENV+=(DISPLAY="$X_DISPLAY")
    wait_for 20 as_client xdpyinfo || { tail -20 "$WL_TMP/kwin.log"; fail "XWayland does not answer on $X_DISPLAY"; }
    KWIN_START_MS=$(($(date +%s%N) / 1000000 - begin_ms))
    # One keyboard for all the keys of the test, as a user has.
    start_hold "$KDE_PEER" hold
    hold_says windows >/dev/null || fail "KWin did not offer kde_peer its window list: $(cat "$WL_TMP/hold.log")"
    echo "KWin up: Wayland in $wayland_ms ms, XWayland on $X_DISPLAY in $KWIN_START_MS ms"
}

# Presses key combos in the focused window, xdotool style: keys shift+Home ctrl+c.
keys() { hold_says "keys $*" >/dev/null || fail "keys $*"; }
# Types UTF-8 text; see kde_peer for the characters no key gives.
type_text() { hold_says "type $1" >/dev/null || fail "type $1"; }
# Presses or releases one key only, as a user holding it: key_down Control_L.
key_down() { hold_says "down $1" >/dev/null || fail "down $1"; }
key_up() { hold_says "up $1" >/dev/null || fail "up $1"; }

# The windows, one a line: "active|- APP_ID PID TITLE".
windows() { hold_says windows; }
# True when a window of app id or pid $1 is mapped; when it is the active one.
has_window() { windows | awk -v w="$1" '$2 == w || $3 == w { found = 1 } END { exit !found }'; }
has_focus() { windows | awk -v w="$1" '$1 == "active" && ($2 == w || $3 == w) { found = 1 } END { exit !found }'; }
# Asks KWin to activate the window of app id or pid $1 and waits until it is active.
activate() {
    hold_says "activate $1" >/dev/null && wait_for 3 has_focus "$1" ||
        fail "$1 did not get the focus: $(windows)"
}

# Starts Wordwisp on the store folder $1 (its Db inside) with the environment given after it (NAME=value
# ...; QT_QPA_PLATFORM=wayland, say): without one the program picks its platform, as from a menu.
# Sets WORDWISP_PID.
start_wordwisp() { # store, [NAME=value]...
    start_client "$WL_TMP/wordwisp.log" WORDWISP_HOME="$1" "${@:2}" "$WORDWISP_BIN"
    WORDWISP_PID=$WL_PID
    wait_for 10 has_window "$WORDWISP_PID" || fail "the Wordwisp window did not appear: $(windows)"
}

# Starts l3afpad on the file $1, natively or (start_x_editor) on XWayland, and waits until it is active.
# Sets EDITOR_PID, X_EDITOR_PID.
start_editor() {
    start_l3afpad wayland "$1"
    EDITOR_PID=$WL_PID
}
start_x_editor() {
    start_l3afpad x11 "$1"
    X_EDITOR_PID=$WL_PID
}
start_l3afpad() { # GDK backend, file
    start_client "$WL_TMP/l3afpad-$1.log" GDK_BACKEND="$1" l3afpad "$2"
    wait_for 10 has_window "$WL_PID" || fail "l3afpad ($1) did not appear: $(windows)"
    activate "$WL_PID"
}
