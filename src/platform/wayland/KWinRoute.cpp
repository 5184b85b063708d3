#include "platform/wayland/KWinRoute.h"

#include "platform/KWinAccess.h"
#include "platform/wayland/KWinKeySender.h"
#include "platform/wayland/PlasmaWindows.h"
#include "platform/wayland/WaylandSession.h"

void KWinRoute::keysAndFocus(WaylandSession& session, std::unique_ptr<KeySender>& keys,
                             std::unique_ptr<WindowFocus>& focus) {
    if (!session.offered().fakeInput)
        return;
    std::unique_ptr<PlasmaWindows> windows;
    if (session.offered().plasmaWindows) {
        windows = std::make_unique<PlasmaWindows>(session);
        if (!windows->isValid())
            windows.reset();
    }
    auto sender = std::make_unique<KWinKeySender>(session, windows.get());
    if (!sender->isValid())
        return;
    keys = std::move(sender);
    focus = std::move(windows);
}

bool KWinRoute::offerAccess(const WaylandSession& session, Dialogs& dialogs) {
    const WaylandSession::Offered& offered = session.offered();
    if (!offered.kwin || !offered.dataControl || offered.fakeInput)
        return false;
    // KWin looks the entry up for each new connection: a fresh one tells whether it has taken it.
    const auto granted = [] { return WaylandSession::probe().fakeInput; };
    return KWinAccess::offer(dialogs, KWinAccess::current(), granted) != KWinAccess::Outcome::NotAsked;
}
