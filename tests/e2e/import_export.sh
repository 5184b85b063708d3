#!/usr/bin/env bash
# Keys brought in from another expander while Wordwisp runs: an espanso match folder and a CSV file
# imported on the command line into the running instance's store, the report checked line by line, the
# user's own key left as it was, and the imported keys expanding at once in a real editor (l3afpad). Then
# the store exported to espanso and imported into an empty store gives back every key and text.
#   import_export.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
export LC_ALL=C.UTF-8
for tool in xdotool l3afpad xclip; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done

home="$E2E_TMP/home"
db="$home/Db"
mkdir -p "$db/Work"
printf 'Work\r\n' >"$db/Cat.ini"
printf 'Best regards\r\n*/ mine, not to be replaced\r\n' >"$db/Work/sig"
start_wordwisp "$home"
find_window '^Wordwisp$' >/dev/null || fail "the Wordwisp window did not appear"
start_editor 550 100

mkdir -p "$E2E_TMP/espanso/match"
cat >"$E2E_TMP/espanso/match/base.yml" <<'EOF'
# an espanso user's own file
matches:
  - trigger: ":addr"
    replace: |
      12 Quay Street
      Dublin
  - trigger: ":sig"
    replace: "Not mine"
  - triggers: [":ty", ":thx"]
    replace: "Thank you$|$!"
  - trigger: ":now"
    replace: "It is {{clock}}"
    vars:
      - name: clock
        type: date
        params:
          format: "%H:%M"
EOF
import() { # the import's arguments; sets OUT and ERR, and STATUS
    STATUS=0
    WORDWISP_HOME="$home" "$WORDWISP_BIN" --import "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err" || STATUS=$?
    OUT=$(cat "$E2E_TMP/out")
    ERR=$(cat "$E2E_TMP/err")
}
expect() { # what, expected, actual
    [ "$2" = "$3" ] || fail "$1: expected
$2
--- got
$3"
}

import "$E2E_TMP/espanso/match" --into Work --dry-run
expect "dry run" "Work: 3 would import
would import 3 keys into 1 categories, skipped 2, renamed 3" "$OUT"
[ ! -e "$db/Work/addr" ] || fail "the dry run wrote a key"

import "$E2E_TMP/espanso/match" --into Work
expect "exit status" 0 "$STATUS"
expect "report" "Work: 3 imported
imported 3 keys into 1 categories, skipped 2, renamed 3" "$OUT"
expect "problems" "base.yml:3: renamed ':addr' -> 'addr'
base.yml:7: ':sig': exists (as 'sig')
base.yml:9: renamed ':ty' -> 'ty'
base.yml:9: renamed ':thx' -> 'thx'
base.yml:11: ':now': uses variables" "$ERR"
expect "the user's own key" "$(printf 'Best regards\r\n*/ mine, not to be replaced\r\n')" "$(cat "$db/Work/sig")"

printf 'keyword,text\nbrb,"be right back, promise"\nomw,"on my way\nsee you"\n' >"$E2E_TMP/chat.csv"
import "$E2E_TMP/chat.csv" --into Work
expect "CSV report" "Work: 2 imported
imported 2 keys into 1 categories, skipped 0, renamed 0" "$OUT"
echo "imported into the running instance's store: the report as expected, the user's key untouched"

# The running instance sees the new keys through its watch on the store; they expand at once.
typed=""
round() { # keyword, the text the editor must show for it
    xdotool windowfocus --sync "$EDITOR"
    xdotool key ctrl+End
    [ -n "$typed" ] && xdotool key Return
    xdotool type --delay 10 -- "$1"
    xdotool key shift+Home ctrl+c
    typed+="${typed:+$'\n'}$2"
    wait_for 3 saved_as "$typed" >/dev/null || { saved_as "$typed"; fail "'$1' did not expand to its imported text"; }
}
sleep 1
round addr $'12 Quay Street\nDublin\n'
round ty "Thank you!"
round omw $'on my way\nsee you'
round sig "Best regards"
echo "imported keys expand in l3afpad"

# Out to espanso and back into an empty store: the same keys and texts, comment lines aside.
printf 'Dear [name],\r\n*/ a comment line\r\nsee you on [date] at [time]\r\n  indented: "quoted" # not a comment\r\n\r\n' \
    >"$db/Work/letter"
mkdir -p "$db/Empty"
WORDWISP_HOME="$home" "$WORDWISP_BIN" --export espanso "$E2E_TMP/export" >"$E2E_TMP/out" 2>"$E2E_TMP/err" ||
    fail "the export failed: $(cat "$E2E_TMP/err")"
expect "export report" "Work: 7 exported
exported 7 keys from 1 categories into $E2E_TMP/export" "$(cat "$E2E_TMP/out")"
WORDWISP_HOME="$E2E_TMP/other" "$WORDWISP_BIN" --import "$E2E_TMP/export" >"$E2E_TMP/out" 2>"$E2E_TMP/err" ||
    fail "the export did not import: $(cat "$E2E_TMP/err")"
expect "round trip report" "Work: 7 imported
imported 7 keys into 1 categories, skipped 0, renamed 0" "$(cat "$E2E_TMP/out")"
for key in "$db"/Work/*; do
    name=$(basename "$key")
    grep -v '^\*/' "$key" >"$E2E_TMP/without-comments" || true
    cmp -s "$E2E_TMP/without-comments" "$E2E_TMP/other/Db/Work/$name" ||
        fail "'$name' came back as $(od -c "$E2E_TMP/other/Db/Work/$name" | head -5)"
done
echo "exported to espanso and imported into an empty store: every key and text as it was, comment lines aside"
kill -0 "$WORDWISP_PID" 2>/dev/null || fail "wordwisp is no longer running"
