#!/usr/bin/env bash
# The window options under openbox, a window manager that keeps windows above others on request:
# "Always on top" keeps Wordwisp above an editor activated after it, without moving or resizing it, and
# lets it go again; "Transparent" sets the window's opacity to 200/255 and takes it back.
#   window_options.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
for tool in xdotool xprop openbox l3afpad; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done

home="$E2E_TMP/home"
mkdir -p "$home/Db/Work"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"

# Up once openbox's own check window is named: a window manager of an earlier test may have left its
# property behind. A window mapped in the very moment a window manager takes over the display can stay
# unmapped (seen with openbox right after another manager ended), so the program starts a little later.
wm_up() {
    local check
    check=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*') &&
        xprop -id "$check" _NET_WM_NAME 2>/dev/null | grep -q Openbox
}
openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 wm_up || fail "openbox did not start"
sleep 0.5

start_wordwisp "$home"
main=$(find_window '^Wordwisp$') || fail "the Wordwisp window did not appear"
l3afpad >/dev/null 2>&1 &
E2E_PIDS+=($!)
wait_for 10 xdotool search --onlyvisible --class l3afpad || fail "l3afpad did not appear"
editor=$(xdotool search --onlyvisible --class l3afpad | head -n 1)
sleep 0.5

menu_open() { [ "$(xdotool search --onlyvisible --pid "$WORDWISP_PID" 2>/dev/null | wc -l)" -ge 2 ]; }
# Chooses the n-th item of the main menu, opened from "Menù" on the toolbar.
menu_item() {
    xdotool windowactivate --sync "$main"
    eval "$(xdotool getwindowgeometry --shell "$main")"
    # A window that has only just appeared may not take the first click yet: click until the menu is up.
    for _ in 1 2 3; do
        xdotool mousemove --window "$main" 200 $((HEIGHT - 22)) click 1
        wait_for 2 menu_open && break
    done
    menu_open || fail "\"Menù\" opened no menu"
    xdotool mousemove 1200 780
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
    sleep 0.4
}
state() { xprop -id "$main" _NET_WM_STATE; }
topmost() { [ "$(xprop -root _NET_CLIENT_LIST_STACKING | awk -F', ' '{print $NF}')" = "$(printf '0x%x' "$main")" ]; }
geometry() { xdotool getwindowgeometry "$main" | tail -n 2; }

before=$(geometry)
menu_item 2
wait_for 5 bash -c "xprop -id $main _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" || fail "not kept above: $(state)"
xdotool windowactivate --sync "$editor"
sleep 0.3
topmost || fail "an editor activated later covers the window kept on top"
[ "$(geometry)" = "$before" ] || fail "always on top moved the window: $(geometry)"
screenshot options-on-top.png

menu_item 2
wait_for 5 bash -c "! xprop -id $main _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE" || fail "still above: $(state)"
xdotool windowactivate --sync "$editor"
sleep 0.3
topmost && fail "the window stayed above the editor after the option went off"
echo "always on top: on and off"

menu_item 1
opacity=$(xprop -id "$main" _NET_WM_WINDOW_OPACITY)
[[ $opacity == *" = 3368601800" ]] || fail "translucent: $opacity"
menu_item 1
opacity=$(xprop -id "$main" _NET_WM_WINDOW_OPACITY)
[[ $opacity == *"not found"* || $opacity == *" = 4294967295" ]] || fail "opaque again: $opacity"
[ "$(geometry)" = "$before" ] || fail "the options moved the window: $(geometry)"
echo "transparent: on and off"
echo "all window option checks passed"
