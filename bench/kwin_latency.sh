#!/usr/bin/env bash
# Expansion latency and idle cost on KDE Plasma: the real program under a headless KWin with the native GTK
# editor l3afpad, Wordwisp on Wayland with the native backend (keys through KWin's fake input, which KWin
# offers it through a desktop file naming the build's executable), timed by wayland_latency_probe from the
# Ctrl+C to the selection that carries the expansion: the same method and output as wayland_latency.sh.
#   bench/kwin_latency.sh [build dir] [rounds]     (default: build, 50)
# Prints numbers; it is not a pass/fail test.
build=$(realpath "${1:-build}")
rounds=${2:-50}
idle_seconds=${IDLE_SECONDS:-20}
probe="$build/bench/wayland_latency_probe"
[ -x "$probe" ] || { echo "build wayland_latency_probe first"; exit 2; }
source "$(dirname "$0")/../tests/e2e/kwin.bash" "$build/wordwisp" "$(mktemp -d)"

source "$(dirname "$0")/wayland_bench.bash"
bench_files

# Both type: KWin trusts them as a user's installed programs.
kwin_desktop_file wordwisp "$WORDWISP_BIN" "$KWIN_INTERFACES"
kwin_desktop_file wayland_latency_probe "$probe" org_kde_kwin_fake_input
start_kwin
start_wordwisp "$BENCH_HOME" QT_QPA_PLATFORM=wayland
# A build that cannot type here, or does not take the desktop file above for its own, says so at start-up in
# a second window (a notice, or the question whether it may write one).
sleep 1
if [ "$(windows | awk -v p="$WORDWISP_PID" '$3 == p' | wc -l)" -ge 2 ]; then
    echo "Wordwisp shows a box at start-up: this build does not type on KWin through the desktop file given; no numbers"
    exit 2
fi
start_editor "$BENCH_DOC"
sleep 0.5
bench_measure "KDE Plasma (KWin $(dpkg-query -W -f='${Version}' kwin-wayland 2>/dev/null))" "$WORDWISP_PID"
