#!/usr/bin/env bash
# The real window under a small window manager: screenshot, drag by the title, size by the grip,
# "[]" there and back, and "X" storing the current category on the way out.
#   window_chrome.sh <wordwisp binary> <artifacts dir>
set -euo pipefail

app_bin=$1
artifacts=$2
[ -n "${DISPLAY:-}" ] || { echo "no X display: skipped"; exit 77; }
for tool in xdotool import matchbox-window-manager xprop; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/deps.sh test installs it)"; exit 1; }
done
mkdir -p "$artifacts"

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# Polls a command for up to about ten seconds.
wait_for() {
    for _ in $(seq 100); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# A tiny store; Cat.ini dated in the past so its rewrite on exit shows.
mkdir -p "$work/store/Db/Home" "$work/store/Db/Work"
printf 'Kind regards,\r\nAnna\r\n' >"$work/store/Db/Work/sig"
printf 'Work\r\n' >"$work/store/Db/Cat.ini"
touch -d '2001-01-01 00:00' "$work/store/Db/Cat.ini"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# xprop answers "not found" with success: only a window id means the manager is up. A manager that
# could not reach the display yet is started again.
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in 1 2 3; do
    matchbox-window-manager -use_titlebar no >"$work/wm.log" 2>&1 &
    wm=$!
    pids+=($wm)
    wait_for wm_up && break
    kill "$wm" 2>/dev/null || true
done
wm_up || { cat "$work/wm.log"; fail "window manager did not start"; }

WORDWISP_HOME="$work/store" "$app_bin" >"$work/app.log" 2>&1 &
app=$!
pids+=($app)

find_window() { win=$(xdotool search --onlyvisible --pid "$app" 2>/dev/null | head -1) && [ -n "$win" ]; }
wait_for find_window || fail "the main window did not appear"

# Sets x, y, w, h from the window's place on the screen.
geometry() { eval "$(xdotool getwindowgeometry --shell "$win")"; x=$X y=$Y w=$WIDTH h=$HEIGHT; }
# Waits until the window has the given geometry ("x y w h"), else reports what it has.
expect_geometry() {
    local want=$1 what=$2
    same() { geometry; [ "$x $y $w $h" = "$want" ]; }
    wait_for same || fail "$what: window at $x,$y size ${w}x$h, expected $want"
}
# Presses at one point and releases at another in small steps, like a hand would.
drag() {
    local button=$1 fx=$2 fy=$3 tx=$4 ty=$5
    xdotool mousemove "$fx" "$fy" sleep 0.2 mousedown "$button" sleep 0.1
    for i in 1 2 3 4 5; do
        xdotool mousemove $((fx + (tx - fx) * i / 5)) $((fy + (ty - fy) * i / 5)) sleep 0.05
    done
    xdotool sleep 0.2 mouseup "$button"
}

geometry
[ "$w $h" = "492 363" ] || fail "window starts at ${w}x$h, expected 492x363"
sleep 0.5 # let it paint before the picture
import -window root "$artifacts/window.png"
echo "screenshot: $artifacts/window.png"

# Drag by the title text, then by the bare title bar to the right of it.
x0=$x y0=$y
drag 1 $((x0 + 200)) $((y0 + 12)) $((x0 + 350)) $((y0 + 112))
expect_geometry "$((x0 + 150)) $((y0 + 100)) 492 363" "drag by the title"
geometry
x0=$x y0=$y
drag 3 $((x0 + 200)) $((y0 + 12)) $((x0 + 300)) $((y0 + 112))
sleep 0.3
expect_geometry "$x0 $y0 492 363" "right button on the title"

# The grip: the corner follows the pointer; back towards the top-left it stops at the minimum.
drag 1 $((x0 + 474)) $((y0 + 346)) $((x0 + 574)) $((y0 + 426))
expect_geometry "$x0 $y0 592 443" "grip drag"
drag 3 $((x0 + 574)) $((y0 + 426)) $((x0 + 10)) $((y0 + 10))
expect_geometry "$x0 $y0 492 363" "grip drag past the minimum"
import -window root "$artifacts/window-moved.png"

# "[]" fills the screen and brings the window back where it was.
xdotool mousemove $((x0 + 36)) $((y0 + 12)) click 1
screen=$(xdotool getdisplaygeometry)
expect_geometry "0 0 $screen" "full screen"
import -window root "$artifacts/window-full-screen.png"
xdotool mousemove 36 12 click 1
expect_geometry "$x0 $y0 492 363" "back from full screen"

# "-": the window goes to an icon with the dated caption, and stays there once the program has given
# the window manager time to act.
xdotool mousemove $((x0 + 60)) $((y0 + 12)) click 1
iconic() { xprop -id "$win" WM_STATE | grep -q 'window state: Iconic'; }
wait_for iconic || { xprop -id "$win" WM_STATE WM_NAME; cat "$work/wm.log"; fail "'-' did not minimise the window"; }
sleep 0.6
iconic || fail "the minimised window came back by itself"
xprop -id "$win" WM_NAME | grep -Eq '" Wordwisp  \|[0-9]{2}-[0-9]{2}-[0-9]{4} - [0-9]{2}:[0-9]{2}:[0-9]{2}\| "' ||
    fail "caption while minimised: $(xprop -id "$win" WM_NAME)"
xdotool windowactivate "$win" 2>/dev/null || xdotool windowmap "$win"
wait_for find_window || fail "the window did not come back"
expect_geometry "$x0 $y0 492 363" "back from the icon"

# "X": the process ends and Cat.ini holds the current category.
xdotool mousemove $((x0 + 12)) $((y0 + 12)) click 1
ended() { ! kill -0 "$app" 2>/dev/null; }
wait_for ended || fail "the program is still running after X"
[ "$(od -An -c "$work/store/Db/Cat.ini" | tr -d ' ')" = 'Work\r\n' ] || fail "Cat.ini holds: $(od -c "$work/store/Db/Cat.ini")"
[ "$(stat -c %Y "$work/store/Db/Cat.ini")" -gt "$(date -d 2002-01-01 +%s)" ] || fail "Cat.ini was not rewritten"
echo "PASS"
