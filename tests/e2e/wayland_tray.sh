#!/usr/bin/env bash
# The tray under a headless sway, with swaybar as the StatusNotifierItem host on a session bus of its own:
# "*" docks the window and an icon shows in the bar, a click on the icon opens the tray menu, and a key
# chosen there from the keyboard lands once in l3afpad, which has the focus back.
# swaybar 1.7 has no dbusmenu, so a click only calls Activate and the menu is Qt's own. Qt has no input
# serial of its own to open it as a popup with, so it maps it as a toplevel that sway tiles and
# focuses; the test goes by that, and by the focus coming back when the menu goes.
#   wayland_tray.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/wayland.bash"
for tool in swaybar dbus-daemon dbus-send python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

report() {
    sway_ipc -t get_tree >"$ARTIFACTS/wayland-tray-tree.json" 2>/dev/null
    echo "--- the editor's file, last saved"; od -c "$DOC" | tail -6
    echo "--- wordwisp log"; cat "$WL_TMP/wordwisp.log"
    echo "--- sway log"; tail -20 "$WL_TMP/sway.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; wl_cleanup; exit $status' EXIT

home="$WL_TMP/home/wordwisp"
db="$home/Db"
mkdir -p "$db/Work" "$WL_TMP/doc"
printf 'Work\r\n' >"$db/Cat.ini"
printf 'Yours\r\n*/ not pasted\r\nJo\r\n' >"$db/Work/memo"
printf 'Best regards\r\n' >"$db/Work/sig"
DOC="$WL_TMP/doc/doc.txt"
: >"$DOC"
chown -R "$WL_OWNER" "$home" "$WL_TMP/doc"

start_session_bus
# The bar with nothing but the tray in its right end.
WL_SWAY_CONFIG='bar {
    mode dock
    position top
    tray_output *
    status_command true
}'
start_sway
start_pointer
start_wordwisp "$home"
sleep 0.3

# The top left corner of the content of the one window of app id $1, and the bar's height: where the
# workspace begins.
window_origin() {
    sway_ipc -t get_tree | python3 -c '
import json, sys
def walk(n):
    if n.get("type") == "workspace" and n["name"] == "1":
        print("bar_height=%d" % n["rect"]["y"])
    if n.get("app_id") == sys.argv[1]:
        print("win_x=%d win_y=%d" % (n["rect"]["x"] + n["window_rect"]["x"], n["rect"]["y"] + n["window_rect"]["y"]))
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))' "$1"
}
icon_registered() {
    as_client dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems | grep -q StatusNotifierItem
}
wordwisp_gone() { ! has_window wordwisp; }

# "*" docks the window: it goes, and the icon is registered with swaybar's watcher. The window floats, as
# on most desktops: there a press that reached the title bar would start a move and lose the click.
sway_ipc '[app_id="wordwisp"] floating enable' >/dev/null
sleep 0.3
eval "$(window_origin wordwisp)"
click_at $((win_x + 84)) $((win_y + 12))
wait_for 5 wordwisp_gone || fail "\"*\" did not hide the window"
wait_for 5 icon_registered || fail "no tray icon was registered with swaybar"
[ "${bar_height:-0}" -gt 0 ] || fail "swaybar took no room at the top"
# The only icon in the tray sits at the bar's right end, as wide as the bar is high.
icon_x=$((1280 - bar_height / 2 - 1))
icon_y=$((bar_height / 2))

start_editor "$DOC"
sleep 0.3
type_text "Dear team,"
keys Return

# A click on the icon opens the menu; Down Right Return chooses the first key, pasted once a second
# later with its comment line left out.
click_at "$icon_x" "$icon_y"
wait_for 5 has_focus wordwisp || fail "a click on the icon at $icon_x,$icon_y opened no menu"
# swaybar draws no menu: Qt's menu comes as a window of its own, which sway must float at its size.
sway_ipc -t get_tree >"$WL_TMP/menu-tree.json"
python3 -c '
import json, sys
def walk(n):
    for c in n.get("floating_nodes", []):
        if c.get("app_id") == "wordwisp": sys.exit(0)
    for c in n.get("nodes", []): walk(c)
walk(json.load(open(sys.argv[1])))
sys.exit(1)' "$WL_TMP/menu-tree.json" || fail "the menu was tiled over half the screen, not floated at its size"
sleep 0.2
keys Down Right
sleep 0.2
keys Return
wait_for 3 has_focus l3afpad || fail "the focus did not come back to l3afpad when the menu closed"
sleep 1.6
saved_as $'Dear team,\nYours\nJo' || fail "the chosen key was not pasted exactly once"
# Wordwisp's text, or the editor's own copy of it: GTK takes the clipboard back after a paste.
clipboard_is $'Yours\r\nJo' || clipboard_is $'Yours\nJo' || fail "the clipboard holds $(clipboard | od -c | head -3) after the key"
has_window wordwisp && fail "the menu or the window is still on screen"
echo "key from the tray menu: pasted once, l3afpad has the focus"
