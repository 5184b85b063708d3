#!/usr/bin/env bash
# The command line of the real program: --help and --version with no display at all, a mistake, a start
# with no display or an unreachable one (one line and exit 1, never an abort), a start on Qt's offscreen
# platform with no display, and --show and --quit with and without a running instance (--quit stores
# the category and returns once the process has ended; neither ever starts an instance).
#   command_line.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
command -v xdotool >/dev/null || fail "missing xdotool (scripts/deps.sh test installs it)"

version=$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
[ -n "$version" ] || fail "no project version in CMakeLists.txt"
export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cd "$E2E_TMP"

# Runs the binary with the arguments given; sets rc, out and err.
run() {
    set +e
    "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err"
    rc=$?
    set -e
    out=$(cat "$E2E_TMP/out")
    err=$(cat "$E2E_TMP/err")
}
expect() { # exit code, what is being run
    [ "$rc" -eq "$1" ] || fail "$2: exit $rc, not $1; stdout: $out; stderr: $err"
}
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)

run "${no_display[@]}" "$WORDWISP_BIN" --help
expect 0 "--help without a display"
[[ $out == "Usage: wordwisp "* && $out == *--show* && $out == *--quit* && $out == *--version* ]] ||
    fail "--help printed: $out"
[ -z "$err" ] || fail "--help said on stderr: $err"
run "${no_display[@]}" "$WORDWISP_BIN" --version
expect 0 "--version without a display"
[ "$out" = "wordwisp $version" ] || fail "--version printed '$out', not 'wordwisp $version'"
echo "--help and --version: exit 0 without a display, version $version"

for mistake in --bogus -v stray "--show --quit"; do
    # shellcheck disable=SC2086 # the last one is two words on purpose
    run "$WORDWISP_BIN" $mistake
    expect 2 "wordwisp $mistake"
    [ -z "$out" ] || fail "wordwisp $mistake printed on stdout: $out"
    [[ $err == *"Usage: wordwisp "* ]] || fail "wordwisp $mistake did not print the usage on stderr: $err"
done
# Qt's own options are stepped over: a value that looks like ours is still Qt's.
run "$WORDWISP_BIN" -style Fusion -stylesheet --show --version
expect 0 "Qt's options before --version"
[ "$out" = "wordwisp $version" ] || fail "Qt's options before --version: $out"
echo "mistakes: exit 2 with the usage on stderr; Qt's options pass"

run "${no_display[@]}" "$WORDWISP_BIN"
expect 1 "a start without a display"
[ "$(wc -l <"$E2E_TMP/err")" -eq 1 ] && [[ $err == *DISPLAY* ]] || fail "a start without a display said: $err"
free_display=:$((7000 + RANDOM % 2000))
while [ -e "/tmp/.X11-unix/X${free_display#:}" ]; do free_display=:$((${free_display#:} + 1)); done
run env -u WAYLAND_DISPLAY DISPLAY="$free_display" "$WORDWISP_BIN"
expect 1 "a start on the unreachable display $free_display"
[[ $err == *"$free_display"* ]] || fail "a start on an unreachable display did not name it: $err"
echo "no display: one line and exit 1; an unreachable one: exit 1, no abort"

home="$E2E_TMP/home"
mkdir -p "$home/Db/Work" "$home/Db/Other"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"
printf 'elsewhere\r\n' >"$home/Db/Other/x"
# Gone, or a zombie that the shell has not collected yet.
ended() { ! kill -0 "$WORDWISP_PID" 2>/dev/null || grep -q '^[0-9]* (.*) Z' "/proc/$WORDWISP_PID/stat" 2>/dev/null; }
ours_running() { pgrep -f -- "^$WORDWISP_BIN" >/dev/null; }

# Nothing runs: both say so and start nothing.
for request in --show --quit; do
    run "$WORDWISP_BIN" "$request"
    expect 1 "$request with nothing running"
    [[ $err == *"not running"* ]] || fail "$request with nothing running said: $err"
done
sleep 0.3
ours_running && fail "--show or --quit started an instance"
[ -z "$(find "$XDG_RUNTIME_DIR" -name 'wordwisp-*')" ] || fail "--show or --quit left a socket"
echo "--show and --quit with nothing running: exit 1, nothing started"

# A running instance: --show leaves it running and alone, --quit ends it as "Exit the program" does.
start_wordwisp "$home"
main=$(find_window '^Wordwisp$') || fail "the Wordwisp window did not appear"
run "$WORDWISP_BIN" --show
expect 0 "--show"
xdotool search --onlyvisible --name '^Wordwisp$' | grep -qx "$main" || fail "the window is not shown after --show"
[ "$(pgrep -c -f -- "^$WORDWISP_BIN")" -eq 1 ] || fail "--show left $(pgrep -c -f -- "^$WORDWISP_BIN") instances"
# Another user is not heard, even where the socket's permissions would let the request through.
if [ "$(id -u)" -eq 0 ] && [ -x /usr/bin/python3 ] && command -v setpriv >/dev/null; then
    socket=$(find "$XDG_RUNTIME_DIR" -name 'wordwisp-*.socket')
    chmod 711 "$E2E_TMP" "$XDG_RUNTIME_DIR"
    chmod 777 "$socket"
    answer=$(setpriv --reuid=nobody --regid=nogroup --clear-groups /usr/bin/python3 -c '
import socket, sys
s = socket.socket(socket.AF_UNIX)
s.settimeout(3)
s.connect(sys.argv[1])
try:
    s.sendall(b"wordwisp/1 quit\n")
    print(repr(s.recv(64)))
except OSError as e:
    print("no answer:", e)' "$socket" 2>&1 || true)
    chmod 700 "$E2E_TMP" "$XDG_RUNTIME_DIR"
    sleep 0.3
    ended && fail "a quit from another user ended the instance"
    # Closed unheard: an end of file, a reset where the request was still unread, or a broken pipe where
    # the connection was closed before the request went out.
    [ "$answer" = "b''" ] || [[ $answer == *"Connection reset"* ]] || [[ $answer == *"Broken pipe"* ]] ||
        fail "a request from another user was answered: $answer"
    echo "another user: connection closed unanswered, instance still running"
fi
# The category last chosen is stored when the program ends.
printf 'Other\r\n' >"$home/Db/Cat.ini"
run "$WORDWISP_BIN" --quit
expect 0 "--quit"
ended || fail "--quit returned while the instance still runs"
[ "$(cat -v "$home/Db/Cat.ini")" = "Work^M" ] || fail "Cat.ini holds $(cat -v "$home/Db/Cat.ini") after --quit"
echo "running instance: --show brings it back, --quit stores the category and returns once it has ended"

# Qt's offscreen platform needs no display: the program runs there, and --quit reaches it.
"${no_display[@]}" QT_QPA_PLATFORM=offscreen WORDWISP_HOME="$home" "$WORDWISP_BIN" \
    >"$E2E_TMP/wordwisp.log" 2>&1 &
WORDWISP_PID=$!
E2E_PIDS+=("$WORDWISP_PID")
wait_for 5 test -S "$XDG_RUNTIME_DIR/wordwisp-none.socket" || fail "no offscreen instance: $(cat "$E2E_TMP/wordwisp.log")"
run "${no_display[@]}" "$WORDWISP_BIN" --quit
expect 0 "--quit of the offscreen instance"
ended || fail "the offscreen instance still runs after --quit"
echo "offscreen without a display: runs, and --quit ends it"
echo "all command line checks passed"
