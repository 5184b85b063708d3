#!/usr/bin/env bash
# A paste must land in the window the keyword was copied from, or nowhere. Under a headless KWin with
# XWayland, Wordwisp started the default way sits on XWayland (KWin offers ordinary programs no virtual
# keyboard) and types through XTest, which reaches X11 windows only. The user copies a keyword in a native
# editor while an XWayland editor waits behind it; KWin hands the Wayland selection to X only when an X
# window takes the focus, so Wordwisp hears of the copy seconds late, when the user has gone to the
# XWayland editor. Nothing of the expansion may be pasted there; it must be on the clipboard, so that the
# user's own Ctrl+V back in the native editor replaces the keyword, still selected, with it.
#   kwin_wrong_window.sh <wordwisp binary> <artifacts dir>
source "$(dirname "$0")/kwin.bash"

native_doc="$WL_TMP/doc/native.txt"
x_doc="$WL_TMP/doc/x11.txt"
report() {
    echo "--- windows"; windows 2>/dev/null
    echo "--- the native editor's file"; od -c "$native_doc" | tail -4
    echo "--- the XWayland editor's file"; od -c "$x_doc" | tail -4
    echo "--- wordwisp log"; cat "$WL_TMP/wordwisp.log"
    echo "--- kwin log"; tail -15 "$WL_TMP/kwin.log"
}
trap 'status=$?; [ $status -ne 0 ] && report; wl_cleanup; exit $status' EXIT

home="$WL_TMP/home/wordwisp"
mkdir -p "$home/Db/Work" "$WL_TMP/doc"
printf 'Work\r\n' >"$home/Db/Cat.ini"
printf 'Best regards\r\n' >"$home/Db/Work/sig"
: >"$native_doc"
x_text=$'notes kept in the X11 editor\n'
printf '%s' "$x_text" >"$x_doc"
# This copy once asked whether it may write the desktop file that lets KWin take its keys, and the user
# said No: it stays on XWayland, the case tested here (kwin_l3afpad.sh tests the question itself).
mkdir -p "$WL_TMP/home/.config/wordwisp"
printf '%s\r\n' "$WORDWISP_BIN" >"$WL_TMP/home/.config/wordwisp/kwin-declined"
chown -R "$WL_OWNER" "$home" "$WL_TMP/doc" "$WL_TMP/home/.config"

test_started=$SECONDS
start_kwin
start_wordwisp "$home"
# Closes a box of Wordwisp's, as the user does, if one comes within $1 seconds; true if one came. Its
# main window is not the active one then, so the active window of its process is the box.
wordwisp_windows() { windows | awk -v p="$WORDWISP_PID" '$3 == p' | wc -l; }
box_shown() { [ "$(wordwisp_windows)" -ge 2 ]; }
box_closed() { [ "$(wordwisp_windows)" -eq 1 ]; }
close_box() {
    wait_for "$1" box_shown || return 1
    wait_for 3 has_focus "$WORDWISP_PID" || fail "a box of Wordwisp's came without the focus: $(windows)"
    keys Return
    wait_for 3 box_closed || fail "the box did not close: $(windows)"
}
# KWin lets no ordinary program type natively, so Wordwisp says once at start-up where it pastes.
close_box 5

start_x_editor "$x_doc"
start_editor "$native_doc"
DOC=$native_doc
type_text sig
keys shift+Home ctrl+c
wait_for 2 clipboard_is sig || fail "the copy of sig did not reach the clipboard: $(clipboard | head -c 80)"
sleep 3
# The user goes to the XWayland editor: now X hears of the copy. Wordwisp may say why it did not paste;
# then the user closes the box and goes back to the editor, which must get nothing that time either.
activate "$X_EDITOR_PID"
told=no
close_box 3 && told=yes && activate "$X_EDITOR_PID"
sleep 1.5
DOC=$x_doc
marker="seen "
type_text "$marker"
saved_as "$marker$x_text" || fail "the XWayland editor got what was copied in another window"
wait_for 3 clipboard_is "Best regards" ||
    fail "the expansion is not on the clipboard for the user to paste: $(clipboard | head -c 80)"

# Back in the native editor, sig is still selected: the user pastes by hand.
activate "$EDITOR_PID"
DOC=$native_doc
keys ctrl+v
saved_as "Best regards" || fail "the user's own Ctrl+V did not replace sig with the expansion"
kill -0 "$WORDWISP_PID" 2>/dev/null || fail "wordwisp is no longer running"
echo "PASS: nothing pasted into the XWayland editor (a box said why: $told), the user's Ctrl+V gave the expansion" \
    "(KWin up in $KWIN_START_MS ms, $((SECONDS - test_started)) s in all)"
