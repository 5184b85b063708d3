#!/usr/bin/env bash
# Expansion latency and idle cost on Wayland: the real program under a headless sway with the native GTK
# editor l3afpad, timed by wayland_latency_probe from the Ctrl+C to the selection that carries the
# expansion (the same method as expand_latency.sh on X11).
#   bench/wayland_latency.sh [build dir] [rounds]     (default: build, 50)
# Prints numbers; it is not a pass/fail test.
build=$(realpath "${1:-build}")
rounds=${2:-50}
idle_seconds=${IDLE_SECONDS:-20}
probe="$build/bench/wayland_latency_probe"
[ -x "$probe" ] || { echo "build wayland_latency_probe first"; exit 2; }
source "$(dirname "$0")/../tests/e2e/wayland.bash" "$build/wordwisp" "$(mktemp -d)"

source "$(dirname "$0")/wayland_bench.bash"
bench_files

start_sway
start_wordwisp "$BENCH_HOME"
start_editor "$BENCH_DOC"
sleep 0.5
bench_measure "Wayland (sway $(sway --version | awk '{ print $3 }'))" "$WORDWISP_PID"
