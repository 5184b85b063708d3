#pragma once

#include <QDBusConnection>
#include <QString>

#include <optional>

// The application whose window is active, as the accessibility bus names it ("gnome-terminal-server",
// "gedit"): on GNOME's Wayland session no other interface tells an ordinary client which native window has
// the focus. Asked only when a paste goes out, a few calls of a few milliseconds at most each; nothing is
// subscribed, so nothing wakes the program in between.
class FocusedApp {
public:
    explicit FocusedApp(const QDBusConnection& sessionBus);

    // Empty when no accessibility bus runs, no application says it is active, or one does not answer in
    // time.
    QString name();

private:
    QDBusConnection m_session;
    std::optional<QDBusConnection> m_a11y;
};
