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

home="$WL_TMP/home/wordwisp"
mkdir -p "$home/Db/Work" "$WL_TMP/doc"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"
for i in $(seq 300); do printf 'text %s\r\n' "$i" >"$home/Db/Work/key$i"; done
: >"$WL_TMP/doc/doc.txt"
chown -R "$WL_OWNER" "$home" "$WL_TMP/doc"

start_sway
start_wordwisp "$home"
app=$WORDWISP_PID
start_editor "$WL_TMP/doc/doc.txt"
sleep 0.5

as_client "$probe" "$rounds" sig >"$WL_TMP/latency"
summary=$(tail -1 "$WL_TMP/latency")
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
sleep 2
before=$(cpu_ticks "$app")
sleep "$idle_seconds"
after=$(cpu_ticks "$app")
echo "Wordwisp on Wayland (sway $(sway --version | awk '{ print $3 }'), $rounds expansions, Ctrl+C in l3afpad to the expansion on the clipboard"
echo "latency (ms): ${summary#summary }"
awk -v d=$((after - before)) -v s="$idle_seconds" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "idle CPU over %ss: %.3f %% of a core (%.2f s)\n", s, d / hz / s * 100, d / hz }'
