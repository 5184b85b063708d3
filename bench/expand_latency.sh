#!/usr/bin/env bash
# Expansion latency and idle cost, with the clipboard change signal and with the forced 10 ms poll, side
# by side: the real program on a throw-away store, the real GTK editor l3afpad owning the clipboard.
#   bench/expand_latency.sh [build dir] [rounds]     (default: build, 50)
# Runs itself under Xvfb when no display is set. Prints numbers; it is not a pass/fail test.
set -uo pipefail

build=$(realpath "${1:-build}")
rounds=${2:-50}
idle_seconds=${IDLE_SECONDS:-20}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$build" "$rounds"
fi
wordwisp="$build/wordwisp"
probe="$build/bench/expand_latency_probe"
owner="$build/tests/test_owner"
[ -x "$wordwisp" ] && [ -x "$probe" ] || { echo "build wordwisp and expand_latency_probe first"; exit 2; }

work=$(mktemp -d)
pids=()
stop_all() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    pids=()
}
trap 'stop_all; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

wait_window() { # args: xdotool search arguments
    local win=""
    for _ in $(seq 100); do
        win=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -1)
        [ -n "$win" ] && { echo "$win"; return 0; }
        sleep 0.1
    done
    return 1
}

# CPU time of the process, all its threads, in clock ticks (user + system).
cpu_ticks() {
    awk '{ print $14 + $15 }' "/proc/$1/stat"
}

idle_cpu() { # args: pid; prints the share of a core and the CPU seconds used over $idle_seconds
    local before after
    before=$(cpu_ticks "$1")
    sleep "$idle_seconds"
    after=$(cpu_ticks "$1")
    awk -v d=$((after - before)) -v s="$idle_seconds" -v hz="$(getconf CLK_TCK)" \
        'BEGIN { printf "%.3f %% of a core (%.2f s)", d / hz / s * 100, d / hz }'
}

measure() { # args: label, extra environment
    local label=$1
    shift
    local home="$work/$label"
    mkdir -p "$home/Db/Work"
    printf 'Work\r\n' >"$home/Db/Cat.ini"
    printf 'Best regards\r\n' >"$home/Db/Work/sig"
    # A realistic store around the key: a few hundred others.
    for i in $(seq 300); do printf 'text %s\r\n' "$i" >"$home/Db/Work/key$i"; done
    : >"$home/doc.txt"

    env WORDWISP_HOME="$home" "$@" "$wordwisp" >"$work/$label.log" 2>&1 &
    local app=$!
    pids+=($app)
    wait_window --name '^Wordwisp$' >/dev/null || { echo "$label: no Wordwisp window"; return; }
    l3afpad "$home/doc.txt" >/dev/null 2>&1 &
    pids+=($!)
    local editor
    editor=$(wait_window --class l3afpad) || { echo "$label: no l3afpad window"; return; }
    xdotool mousemove --window "$editor" 100 100
    xdotool windowfocus --sync "$editor"
    sleep 0.5

    "$probe" "$rounds" sig >"$work/$label.latency"
    local summary
    summary=$(tail -1 "$work/$label.latency")

    # Idle: the editor owns the clipboard with text that names no key.
    xdotool key Return
    xdotool type --delay 10 "nothing to expand here"
    xdotool key shift+Home ctrl+c
    sleep 2
    local idle
    idle=$(idle_cpu "$app")
    # Idle again, with a foreign owner holding 1 MB: a program that read every large clipboard would
    # pay for it here.
    local big=""
    if [ -x "$owner" ]; then
        "$owner" big 1048576 >"$work/$label.owner" 2>&1 &
        pids+=($!)
        sleep 2
        big=$(idle_cpu "$app")
    fi
    local failed
    failed=$(grep -c "Cannot set X11 selection owner" "$work/$label.log")
    printf '%-6s latency (ms): %s\n' "$label" "${summary#summary }"
    printf '%-6s idle CPU over %ss: %s; failed clipboard sets: %s\n' "$label" "$idle_seconds" "$idle" "$failed"
    [ -n "$big" ] && printf '%-6s idle CPU over %ss, 1 MB foreign clipboard: %s; requests to the owner: %s\n' \
        "$label" "$idle_seconds" "$big" "$(grep -c '^request' "$work/$label.owner")"
    stop_all
}

echo "Wordwisp expansion: $rounds expansions per mode, Ctrl+C in l3afpad to the expansion on the clipboard"
echo "(idle CPU is counted in clock ticks of $((1000 / $(getconf CLK_TCK))) ms: one tick over ${idle_seconds}s is $(awk -v s="$idle_seconds" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.3f", 100 / hz / s }') %)"
measure signal
measure poll WORDWISP_FORCE_POLL=1
