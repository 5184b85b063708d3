#!/usr/bin/env bash
# One store on two machines, kept in step by Syncthing: two Syncthing instances, each with its own home,
# its own Wordwisp store and its own X display, share the store folder Db. On machine A keys are added,
# edited and deleted through Wordwisp's window; on machine B each one must expand (or stop expanding) in
# l3afpad within 10 s of the save on A. A key changed on both while they cannot reach each other leaves a
# conflict copy that expands on B under its own name until it is deleted in A's window. At the end both
# stores hold the same key files, none lost, none doubled, no conflict copies, and each machine's Cat.ini is
# still its own.
#
# Nothing leaves this machine: as root the whole test runs in a network namespace of its own that has
# only a loopback; and the configuration written before Syncthing's first start has each device dial the
# other at tcp://127.0.0.1:PORT only, with discovery, relays, NAT traversal, usage and crash reporting and
# upgrade checks off.
#   syncthing_store.sh <wordwisp binary> <artifacts dir>
set -euo pipefail
if ! command -v syncthing >/dev/null; then
    echo "SKIP: syncthing is not installed (scripts/deps.sh test installs it)"
    exit 77
fi
if [ -z "${WORDWISP_SYNC_NETNS:-}" ] && [ "$(id -u)" -eq 0 ] && unshare --net true 2>/dev/null; then
    # The X server of the caller is still reached through its socket file, which is no network.
    exec env WORDWISP_SYNC_NETNS=1 unshare --net -- bash "$0" "$@"
fi
source "$(dirname "$0")/common.bash"
export LC_ALL=C.UTF-8
for tool in xdotool l3afpad xclip curl Xvfb python3 ss pgrep; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done
if [ -n "${WORDWISP_SYNC_NETNS:-}" ]; then
    ip link set lo up || fail "no loopback in the network namespace"
    echo "isolation: a network namespace of its own, loopback only"
else
    echo "note: no network namespace of our own here (unshare --net needs root);" \
        "Syncthing is held to 127.0.0.1 by its configuration"
fi

# How long an expansion on B may take after the save on A.
readonly PROPAGATION_LIMIT_S=10
readonly API_KEY=wordwisp-sync-test
export STNODEFAULTFOLDER=1 STNOUPGRADE=1 STNORESTART=1

report() {
    screenshot sync-a.png 2>/dev/null || true
    [ -n "${DISPLAY_B:-}" ] && { DISPLAY=$DISPLAY_B screenshot sync-b.png 2>/dev/null || true; }
    echo "--- the stores" >&2
    (cd "$E2E_TMP" && find a/home b/home -path '*/.stfolder' -prune -o -type f -printf '%p %s %TT\n' | sort) >&2
    for log in "$E2E_TMP"/{syncthing,wordwisp,xvfb}-*.log; do
        [ -f "$log" ] || continue
        echo "--- $(basename "$log")" >&2
        tail -n 30 "$log" >&2
    done
}
fail() {
    echo "FAIL: $*" >&2
    report
    exit 1
}
now() { date +%s.%N; }
between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }
since() { between "$1" "$(now)"; }
within_limit() { awk -v t="$1" -v l="$PROPAGATION_LIMIT_S" 'BEGIN { exit !(t <= l) }'; }
clipboard_b() { DISPLAY=$DISPLAY_B xclip -o -selection clipboard 2>/dev/null; }
# Fails unless the file holds the line (and its CR LF), as a key saved by Wordwisp does.
holds() { # file, text, what
    [ "$(cat "$1")" = "$2"$'\r' ] || fail "$3: $(od -c "$1" | head -3)"
}

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Machine B's display: an X server of its own, so that each Wordwisp sees only its own clipboard.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$E2E_TMP/display-b" >"$E2E_TMP/xvfb-b.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 test -s "$E2E_TMP/display-b" || fail "the second Xvfb did not start"
DISPLAY_B=":$(cat "$E2E_TMP/display-b")"
DISPLAY_A=$DISPLAY

# Each machine: a home with its store (Db) and its runtime folder, and Syncthing's home beside it.
for m in a b; do
    mkdir -p "$E2E_TMP/$m/home/Db" "$E2E_TMP/$m/runtime" "$E2E_TMP/$m/syncthing"
    chmod 700 "$E2E_TMP/$m/runtime"
    syncthing generate --home="$E2E_TMP/$m/syncthing" --no-default-folder --skip-port-probing \
        >"$E2E_TMP/generate-$m.log" 2>&1 || fail "syncthing generate failed"
done
id_a=$(syncthing serve --home="$E2E_TMP/a/syncthing" --device-id)
id_b=$(syncthing serve --home="$E2E_TMP/b/syncthing" --device-id)
listen_a=$(free_port) listen_b=$(free_port) gui_a=$(free_port) gui_b=$(free_port)

# The whole configuration, written before the first start: nothing in it reaches past 127.0.0.1. Changes
# travel through Syncthing's file watcher, after a second's quiet; the full rescan stays at its hour, so that
# the times measured are the watcher's, which is what users have, and not a rescan's that happened to fall
# right after a save.
write_config() { # machine, own id, own listen port, own GUI port, peer id, peer listen port
    cat >"$E2E_TMP/$1/syncthing/config.xml" <<EOF
<configuration version="36">
    <folder id="wordwisp" label="Wordwisp" path="$E2E_TMP/$1/home/Db" type="sendreceive" rescanIntervalS="3600"
            fsWatcherEnabled="true" fsWatcherDelayS="1" ignorePerms="false" autoNormalize="true">
        <device id="$2"></device>
        <device id="$5"></device>
        <!-- What a folder added in the web page gets; left out here, there would be no conflict copies. -->
        <maxConflicts>10</maxConflicts>
        <minDiskFree unit="%">1</minDiskFree>
        <markerName>.stfolder</markerName>
        <maxConcurrentWrites>2</maxConcurrentWrites>
    </folder>
    <device id="$2" name="machine-$1" compression="metadata"><address>dynamic</address></device>
    <device id="$5" name="peer-of-$1" compression="metadata"><address>tcp://127.0.0.1:$6</address></device>
    <gui enabled="true" tls="false"><address>127.0.0.1:$4</address><apikey>$API_KEY</apikey></gui>
    <options>
        <listenAddress>tcp://127.0.0.1:$3</listenAddress>
        <globalAnnounceEnabled>false</globalAnnounceEnabled>
        <localAnnounceEnabled>false</localAnnounceEnabled>
        <relaysEnabled>false</relaysEnabled>
        <natEnabled>false</natEnabled>
        <urAccepted>-1</urAccepted>
        <crashReportingEnabled>false</crashReportingEnabled>
        <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
        <startBrowser>false</startBrowser>
        <announceLANAddresses>false</announceLANAddresses>
    </options>
</configuration>
EOF
}
write_config a "$id_a" "$listen_a" "$gui_a" "$id_b" "$listen_b"
write_config b "$id_b" "$listen_b" "$gui_b" "$id_a" "$listen_a"

# The store is made on A; B gets it through Syncthing. Each machine has its own Cat.ini (B's in the other
# form Wordwisp reads, so that the two differ byte for byte), which the ignore pattern keeps to itself.
db_a="$E2E_TMP/a/home/Db" db_b="$E2E_TMP/b/home/Db"
mkdir -p "$db_a/Work" "$db_a/Home"
printf 'Best regards\r\n' >"$db_a/Work/sig"
printf 'Old text\r\n' >"$db_a/Work/old"
printf '1 Main Street\r\n' >"$db_a/Work/addr"
printf 'Home sweet home\r\n' >"$db_a/Home/nest"
printf 'Work\r\n' >"$db_a/Cat.ini"
printf '"Work"\r\n' >"$db_b/Cat.ini"
for db in "$db_a" "$db_b"; do printf 'Cat.ini\n' >"$db/.stignore"; done

declare -A syncthing_pid wordwisp_pid
api() { # machine, path, curl's options
    local port=$gui_a
    [ "$1" = b ] && port=$gui_b
    curl -sf -H "X-API-Key: $API_KEY" "${@:3}" "http://127.0.0.1:$port$2"
}
start_syncthing() {
    syncthing serve --home="$E2E_TMP/$1/syncthing" --no-browser --no-restart >"$E2E_TMP/syncthing-$1.log" 2>&1 &
    E2E_PIDS+=($!)
    syncthing_pid[$1]=$!
    wait_for 20 api "$1" /rest/system/ping || fail "Syncthing $1 did not answer on 127.0.0.1:$gui_a/$gui_b"
}
# One after the other: two that dial each other in the same instant can keep each other waiting for
# their hello messages for 20 s.
started=$(now)
start_syncthing a
start_syncthing b
wait_for 60 test -f "$db_b/Work/sig" -a -f "$db_b/Home/nest" -a -f "$db_b/Work/old" -a -f "$db_b/Work/addr" ||
    fail "the store did not reach B"
echo "Syncthing: both started and the store on B after $(since "$started") s"

start_machine() { # machine, display
    WORDWISP_HOME="$E2E_TMP/$1/home" XDG_RUNTIME_DIR="$E2E_TMP/$1/runtime" DISPLAY=$2 \
        "$WORDWISP_BIN" >"$E2E_TMP/wordwisp-$1.log" 2>&1 &
    E2E_PIDS+=($!)
    wordwisp_pid[$1]=$!
}
start_machine a "$DISPLAY_A"
start_machine b "$DISPLAY_B"
main=$(find_window '^Wordwisp$') || fail "Wordwisp's window did not appear on A"
DISPLAY=$DISPLAY_B find_window '^Wordwisp$' >/dev/null || fail "Wordwisp's window did not appear on B"
export DISPLAY=$DISPLAY_B
start_editor 550 100
editor_b=$EDITOR
export DISPLAY=$DISPLAY_A

# Machine B: types the keyword on a new line of its l3afpad, selects and copies it; true when the
# clipboard then holds the text.
copy_on_b() { # keyword, text
    DISPLAY=$DISPLAY_B xdotool windowfocus --sync "$editor_b" key ctrl+End Return
    DISPLAY=$DISPLAY_B xdotool type --delay 10 -- "$1"
    DISPLAY=$DISPLAY_B xdotool key shift+Home ctrl+c
    for _ in $(seq 5); do
        sleep 0.1
        DISPLAY=$DISPLAY_B clipboard_is "$2" && return 0
    done
    return 1
}
expands_on_b() { # keyword, text
    copy_on_b "$1" "$2" || fail "$1 did not expand to $2 on B (clipboard: $(clipboard_b))"
}
# Copies the keyword on B until the clipboard holds the text, for at most the limit after $1 (the save on
# A); prints the time it took.
arrives_on_b() { # since, keyword, text
    local deadline=$((SECONDS + PROPAGATION_LIMIT_S + 1))
    while [ $SECONDS -le $deadline ]; do
        if copy_on_b "$2" "$3"; then
            local took
            took=$(since "$1")
            within_limit "$took" || fail "$2 took $took s to expand on B"
            echo "$took"
            return 0
        fi
    done
    fail "$2 did not expand to $3 on B within $PROPAGATION_LIMIT_S s"
}

# Machine A's window: the key list, the editor and the toolbar's Add, Delete and Save, at their places
# in the window's design.
click_a() { xdotool mousemove --window "$main" "$1" "$2" click 1; sleep 0.3; }
readonly ROW_HEIGHT=15
select_key_a() { # row in the list, from 0 (a click on a key loads it and gives the editor the focus)
    xdotool windowfocus --sync "$main"
    click_a 40 $((66 + ROW_HEIGHT * $1))
}
write_text_a() { # text
    click_a 300 150
    xdotool key ctrl+a
    xdotool type --delay 10 -- "$1"
}
# Save, then the "Salvato!" box (it bears the program's title, as the main window does) dismissed; sets
# saved to the moment of the click.
save_a() {
    saved=$(now)
    click_a 440 340
    local box=""
    for _ in $(seq 30); do
        box=$(xdotool search --onlyvisible --name '^Wordwisp$' | grep -vx "$main" | head -n 1 || true)
        [ -n "$box" ] && break
        sleep 0.1
    done
    [ -n "$box" ] || fail "Save on A showed no box"
    xdotool windowfocus --sync "$box" key Return
    sleep 0.3
}

expands_on_b sig "Best regards"
expands_on_b old "Old text"
echo "B expands the store that came from A"

# A key added on A: Add, its name, its text, Save.
xdotool windowfocus --sync "$main"
click_a 140 340
box=$(find_window '^Create a new key$') || fail "Add on A asked no name"
xdotool windowfocus --sync "$box" type --delay 20 fresh
xdotool key Return
sleep 0.5
write_text_a "Fresh from A"
save_a
holds "$db_a/Work/fresh" "Fresh from A" "A saved the new key as"
took_add=$(arrives_on_b "$saved" fresh "Fresh from A")
echo "added on A: expands on B after $took_add s"

# A key edited on A.
select_key_a 2 # addr, old, sig, fresh
write_text_a "Warm regards from A"
save_a
holds "$db_a/Work/sig" "Warm regards from A" "A saved the edit as"
took_edit=$(arrives_on_b "$saved" sig "Warm regards from A")
echo "edited on A: B expands the new text after $took_edit s"

# A key deleted on A: Delete, Yes.
select_key_a 1
click_a 100 340
box=$(find_window '^Delete a Key$') || fail "Delete on A asked nothing"
deleted=$(now)
xdotool windowfocus --sync "$box" key Return
wait_for 3 test ! -e "$db_a/Work/old" || fail "Delete on A left the file"
took_delete=""
while [ -z "$took_delete" ] && within_limit "$(since "$deleted")"; do
    # Still a key when it expands; gone when the keyword stays on the clipboard as it was copied.
    # A copy that did not expand while the file was still on B is a slow expansion, not yet the deletion.
    attempt=$(now)
    present=no
    [ -e "$db_b/Work/old" ] && present=yes
    copy_on_b old "Old text" && continue
    sleep 0.3
    DISPLAY=$DISPLAY_B clipboard_is old || continue
    if [ $present = yes ]; then
        echo "note: old was not expanded on B while its file was still there"
        continue
    fi
    took_delete=$(between "$deleted" "$attempt")
done
[ -n "$took_delete" ] || fail "old still expands on B $PROPAGATION_LIMIT_S s after its deletion on A"
echo "deleted on A: stops expanding on B after $took_delete s"
expands_on_b addr "1 Main Street"

# The same key changed on both machines while they cannot reach each other: once they can, Syncthing keeps
# both texts, the older one as a conflict copy, which both Wordwisps show as a key of its own. Deleting it
# in the window on A, as the help page says, ends the conflict on both.
connected() { api a /rest/system/connections | tr -d ' \n' | grep -q "\"$id_b\":{[^}]*\"connected\":$1"; }
api a "/rest/system/pause?device=$id_b" -X POST >/dev/null || fail "A could not pause B"
wait_for 10 connected false || fail "A and B stayed connected"
select_key_a 2 # addr, fresh, sig
write_text_a "Regards from A, offline"
save_a
holds "$db_a/Work/sig" "Regards from A, offline" "A saved the offline edit as"
# A second later, so that B's text is the newer one, which Syncthing keeps in the key.
sleep 1
printf 'Regards from B, offline\r\n' >"$db_b/Work/sig"
# Both Syncthings have seen their own change before they meet again.
sleep 3
resumed=$(now)
api a "/rest/system/resume?device=$id_b" -X POST >/dev/null || fail "A could not resume B"
conflicts() { find "$db_a" "$db_b" -name 'sig.sync-conflict-*' -printf '%f\n'; }
both_have_a_conflict() { [ "$(conflicts | sort -u | wc -l)" = 1 ] && [ "$(conflicts | wc -l)" = 2 ]; }
wait_for 30 both_have_a_conflict || fail "no single conflict copy on both machines: $(conflicts)"
conflict=$(conflicts | head -n 1)
took_conflict=$(arrives_on_b "$resumed" "$conflict" "Regards from A, offline")
for db in "$db_a" "$db_b"; do
    holds "$db/Work/sig" "Regards from B, offline" "after the conflict sig holds"
done
expands_on_b sig "Regards from B, offline"
echo "a conflict: the newer text stays in the key, the older expands on B as $conflict," \
    "$took_conflict s after the resume"
select_key_a 3 # addr, fresh, sig, the conflict copy
click_a 100 340
box=$(find_window '^Delete a Key$') || fail "Delete of the conflict copy on A asked nothing"
xdotool windowfocus --sync "$box" key Return
no_conflicts() { [ -z "$(conflicts)" ]; }
wait_for 10 no_conflicts || fail "the conflict copy stayed: $(conflicts)"
copy_on_b "$conflict" "Regards from A, offline" && fail "the deleted conflict copy still expands on B"
DISPLAY=$DISPLAY_B clipboard_is "$conflict" || fail "$conflict on B left $(clipboard_b)"
echo "the conflict copy deleted in the window on A is gone on both"

# The end: both stores hold the same key files with the same bytes, exactly the expected ones; no conflict
# copies, no temporaries left; each Cat.ini is its own and neither Syncthing has it in its index.
keys_of() { (cd "$1" && find . -path ./.stfolder -prune -o -type f ! -name Cat.ini ! -name .stignore -print0 |
    sort -z | xargs -0 sha256sum); }
same_keys() { [ "$(keys_of "$db_a")" = "$(keys_of "$db_b")" ]; }
wait_for 10 same_keys || fail "the stores differ: $(diff <(keys_of "$db_a") <(keys_of "$db_b"))"
listed=$(keys_of "$db_b" | awk '{ print $2 }' | tr '\n' ' ')
[ "$listed" = "./Home/nest ./Work/addr ./Work/fresh ./Work/sig " ] || fail "the stores hold $listed"
for db in "$db_a" "$db_b"; do
    left=$(find "$db" -name '*sync-conflict*' -o -name '.syncthing.*' -o -name '*.tmp')
    [ -z "$left" ] || fail "left in the store: $left"
done
holds "$db_a/Cat.ini" Work "A's Cat.ini became"
holds "$db_b/Cat.ini" '"Work"' "B's Cat.ini became"
for m in a b; do
    ! api $m "/rest/db/file?folder=wordwisp&file=Cat.ini" >/dev/null || fail "Cat.ini is in $m's Syncthing index"
    status=$(api $m "/rest/db/status?folder=wordwisp") || fail "no folder status from $m"
    grep -q '"pullErrors": 0' <<<"$status" || fail "$m reports pull errors: $status"
done
echo "both stores hold the same four keys; no conflicts, nothing lost or doubled; Cat.ini stayed on each machine"

# Syncthing's own sockets: TCP on 127.0.0.1 only, no UDP at all (no discovery, no QUIC, no STUN).
counted=""
for pid in "${syncthing_pid[a]}" "${syncthing_pid[b]}"; do
    # Syncthing runs as a monitor process and the syncthing it starts; the latter holds the sockets.
    sockets=$(ss -H -tuanp | grep -E "pid=($pid|$(pgrep -d '|' -P "$pid")),") ||
        fail "no sockets of Syncthing $pid found"
    outside=$(awk '$1 == "udp" || $5 !~ /^127\.0\.0\.1:/ ||
                   ($6 !~ /^127\.0\.0\.1:/ && $6 !~ /^0\.0\.0\.0:\*/)' <<<"$sockets")
    [ -z "$outside" ] || fail "Syncthing $pid has sockets beyond 127.0.0.1: $outside"
    counted+=" $(wc -l <<<"$sockets")"
done
echo "Syncthing's sockets (A, B):$counted, all TCP on 127.0.0.1"
kill -0 "${wordwisp_pid[a]}" "${wordwisp_pid[b]}" 2>/dev/null || fail "a Wordwisp is no longer running"
screenshot sync-a.png
DISPLAY=$DISPLAY_B screenshot sync-b.png
echo "timings (save on A to expansion on B): add $took_add s, edit $took_edit s, delete $took_delete s;" \
    "the conflict copy $took_conflict s after the machines meet again"
echo "syncthing store: all cases passed"
