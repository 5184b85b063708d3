#!/usr/bin/env bash
# The way back from the tray on XFCE: xfwm4 and xfce4-panel with its notification area, on a session bus
# of their own and with a panel configuration of their own. Round after round "*" puts the window away,
# and after a varied wait one of the ways back brings it back: a second start, "wordwisp --show", "In
# Focus..." from the tray menu, or the panel going away (and twice "-" to the task bar instead of "*").
# Every round the window must end mapped, in the normal state, at its size, above the editor that covered
# it and active. The icon is a StatusNotifierItem first, then an XEmbed one. Half the rounds run with
# xfwm4 slowed down by strace, as on a busy desktop: it then iconifies and withdraws the window in two
# steps the program sees apart, which is when the window used to come back iconic, with no task bar
# button to reach it.
#   xfce_tray.sh <wordwisp binary> <artifacts dir>
# Everything runs in a network namespace of its own: the X display and the bus are reached by their
# socket files, and nothing gets out.
if [ -z "${XFCE_TRAY_NETNS:-}" ] && [ -n "${DISPLAY:-}" ] && unshare --net true 2>/dev/null; then
    XFCE_TRAY_NETNS=1 exec unshare --net bash "$0" "$@"
fi
source "$(dirname "$0")/common.bash"
for tool in xfwm4 xfce4-panel dbus-daemon dbus-send xprop xwininfo xdotool l3afpad import; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done

report() {
    screenshot xfce-tray-failure.png 2>/dev/null || true
    echo "--- wordwisp log"; cat "$E2E_TMP/wordwisp.log"
    echo "--- xfwm4 log"; tail -5 "$E2E_TMP/xfwm4.log"
    echo "--- panel log"; tail -5 "$E2E_TMP/panel.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; e2e_cleanup; exit $status' EXIT

# A home, runtime folder and configuration of our own: the panel reads its channel from there through
# xfconfd, which the bus starts on demand, and the single-instance socket lives in the runtime folder.
export HOME="$E2E_TMP/user" XDG_CONFIG_HOME="$E2E_TMP/user/config" XDG_CACHE_HOME="$E2E_TMP/user/cache"
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -p "$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cat >"$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="28"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
EOF

dbus-daemon --session --nofork --nopidfile --address="unix:path=$XDG_RUNTIME_DIR/bus" >"$E2E_TMP/dbus.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 5 test -S "$XDG_RUNTIME_DIR/bus" || fail "the session bus did not start"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
bus_has() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.ListNames |
        grep -q "\"$1\""
}

xfwm4 >"$E2E_TMP/xfwm4.log" 2>&1 &
XFWM4_PID=$!
E2E_PIDS+=("$XFWM4_PID")
wait_for 10 xprop -root _NET_SUPPORTING_WM_CHECK || fail "xfwm4 did not start"
# The window manager's check window is another window of xfwm4's once it runs; until then another
# window manager's may be left.
sleep 0.5

start_panel() {
    xfce4-panel >>"$E2E_TMP/panel.log" 2>&1 &
    PANEL_PID=$!
    E2E_PIDS+=("$PANEL_PID")
    wait_for 10 bus_has org.kde.StatusNotifierWatcher || fail "the panel's notification area did not start"
}
start_panel

home="$E2E_TMP/home"
mkdir -p "$home/Db/Work"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"

main=""
editor=0
# Starts Wordwisp, with the bus given (a StatusNotifierItem) or without any (an XEmbed icon).
start_ours() {
    if [ "$1" = sni ]; then
        start_wordwisp "$home"
    else
        DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_TMP/no-bus" start_wordwisp "$home"
    fi
    main=$(find_window '^Wordwisp$') || fail "the Wordwisp window did not appear"
    # Whether a window manager that has only just started gives a new window the focus is its own affair;
    # the rounds begin from the window in front and active.
    mapped_normal() { [ "$(window_state)" = Normal ] && [ "$(map_state)" = IsViewable ]; }
    wait_for 5 mapped_normal || fail "the window did not start mapped and normal: $(describe)"
    xdotool windowactivate --sync "$main"
    wait_for 5 is_back || fail "the window did not come in front and active: $(describe)"
    eval "$(xdotool getwindowgeometry --shell "$main")"
    size="${WIDTH}x$HEIGHT"
    # The editor covers the window's place.
    if [ "$editor" != 0 ]; then xdotool windowmove "$editor" "$X" "$Y"; fi
}

window_state() { xprop -id "$main" WM_STATE 2>/dev/null | awk '/window state:/ {print $3}'; }
map_state() { xwininfo -id "$main" 2>/dev/null | awk '/Map State:/ {print $3}'; }
net_state() { xprop -id "$main" _NET_WM_STATE 2>/dev/null; }
active() { printf '%d' "$(xprop -root _NET_ACTIVE_WINDOW | awk '{print $5}' | tr -d ,)"; }
# True when the window is above the editor in the window manager's stacking order (the panel, a dock, is
# above both).
above_editor() {
    xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //' | tr -d ' ' | tr , '\n' |
        while read -r id; do printf '%d\n' "$id"; done | grep -xE "$main|$editor" | tail -n 1 | grep -qx "$main"
}
current_size() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    echo "${WIDTH}x$HEIGHT"
}
# Back as the user must see it: mapped, normal, not hidden, on top of every other window and active.
is_back() {
    [ "$(window_state)" = Normal ] && [ "$(map_state)" = IsViewable ] && ! net_state | grep -q HIDDEN &&
        above_editor && [ "$(active)" = "$main" ]
}
describe() {
    echo "WM_STATE $(window_state), $(map_state), $(net_state | sed 's/.*= //'), size $(current_size)," \
        "active $(active), $(above_editor && echo above || echo under) the editor, $(xprop -id "$main" WM_HINTS | grep -o 'Initial state is [A-Za-z]*')"
}
# Our windows on screen besides the main one: the icon (XEmbed) and the menu while it is open.
others() { xdotool search --onlyvisible --pid "$WORDWISP_PID" 2>/dev/null | grep -vx "$main" || true; }
hidden() { [ "$(map_state)" = IsUnMapped ]; }
sni_items() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems 2>/dev/null | grep -c StatusNotifierItem
}
icon_shown() {
    if [ "$route" = sni ]; then [ "$(sni_items)" -ge 1 ]; else [ -n "$(others)" ]; fi
}
icon_gone() {
    if [ "$route" = sni ]; then [ "$(sni_items)" -eq 0 ]; else [ -z "$(others)" ]; fi
}
menu_open() { [ -n "$(others | grep -vx "${icon:-0}")" ]; }


# xfwm4 slowed down or at full speed.
SLOW_PID=""
slow_wm() {
    [ -n "$SLOW_PID" ] && return
    command -v strace >/dev/null || return 0
    strace -f -p "$XFWM4_PID" -o /dev/null 2>/dev/null &
    SLOW_PID=$!
    E2E_PIDS+=("$SLOW_PID")
    sleep 0.3
}
fast_wm() {
    [ -z "$SLOW_PID" ] && return
    kill "$SLOW_PID" 2>/dev/null
    wait "$SLOW_PID" 2>/dev/null || true
    SLOW_PID=""
}

way_second_start() {
    timeout 3 env WORDWISP_HOME="$home" "$WORDWISP_BIN" >"$E2E_TMP/second.log" 2>&1 ||
        echo "  the second start failed: $(cat "$E2E_TMP/second.log")"
}
way_show() {
    timeout 3 "$WORDWISP_BIN" --show >"$E2E_TMP/show.log" 2>&1 || echo "  --show failed: $(cat "$E2E_TMP/show.log")"
}
way_in_focus() {
    local x=12 y=14
    if [ "$route" = xembed ]; then
        icon=$(others | head -n 1)
        eval "$(xdotool getwindowgeometry --shell "$icon")"
        x=$((X + WIDTH / 2))
        y=$((Y + HEIGHT / 2))
    fi
    xdotool mousemove "$x" "$y" click 1
    if ! wait_for 5 menu_open; then
        echo "  a click on the icon opened no menu"
        return
    fi
    xdotool mousemove 640 700
    sleep 0.2
    xdotool key Down Down Down Return
}
way_panel_gone() {
    kill "$PANEL_PID"
    wait "$PANEL_PID" 2>/dev/null || true
    # The program looks for the tray every two seconds.
    wait_for 6 is_back || true
    start_panel
}

failed=0
rounds=0
# One round: "*", the wait, the way back, and the window checked for up to 4 s.
# With "-" instead of "*" as the third argument the window is only minimised, to the task bar.
round() { # way, wait in seconds[, -]
    local way=$1 pause=$2 away=${3:-*}
    rounds=$((rounds + 1))
    if [ "$away" = - ]; then
        xdotool mousemove --window "$main" 60 12 click 1
        wait_for 5 hidden || fail "round $rounds: \"-\" did not minimise the window: $(describe)"
    else
        xdotool mousemove --window "$main" 84 12 click 1
        if ! wait_for 5 hidden || ! wait_for 5 icon_shown; then
            fail "round $rounds: \"*\" did not put the window into the tray: $(describe)"
        fi
    fi
    # The editor has the focus while the window is away, and is above where it was.
    xdotool windowactivate --sync "$editor" 2>/dev/null || true
    sleep "$pause"
    "way_$way"
    if ! wait_for 4 is_back || [ "$(current_size)" != "$size" ] || ! wait_for 3 icon_gone; then
        failed=$((failed + 1))
        echo "round $rounds ($route, \"$away\", $way after ${pause}s${SLOW_PID:+, slow xfwm4}): NOT BACK: $(describe)"
        # Brought back by hand for the next round, as a user with a pager would.
        xdotool windowactivate "$main" 2>/dev/null || true
        wait_for 4 is_back || fail "the window could not be brought back at all: $(describe)"
    else
        echo "round $rounds ($route, \"$away\", $way after ${pause}s${SLOW_PID:+, slow xfwm4}): back"
    fi
}

ways=(second_start in_focus show)
waits=(1 0.3 1.5 0.6 1 3 0.2 1 0.8 2 1 0.4)
route=sni
start_ours sni
start_editor 0 0
editor=$EDITOR
xdotool windowmove "$editor" "$X" "$Y"
xdotool windowactivate --sync "$main"
wait_for 5 is_back || fail "the window did not come above the editor: $(describe)"
for i in "${!waits[@]}"; do
    [ $((i % 2)) -eq 1 ] && slow_wm || fast_wm
    round "${ways[i % ${#ways[@]}]}" "${waits[i]}"
done
fast_wm
round panel_gone 1
# Minimised to the task bar, not the tray: a second start and --show bring it back the same.
round second_start 0.5 -
slow_wm
round show 1 -
fast_wm
screenshot xfce-tray.png

# The same ways with the icon docked by XEmbed.
timeout 15 "$WORDWISP_BIN" --quit || fail "--quit did not end the first Wordwisp"
wait "$WORDWISP_PID" 2>/dev/null || true
route=xembed
start_ours xembed
waits=(1 0.5 1 0.3 2 1 0.7 1)
for i in "${!waits[@]}"; do
    [ $((i % 2)) -eq 1 ] && slow_wm || fast_wm
    round "${ways[i % ${#ways[@]}]}" "${waits[i]}"
done
fast_wm
round panel_gone 1

[ "$failed" -eq 0 ] || fail "the window did not come back in $failed of $rounds rounds"
echo "all $rounds rounds: the window came back normal, on top, active and at its size"
