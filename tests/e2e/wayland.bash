# Shared helpers for the end-to-end scripts on Wayland: a headless sway of their own and its clients,
# independent of any X display. Source it; it expects $1 = wordwisp binary, $2 = artifacts dir.
source "$(dirname "${BASH_SOURCE[0]}")/wayland_common.bash"

WL_PEER="$(dirname "$WORDWISP_BIN")/tests/wl_peer"
for tool in sway swaymsg wtype; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
[ -x "$WL_PEER" ] || { echo "SKIP: this build has no Wayland ($WL_PEER is missing)"; exit 77; }

sway_ipc() { SWAYSOCK="$SWAYSOCK" swaymsg "$@"; }
# True when a window of app id $1 is mapped; when it has the focus.
has_window() { sway_ipc "[app_id=\"$1\"] nop" >/dev/null; }
has_focus() { sway_ipc "[app_id=\"$1\" con_id=__focused__] nop" >/dev/null; }

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
    start_hold "$WL_PEER" hold
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
keys() { hold_says "$*" >/dev/null || fail "keys $*"; }
type_text() { as_client wtype -d 5 -- "$1" || fail "wtype $1"; }

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
