#pragma once

#include <QString>

struct Platform;

// What changes on GNOME's Wayland session (mutter), where the window runs on XWayland with the X11
// backend: the clipboard stays on X11, which sees the native windows' copies through XWayland, and the
// paste keystroke goes through mutter's remote-desktop interface, which reaches native windows too.
namespace GnomeDesktop {
// Applies that when the desktop is one: a Wayland session, the window on X11, and a mutter on the session
// bus that offers the interface. Leaves the platform as it is anywhere else, GNOME's X11 session included.
void adapt(Platform& platform);
// The notice for the first start with keys through mutter; empty once it has been shown. The file that
// remembers it lives in the config folder (configFolder, by default $XDG_CONFIG_HOME/wordwisp).
QString firstStartNotice(const QString& configFolder);
} // namespace GnomeDesktop
