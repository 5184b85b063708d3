#pragma once

#include "platform/KeySender.h"
#include "platform/WindowFocus.h"

#include <memory>

class Dialogs;
class WaylandSession;

// KWin's way of letting a program type and know the windows: fake input and Plasma's window list, offered
// only to a program whose installed desktop file asks for them.
namespace KWinRoute {

// The keystrokes through fake input and the focus through the window list, where the session has them;
// keys stays empty without fake input, focus without the window list.
void keysAndFocus(WaylandSession& session, std::unique_ptr<KeySender>& keys, std::unique_ptr<WindowFocus>& focus);

// On KWin without fake input for us (what the session was offered tells): offers, once, the desktop entry
// that asks for it (see KWinAccess). True when a box said why this start cannot paste into every window, so
// that no other notice repeats it; a session made after a Yes gets what KWin grants.
bool offerAccess(const WaylandSession& session, Dialogs& dialogs);

} // namespace KWinRoute
