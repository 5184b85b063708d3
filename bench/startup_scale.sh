#!/usr/bin/env bash
# Start-up at scale: the real program under Xvfb on stores with 1, 10,000 and 100,000 keys in one
# category. For each start: the time from exec to the main window mapped, to the first expansion of a key
# copied as soon as the window is there, the resident memory (VmRSS, and its peak VmHWM) and the CPU time
# once up. The sizes take turns, so that a busy machine weighs on all of them alike; medians are printed,
# with each size against the start with one key of the same run.
#   bench/startup_scale.sh [build dir] [runs]     (default: build, 7)
#   SIZES="1 10000 100000"                        the key counts
# Prints numbers; it is not a pass/fail test.
set -uo pipefail

build=$(realpath "${1:-build}")
runs=${2:-7}
sizes=${SIZES:-1 10000 100000}
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash "$0" "$build" "$runs"
fi
wordwisp="$build/wordwisp"
probe="$build/bench/startup_probe"
[ -x "$wordwisp" ] && [ -x "$probe" ] || { echo "build wordwisp and startup_probe first"; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

# Keys named as people name them (words, mixed case, some with dots or spaces inside), written in no
# particular order; the keyword copied is the one the listing puts last but one.
make_store() {
    python3 - "$1" "$2" <<'EOF'
import os, sys
home, count = sys.argv[1], int(sys.argv[2])
folder = os.path.join(home, "Db", "Bulk")
os.makedirs(folder)
with open(os.path.join(home, "Db", "Cat.ini"), "w", newline="") as f:
    f.write("Bulk\r\n")
syllables = ["ka", "ro", "mi", "sig", "te", "lo", "Ad", "dr", "ne", "vu", "Pa", "qu", "st", "e.", "x ", "zo"]
names = []
for i in range(count):
    n, word = i * 2654435761 % (1 << 32), ""
    for _ in range(2 + i % 4):
        word += syllables[n % len(syllables)]
        n //= len(syllables)
    names.append(word.strip() + format(i, "x"))
for name in names:
    with open(os.path.join(folder, name), "w", newline="") as f:
        f.write("Text of %s\r\nsecond line\r\n" % name)
print(sorted(names, key=lambda s: (s.casefold(), s))[-2] if count > 1 else names[0])
EOF
}

declare -A keyword
for n in $sizes; do
    keyword[$n]=$(make_store "$work/store$n" "$n")
done

declare -A results
for run in $(seq "$runs"); do
    for n in $sizes; do
        line=$(WORDWISP_HOME="$work/store$n" "$probe" "${keyword[$n]}" "$wordwisp" 2>/dev/null)
        results[$n]+="$line"$'\n'
        echo "run $run, $n keys: $line (map_ms expand_ms rss_kib hwm_kib cpu_ms)" >&2
    done
done

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print -1 }'; }
column() { printf '%s' "${results[$1]}" | awk -v c="$2" 'NF { print $c }' | median; }
first=${sizes%% *}
base_map=$(column "$first" 1)
base_expand=$(column "$first" 2)
printf '%-8s %10s %8s %12s %8s %9s %9s %8s\n' keys map_ms ratio expand_ms ratio rss_mib hwm_mib cpu_ms
for n in $sizes; do
    map=$(column "$n" 1)
    expand=$(column "$n" 2)
    awk -v n="$n" -v m="$map" -v e="$expand" -v bm="$base_map" -v be="$base_expand" -v r="$(column "$n" 3)" \
        -v h="$(column "$n" 4)" -v c="$(column "$n" 5)" \
        'BEGIN { printf "%-8d %10.1f %8.2f %12.1f %8.2f %9.1f %9.1f %8d\n", n, m, m / bm, e, e / be, r / 1024, h / 1024, c }'
done
echo "medians of $runs starts each, taking turns; ratio = against the start with $first key(s) of this run"
