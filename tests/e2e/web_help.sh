#!/usr/bin/env bash
# "Help...", "Google..." and "Wikipedia..." through the real desktop hand-over (Qt, then xdg-open) to a
# recording browser registered as the default handler in the test's own XDG folders: each address
# arrives once, and the help page's is a file that exists.
#   web_help.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/common.bash"
for tool in xdotool xdg-open xdg-mime; do
    command -v "$tool" >/dev/null || fail "missing $tool (scripts/deps.sh installs it)"
done

home="$E2E_TMP/home"
mkdir -p "$home/Db/Work" "$E2E_TMP/bin" "$E2E_TMP/data/applications" "$E2E_TMP/config"
printf 'Work\r\n' >"$home/Db/Cat.ini"
opened="$E2E_TMP/opened.txt"
: >"$opened"
cat >"$E2E_TMP/bin/record-browser" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$@" >>"$opened"
SCRIPT
chmod +x "$E2E_TMP/bin/record-browser"
cat >"$E2E_TMP/data/applications/record-browser.desktop" <<ENTRY
[Desktop Entry]
Type=Application
Name=Recording browser
Exec=$E2E_TMP/bin/record-browser %u
MimeType=text/html;x-scheme-handler/http;x-scheme-handler/https;
ENTRY
export XDG_DATA_HOME="$E2E_TMP/data" XDG_CONFIG_HOME="$E2E_TMP/config" XDG_DATA_DIRS=/usr/share
xdg-mime default record-browser.desktop text/html x-scheme-handler/http x-scheme-handler/https
[ "$(xdg-mime query default x-scheme-handler/https)" = record-browser.desktop ] ||
    fail "the recording browser is not the default handler"

start_wordwisp "$home"
main=$(find_window '^Wordwisp$') || fail "the Wordwisp window did not appear"
xdotool windowfocus --sync "$main"

menu_open() { [ "$(xdotool search --onlyvisible --pid "$WORDWISP_PID" 2>/dev/null | wc -l)" -ge 2 ]; }
# Chooses an item of the main menu, opened from "Menù", by the keys given.
menu_item() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    # A window that has only just appeared may not take the first click yet: click until the menu is up.
    for _ in 1 2 3; do
        xdotool mousemove --window "$main" 200 $((HEIGHT - 22)) click 1
        wait_for 2 menu_open && break
    done
    menu_open || fail "\"Menù\" opened no menu"
    xdotool mousemove 1200 780
    xdotool key "$@"
    sleep 0.3
}
lines() { [ "$(wc -l <"$opened")" -ge "$1" ]; }

menu_item Up Return
wait_for 10 lines 1 || fail "\"Help...\" opened nothing"
menu_item Down Down Down Down Return
wait_for 10 lines 2 || fail "\"Google...\" opened nothing"
menu_item Down Down Down Down Down Return
wait_for 10 lines 3 || fail "\"Wikipedia...\" opened nothing"
sleep 0.5
cat "$opened"

# xdg-open hands a file address on as a plain path.
help=$(sed -n 1p "$opened")
help=${help#file://}
[[ $help == /*/help/index.html ]] || fail "the help address is $help"
[ -f "$help" ] || fail "the help page $help does not exist"
grep -q '<title>Wordwisp help</title>' "$help" || fail "$help is not the help page"
[ "$(sed -n 2p "$opened")" = https://www.google.com/ ] || fail "Google opened $(sed -n 2p "$opened")"
[ "$(sed -n 3p "$opened")" = https://en.wikipedia.org/ ] || fail "Wikipedia opened $(sed -n 3p "$opened")"
[ "$(wc -l <"$opened")" -eq 3 ] || fail "an address was opened more than once"
cp "$help" "$ARTIFACTS/help.html"
echo "all web shortcuts passed"
