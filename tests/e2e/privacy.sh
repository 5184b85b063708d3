#!/usr/bin/env bash
# What Wordwisp sees of the clipboard stays with it. Under strace, in a fresh home folder, the program
# watches a copy of a text that names no key, expands a keyword and is quit; then: no internet socket
# was ever opened (only local ones), nothing it printed holds the copied text, and neither does any file
# it wrote outside its store nor anything left in the home, temporary or runtime folders.
#   privacy.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
export LC_ALL=C.UTF-8
for tool in strace xdotool xclip l3afpad; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done

report() {
    echo "--- wordwisp log"
    cat "$E2E_TMP/wordwisp.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; e2e_cleanup; exit $status' EXIT

secret="private-7f3a9c-do-not-keep"
user="$E2E_TMP/user"
store="$E2E_TMP/store"
mkdir -p "$user/tmp" "$user/runtime" "$store/Db/Work"
chmod 700 "$user/runtime"
printf 'Work\r\n' >"$store/Db/Cat.ini"
printf 'Best regards\r\n' >"$store/Db/Work/sig"

# A user of their own: every folder the program might write to lies under $user.
env -i PATH="$PATH" DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" LC_ALL=C.UTF-8 HOME="$user" TMPDIR="$user/tmp" \
    XDG_RUNTIME_DIR="$user/runtime" WORDWISP_HOME="$store" \
    strace -f -qq -o "$E2E_TMP/strace.log" -e trace=socket,connect,open,openat,creat,rename,renameat,renameat2,link,linkat \
    "$WORDWISP_BIN" >"$E2E_TMP/wordwisp.log" 2>&1 &
WORDWISP_PID=$!
E2E_PIDS+=("$WORDWISP_PID")
main=$(find_window '^Wordwisp$') || fail "the Wordwisp window did not appear"
start_editor 560 0

# A copy that names no key, the way a password copied from a manager would pass by.
xdotool type --delay 10 "$secret"
xdotool key shift+Home ctrl+c
wait_for 3 clipboard_is "$secret" || fail "the editor did not take the copy"
sleep 0.5
# And a keyword, expanded as usual.
xdotool key End Return
xdotool type --delay 10 sig
xdotool key shift+Home ctrl+c
wait_for 3 clipboard_is "Best regards" || fail "sig was not expanded"
saved_as "$secret"$'\n'"Best regards" || fail "the editor does not show the expansion"

# Quit through the window's X, as a user does; strace ends with the program.
xdotool mousemove --window "$main" 12 12 click 1
wait_for 10 bash -c "! kill -0 $WORDWISP_PID 2>/dev/null" || fail "the program did not end"
wait "$WORDWISP_PID" 2>/dev/null || true
cp "$E2E_TMP/strace.log" "$ARTIFACTS/privacy-strace.log"

grep -E 'socket\(AF_INET6?,' "$E2E_TMP/strace.log" && fail "an internet socket was opened"
families=$(grep -oE 'socket\(AF_[A-Z0-9]+' "$E2E_TMP/strace.log" | cut -c8- | sort | uniq -c |
    awk '{ printf "%s%s x%s", (NR > 1 ? ", " : ""), $2, $1 }')
echo "sockets opened: ${families:-none}"

grep -qF "$secret" "$E2E_TMP/wordwisp.log" && fail "the copied text appears in the program's output"

# Every file opened for writing, created or renamed into place, outside the store and the system's
# device and process folders.
written=$(grep -E 'O_WRONLY|O_RDWR|O_CREAT|creat\(|rename|link' "$E2E_TMP/strace.log" |
    grep -oE '"/[^"]*"' | tr -d '"' | grep -vE '^/(dev|proc|sys)/' | grep -v "^$store/" | sort -u || true)
echo "files written outside the store: $(printf '%s\n' "$written" | grep -c . || true)"
while IFS= read -r file; do
    [ -f "$file" ] && grep -qF "$secret" "$file" && fail "the copied text was written to $file"
done <<<"$written"
leaked=$(grep -rlF "$secret" "$user" "$store" 2>/dev/null || true)
[ -z "$leaked" ] || fail "the copied text was left in: $leaked"
echo "nothing of the copied text kept"
