#!/usr/bin/env bash
# An import at scale: 10,000 keys (by default) from an espanso match file, a CSV file and a Beeftext combo
# list, each into an empty store and then again into the full one (every key exists: the planning alone),
# and the export of that store to espanso. Wall time of the whole command, medians over the runs; the
# store is on the same file system as the system's temporary folder.
#   bench/import_scale.sh [build dir] [runs] [keys]     (default: build, 5, 10000)
# Prints numbers; it is not a pass/fail test.
set -uo pipefail

build=$(realpath "${1:-build}")
runs=${2:-5}
keys=${3:-10000}
wordwisp="$build/wordwisp"
[ -x "$wordwisp" ] || { echo "build wordwisp first"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Sources of the three kinds, with texts of one to four lines as people write them.
python3 - "$work" "$keys" <<'EOF'
import json, sys
work, count = sys.argv[1], int(sys.argv[2])
texts = ["Best regards,\nAnna", "12 Quay Street\nDublin\nIreland\n", "Thank you for your message.",
         "Dear Sir or Madam,\n\nwith reference to your letter"]
with open(f"{work}/bulk.yml", "w") as f:
    f.write("matches:\n")
    for i in range(count):
        text = texts[i % 4].replace("\n", "\n      ")
        f.write(f"  - trigger: \":k{i:05d}\"\n    replace: |\n      {text}\n")
with open(f"{work}/bulk.csv", "w", newline="") as f:
    for i in range(count):
        f.write(f"k{i:05d},\"{texts[i % 4]}\",Bulk\r\n")
combos = [{"keyword": f"k{i:05d}", "snippet": texts[i % 4], "group": "{g}", "enabled": True, "name": "",
           "uuid": f"{{{i}}}"} for i in range(count)]
with open(f"{work}/comboList.json", "w") as f:
    json.dump({"fileFormatVersion": 10, "groups": [{"uuid": "{g}", "name": "Bulk"}], "combos": combos}, f)
EOF

median() { sort -n | awk '{ a[NR] = $1 } END { m = (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2; printf "%.0f", m }'; }
timed() { # prints the milliseconds the command took
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

printf '%-10s %8s %14s %14s %14s\n' source keys "empty store" "all exist" "export"
for source in bulk.yml bulk.csv comboList.json; do
    first=() again=() export=()
    for run in $(seq "$runs"); do
        home="$work/home-$run"
        rm -rf "$home" "$work/out"
        first+=("$(timed env WORDWISP_HOME="$home" "$wordwisp" --import "$work/$source")")
        again+=("$(timed env WORDWISP_HOME="$home" "$wordwisp" --import "$work/$source")")
        export+=("$(timed env WORDWISP_HOME="$home" "$wordwisp" --export espanso "$work/out")")
    done
    count=$(find "$work/home-1/Db" -type f | wc -l)
    printf '%-10s %8s %11s ms %11s ms %11s ms\n' "$source" "$count" \
        "$(printf '%s\n' "${first[@]}" | median)" "$(printf '%s\n' "${again[@]}" | median)" \
        "$(printf '%s\n' "${export[@]}" | median)"
done
