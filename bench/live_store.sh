#!/usr/bin/env bash
# The live store: how long a key written by another program takes to reach the key list (offscreen,
# live_store_probe) and to expand in the real program (Xvfb, the real X clipboard), and the idle cost
# of the running program with its store watched.
#   bench/live_store.sh [build dir] [rounds]     (default: build, 20)
# Prints numbers; it is not a pass/fail test.
set -uo pipefail

build=$(realpath "${1:-build}")
rounds=${2:-20}
idle_seconds=${IDLE_SECONDS:-20}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$build" "$rounds"
fi
wordwisp="$build/wordwisp"
probe="$build/bench/live_store_probe"
[ -x "$wordwisp" ] && [ -x "$probe" ] || { echo "build wordwisp and live_store_probe first"; exit 2; }

work=$(mktemp -d)
pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

"$probe"

home="$work/home"
mkdir -p "$home/Db/Work"
printf 'Work\r\n' >"$home/Db/Cat.ini"
for i in $(seq 300); do printf 'text %s\r\n' "$i" >"$home/Db/Work/key$i"; done
WORDWISP_HOME="$home" "$wordwisp" >"$work/wordwisp.log" 2>&1 &
app=$!
pids+=($app)
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^Wordwisp$' >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 0.5

now_ms() { echo $(($(date +%s%N) / 1000000)); }
times=()
for i in $(seq "$rounds"); do
    start=$(now_ms)
    printf 'arrived %s\r\n' "$i" >"$home/Db/Work/.new$i.tmp"
    mv "$home/Db/Work/.new$i.tmp" "$home/Db/Work/new$i"
    # The user copies the keyword again and again until it expands.
    got=""
    until [ "$got" = "arrived $i" ]; do
        printf 'new%s' "$i" | xclip -selection clipboard
        sleep 0.02
        got=$(xclip -o -selection clipboard 2>/dev/null)
        [ $(($(now_ms) - start)) -gt 5000 ] && { got=timeout; break; }
    done
    [ "$got" = timeout ] && { echo "round $i: no expansion within 5 s"; continue; }
    times+=($(($(now_ms) - start)))
    sleep 0.2
done
printf '%s\n' "${times[@]}" | sort -n | awk -v r="$rounds" '{ t[NR] = $1 } END {
    if (NR) printf "outside change to expansion (ms, %d rounds, real program, copies every 20 ms): min %d median %d max %d\n",
        r, t[1], t[int((NR + 1) / 2)], t[NR] }'

printf 'nothing to expand' | xclip -selection clipboard
sleep 2
# Wake-ups of the program's main thread tell what the CPU time cannot resolve: the title clock's redraw
# once a second is all there should be; the watcher adds none.
wakeups() { awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$app/task/$app/status"; }
before=$(awk '{ print $14 + $15 }' "/proc/$app/stat")
woken=$(wakeups)
sleep "$idle_seconds"
after=$(awk '{ print $14 + $15 }' "/proc/$app/stat")
woken=$(($(wakeups) - woken))
awk -v d=$((after - before)) -v s="$idle_seconds" -v hz="$(getconf CLK_TCK)" -v w="$woken" \
    'BEGIN { printf "idle CPU over %d s with the store watched: %.2f s (%.3f %% of a core); main thread woken %d times (the title clock: %d)\n", s, d / hz, d / hz / s * 100, w, s }'
