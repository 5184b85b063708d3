#!/usr/bin/env bash
# The store changed by other programs while Wordwisp runs, seen where it matters: at the next copy in a
# real editor (l3afpad). A key added (written in place, or through a hidden temporary and a rename as
# sync engines do), edited, removed and renamed; a hidden temporary never expands; a new category taking
# over when the current one is removed, and the current one renamed; and a key whose file changes while the user edits it in
# Wordwisp's own editor: the save asks, No keeps the file, Yes writes the user's text.
#   live_store.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
export LC_ALL=C.UTF-8
for tool in xdotool l3afpad xclip; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh test installs it)"
done

home="$E2E_TMP/home"
db="$home/Db"
mkdir -p "$db/Work"
printf 'Work\r\n' >"$db/Cat.ini"
printf 'Best regards\r\n' >"$db/Work/sig"
start_wordwisp "$home"
main=$(find_window '^Wordwisp$') || fail "the Wordwisp window did not appear"
start_editor 550 100

# Types the keyword on a new line of the editor, selects and copies it.
copy_word() {
    xdotool windowfocus --sync "$EDITOR"
    xdotool key ctrl+End Return
    xdotool type --delay 10 -- "$1"
    xdotool key shift+Home ctrl+c
}
expands() { # keyword, text
    copy_word "$1"
    wait_for 3 clipboard_is "$2" || fail "$1 did not expand to $2 (clipboard: $(xclip -o -selection clipboard 2>/dev/null))"
}
stays() { # keyword
    copy_word "$1"
    sleep 0.6
    clipboard_is "$1" || fail "$1 expanded to $(xclip -o -selection clipboard 2>/dev/null)"
}
# Another program's save: a hidden temporary beside the file, then a rename over it.
sync_write() { # path, text
    printf '%s\r\n' "$2" >"$(dirname "$1")/.syncthing.$(basename "$1").tmp"
    mv "$(dirname "$1")/.syncthing.$(basename "$1").tmp" "$1"
}
# Changes take a short quiet time and a refresh to arrive; a second is what they may take.
settle() { sleep 1; }

expands sig "Best regards"
printf 'Fresh text\r\n' >"$db/Work/fresh"
sync_write "$db/Work/synced" "From another machine"
printf 'half written\r\n' >"$db/Work/.hidden.tmp"
settle
expands fresh "Fresh text"
expands synced "From another machine"
stays .hidden.tmp
echo "added keys expand, a hidden temporary does not"

sync_write "$db/Work/sig" "Kind regards"
settle
expands sig "Kind regards"
rm "$db/Work/fresh"
mv "$db/Work/sig" "$db/Work/sign"
settle
stays fresh
stays sig
expands sign "Kind regards"
echo "an edited key pastes its new text; removed and renamed keys follow"

# A new category, remembered as current by the other machine's last exit, takes over when the current
# one is removed.
mkdir -p "$db/.Home.tmp"
printf '1 Main Street\r\n' >"$db/.Home.tmp/addr"
mv "$db/.Home.tmp" "$db/Home"
printf 'Home\r\n' >"$db/Cat.ini"
settle
rm -r "$db/Work"
settle
expands addr "1 Main Street"
stays sign
echo "a new category takes over from the removed current one"

# Wordwisp's own editor: the key is opened and changed there, another program writes the file, and the
# save asks first.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" 40 66 click 1
sleep 0.3
xdotool mousemove --window "$main" 300 150 click 1
xdotool key ctrl+End
xdotool type --delay 10 " (mine)"
sleep 0.3
sync_write "$db/Home/addr" "2 Other Road"
settle
xdotool mousemove --window "$main" 440 340 click 1
box=$(find_window '^Save a Key$') || { screenshot live-store-failure.png; fail "the save did not ask"; }
screenshot live-store-save-question.png
xdotool windowfocus --sync "$box" key Escape
sleep 0.5
[ "$(cat "$db/Home/addr")" = $'2 Other Road\r' ] || fail "No overwrote the file: $(od -c "$db/Home/addr" | head -2)"
xdotool mousemove --window "$main" 440 340 click 1
box=$(find_window '^Save a Key$') || fail "the second save did not ask"
xdotool windowfocus --sync "$box" key Return
wait_for 3 grep -q "mine" "$db/Home/addr" || fail "Yes did not save: $(od -c "$db/Home/addr" | head -2)"
[ "$(cat "$db/Home/addr")" = $'1 Main Street (mine)\r' ] || fail "the save wrote $(od -c "$db/Home/addr" | head -2)"
# "Salvato!" bears the program's title, as the main window does.
for id in $(xdotool search --onlyvisible --name '^Wordwisp$'); do
    [ "$id" != "$main" ] && xdotool windowfocus --sync "$id" key Return
done
sleep 0.3
expands addr "1 Main Street (mine)"
echo "a key changed outside while edited: the save asks; No keeps the file, Yes writes the user's text"

# The current category renamed outside stays current under its new name.
mv "$db/Home" "$db/Casa"
settle
expands addr "1 Main Street (mine)"
sync_write "$db/Casa/addr" "3 New Lane"
settle
expands addr "3 New Lane"
echo "the current category renamed outside stays current"

kill -0 "$WORDWISP_PID" 2>/dev/null || fail "wordwisp is no longer running"
screenshot live-store.png
echo "live store: all cases passed"
