#pragma once

#include "platform/WindowFocus.h"

#include <QHash>
#include <QString>
#include <QStringList>

class WaylandSession;
struct org_kde_plasma_window;

// Other applications' windows as Plasma's window list names them (KWin offers it to a program its desktop
// file names): which one is active, what it is (app id and, for XWayland windows, the X resource name,
// so that terminals get their paste keystroke), and the request to activate one. Everything arrives as
// events on the session's connection; nothing is asked for at paste time.
class PlasmaWindows : public WindowFocus {
public:
    explicit PlasmaWindows(WaylandSession& session);
    ~PlasmaWindows() override;
    PlasmaWindows(const PlasmaWindows&) = delete;
    PlasmaWindows& operator=(const PlasmaWindows&) = delete;

    bool isValid() const { return m_valid; }
    WindowId foreignFocus() const override;
    bool giveFocus(WindowId window) override;
    // The names of the active window (app id, X resource name), for KeyPlan::pasteKeysFor.
    QStringList activeNames() const;

    // Window-list callbacks.
    void announced(org_kde_plasma_window* window);
    void appIdChanged(org_kde_plasma_window* window, const char* appId);
    void resourceNameChanged(org_kde_plasma_window* window, const char* name);
    void pidChanged(org_kde_plasma_window* window, uint32_t pid);
    void stateChanged(org_kde_plasma_window* window, uint32_t flags);
    void unmapped(org_kde_plasma_window* window);

private:
    struct Window {
        // Our own number for it: a proxy's address may be reused by a later window.
        WindowId id = 0;
        QString appId;
        QString resourceName;
        uint32_t pid = 0;
        bool active = false;
    };
    const Window* active() const;
    org_kde_plasma_window* find(WindowId id) const;

    WaylandSession& m_session;
    QHash<org_kde_plasma_window*, Window> m_windows;
    WindowId m_lastId = 0;
    bool m_valid = false;
};
