#include "app/PlatformStartGuard.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kExitFailed = 1;
QtMessageHandler g_previous = nullptr;

void startMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        if (g_previous)
            g_previous(type, context, message);
        return;
    }
    const QByteArray x11 = qgetenv("DISPLAY");
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    std::fprintf(stderr,
                 "wordwisp: cannot open the display (DISPLAY=%s, WAYLAND_DISPLAY=%s): no Qt platform could "
                 "start on it\n",
                 x11.isEmpty() ? "unset" : x11.constData(), wayland.isEmpty() ? "unset" : wayland.constData());
    std::fflush(stderr);
    // Nothing of the program has started yet: there is nothing to save and nothing to clean up.
    std::_Exit(kExitFailed);
}
} // namespace

PlatformStartGuard::PlatformStartGuard() {
    g_previous = qInstallMessageHandler(startMessage);
}

PlatformStartGuard::~PlatformStartGuard() {
    release();
}

void PlatformStartGuard::release() {
    if (!m_armed)
        return;
    m_armed = false;
    qInstallMessageHandler(g_previous);
}
