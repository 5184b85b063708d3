# What the Wayland latency benches share (wayland_latency.sh: sway, kwin_latency.sh: KWin), sourced after
# the compositor's harness: the store and the editor's file, and the run of wayland_latency_probe with
# the idle cost after it.

# The store, one key among 300 as a real library has, and the editor's empty file; sets BENCH_HOME and
# BENCH_DOC.
bench_files() {
    BENCH_HOME="$WL_TMP/home/wordwisp"
    BENCH_DOC="$WL_TMP/doc/doc.txt"
    mkdir -p "$BENCH_HOME/Db/Work" "$WL_TMP/doc"
    printf 'Work\r\n' >"$BENCH_HOME/Db/Cat.ini"
    printf 'Best regards\r\n' >"$BENCH_HOME/Db/Work/sig"
    for i in $(seq 300); do printf 'text %s\r\n' "$i" >"$BENCH_HOME/Db/Work/key$i"; done
    : >"$BENCH_DOC"
    chown -R "$WL_OWNER" "$BENCH_HOME" "$WL_TMP/doc"
}

# Times $rounds expansions of sig (through $probe) in the focused editor, then Wordwisp's (pid $2) CPU
# over $idle_seconds idle; $1 names the desktop in the first line printed.
bench_measure() { # desktop, wordwisp pid
    local app=$2
    as_client "$probe" "$rounds" sig >"$WL_TMP/latency"
    summary=$(tail -1 "$WL_TMP/latency")
    cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
    sleep 2
    local before after
    before=$(cpu_ticks "$app")
    sleep "$idle_seconds"
    after=$(cpu_ticks "$app")
    echo "Wordwisp on $1, $rounds expansions, Ctrl+C in l3afpad to the expansion on the clipboard"
    echo "latency (ms): ${summary#summary }"
    awk -v d=$((after - before)) -v s="$idle_seconds" -v hz="$(getconf CLK_TCK)" \
        'BEGIN { printf "idle CPU over %ss: %.3f %% of a core (%.2f s)\n", s, d / hz / s * 100, d / hz }'
}
