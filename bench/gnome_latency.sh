#!/usr/bin/env bash
# Expansion latency and idle cost on GNOME's Wayland session: the real program under a headless mutter
# (tests/e2e/gnome.bash: own bus and namespaces) with a native l3afpad, timed by gnome_latency_probe.py from
# the Ctrl+C to the expansion on the X11 clipboard (the method of expand_latency.sh, keys through a
# remote-desktop session of the probe's own). Then the first expansion after Wordwisp's session closed for
# idleness, and the CPU Wordwisp uses while nothing expands.
#   bench/gnome_latency.sh [build dir] [rounds]     (default: build, 50)
# Prints numbers; it is not a pass/fail test.
# The harness runs this script again inside its namespaces, with the binary and artifacts as arguments;
# the exported values carry what was asked.
export GN_BENCH_BUILD=${GN_BENCH_BUILD:-$(realpath "${1:-build}")} GN_BENCH_ROUNDS=${GN_BENCH_ROUNDS:-${2:-50}}
build=$GN_BENCH_BUILD
rounds=$GN_BENCH_ROUNDS
idle_seconds=${IDLE_SECONDS:-20}
# Copies made after an idle close, and the idle time that closes the session for them (shorter than the
# program's own, so that they take seconds, not minutes).
idle_rounds=${IDLE_ROUNDS:-10}
idle_ms=${IDLE_MS:-1000}
probe="$(dirname "$(realpath "$0")")/gnome_latency_probe.py"
[ -x "$build/wordwisp" ] || { echo "build wordwisp first"; exit 2; }
set -- "$build/wordwisp" "$build/artifacts"
source "$(dirname "$0")/../tests/e2e/gnome.bash"

home="$GN_TMP/home/wordwisp"
mkdir -p "$home/Db/Work" "$GN_TMP/doc"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"
for i in $(seq 300); do printf 'text %s\r\n' "$i" >"$home/Db/Work/key$i"; done
: >"$GN_TMP/doc/doc.txt"
# Not the first start: the notice box would take the focus.
mkdir -p "$GN_TMP/home/.config/wordwisp"
: >"$GN_TMP/home/.config/wordwisp/gnome-paste-notice-shown"
chown -R nobody:nogroup "$home" "$GN_TMP/doc" "$GN_TMP/home/.config"

start_mutter
start_editor "$GN_TMP/doc/doc.txt"
start_wordwisp "$home" WORDWISP_PASTE_IDLE_MS="$idle_ms"
app=$WORDWISP_PID
as_client xdotool search --onlyvisible --name '^Wordwisp$' windowminimize >/dev/null
sleep 0.5

as_client "$GN_PYTHON" "$probe" "$rounds" sig "$idle_rounds" "$GN_KEYS_PATH" >"$GN_TMP/latency"
summary=$(tail -1 "$GN_TMP/latency")
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Idle: the session closed, the editor's text on the clipboard.
sleep $((idle_ms / 1000 + 2))
before=$(cpu_ticks "$app")
sleep "$idle_seconds"
after=$(cpu_ticks "$app")
echo "Wordwisp on GNOME (mutter $(dpkg-query -W -f '${Version}' mutter 2>/dev/null)), $rounds expansions, Ctrl+C in l3afpad to the expansion on the clipboard"
echo "latency (ms): ${summary#summary }"
echo "sessions left open while idle: $(other_sessions | wc -l)"
awk -v d=$((after - before)) -v s="$idle_seconds" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "idle CPU over %ss: %.3f %% of a core (%.2f s)\n", s, d / hz / s * 100, d / hz }'
