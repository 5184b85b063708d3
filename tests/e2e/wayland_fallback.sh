#!/usr/bin/env bash
# A Wayland session whose compositor lets no program watch the clipboard or type (as GNOME's): Wordwisp
# says so once, in a box, puts its window on the X server (XWayland there, Xvfb here) and expands in X11
# windows as usual, pasting only into the program the keyword was copied from.
#   wayland_fallback.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
export LC_ALL=C.UTF-8
bare="$(dirname "$WORDWISP_BIN")/tests/wl_bare"
[ -x "$bare" ] || { echo "SKIP: this build has no Wayland ($bare is missing)"; exit 77; }

report() {
    screenshot wayland-fallback-failure.png 2>/dev/null || true
    echo "--- wordwisp log"; cat "$E2E_TMP/wordwisp.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; e2e_cleanup; exit $status' EXIT

runtime="$E2E_TMP/runtime"
mkdir -m 700 "$runtime"
XDG_RUNTIME_DIR="$runtime" "$bare" >"$E2E_TMP/bare.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 5 grep -q wayland "$E2E_TMP/bare.log" || fail "wl_bare did not start: $(cat "$E2E_TMP/bare.log")"

home="$E2E_TMP/home"
mkdir -p "$home/Db/Work"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"
XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$(head -1 "$E2E_TMP/bare.log")" WORDWISP_HOME="$home" \
    "$WORDWISP_BIN" >"$E2E_TMP/wordwisp.log" 2>&1 &
WORDWISP_PID=$!
E2E_PIDS+=("$WORDWISP_PID")

# The window came up on the X server, with the box over it: two windows of ours.
windows() { xdotool search --onlyvisible --pid "$WORDWISP_PID" 2>/dev/null || true; }
two_windows() { [ "$(windows | wc -l)" -ge 2 ]; }
wait_for 10 two_windows || fail "no box told of the desktop: $(windows | wc -l) window(s)"
main=$(find_window '^Wordwisp$') || fail "the Wordwisp window is not on the X server"
sleep 0.3
screenshot wayland-fallback-box.png
box=$(windows | grep -vx "$main" | head -1)
xdotool windowfocus --sync "$box" key Return
one_window() { [ "$(windows | wc -l)" -eq 1 ]; }
wait_for 5 one_window || fail "the box did not close"

# And the X11 backend works: a keyword copied in l3afpad is expanded.
start_editor 560 0
xdotool type --delay 10 sig
xdotool key shift+Home ctrl+c
wait_for 3 clipboard_is "Best regards" || fail "sig was not expanded: $(xclip -o -selection clipboard 2>/dev/null)"
saved_as "Best regards" || fail "the expansion did not land in l3afpad"

# A copy that another program made (xclip here; a copy in a native window reaches XWayland the same way,
# owned by the compositor) is expanded but not pasted into the X11 window that has the focus: the text
# waits on the clipboard, and a box says so, once.
printf sig | xclip -selection clipboard
wait_for 3 clipboard_is "Best regards" || fail "the copy of another program was not expanded"
wait_for 5 two_windows || fail "no box said that the expansion was left on the clipboard"
box=$(windows | grep -vx "$main" | head -1)
xdotool windowfocus --sync "$box" key Return
wait_for 5 one_window || fail "the box did not close"
xdotool windowfocus --sync "$EDITOR"
saved_as "Best regards" || fail "an expansion was pasted into a window the copy did not come from"
# The user's own Ctrl+V pastes it.
xdotool key ctrl+v
saved_as "Best regardsBest regards" || fail "the expansion left on the clipboard could not be pasted by hand"
printf sig | xclip -selection clipboard
wait_for 3 clipboard_is "Best regards" || fail "the second copy of another program was not expanded"
sleep 0.5
one_window || fail "the box came again"
echo "PASS: the box said so once, the window is on X11, sig expanded; another program's copy waits on the clipboard"
