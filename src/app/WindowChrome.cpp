#include "app/WindowChrome.h"

#include "app/WindowLayout.h"
#include "platform/Clock.h"
#include "platform/ClockText.h"
#include "platform/LabelButton.h"
#include "platform/WindowEffects.h"

#include <QEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

using namespace WindowLayout;

namespace {
// How long the window manager gets to act on a maximise or minimise request before we conclude it
// will not.
constexpr int kWindowManagerGraceMs = 300;
} // namespace

WindowChrome::WindowChrome(const Controls& controls, WindowEffects& effects, const Clock& clock, QObject* parent)
    : QObject(parent), c(controls), m_effects(effects), m_clock(clock) {
    c.window->setMinimumSize(toPixels(kMinWidth), toPixels(kMinHeight));
    c.window->installEventFilter(this);
    c.titleBar->installEventFilter(this);
    c.title->installEventFilter(this);
    c.grip->installEventFilter(this);
    connect(c.fullScreen, &LabelButton::clicked, this, &WindowChrome::Label13_Click);
    connect(c.minimise, &LabelButton::clicked, this, &WindowChrome::Label3_Click);
    // The first layout comes with the window's first resize event, when it is shown at its start size.
}

QString WindowChrome::minimisedCaption(const QDateTime& moment) {
    return QStringLiteral(" Wordwisp  |") + ClockText::date(moment.date()) + QStringLiteral(" - ") +
           ClockText::time(moment.time()) + QStringLiteral("| ");
}

bool WindowChrome::isNormal(const QWidget* window) {
    return !(window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void WindowChrome::Form_Resize() {
    const Arrangement a = arrange(toTwips(c.window->width()), toTwips(c.window->height()));
    // A maximised or minimised window keeps the size the system gave it; the controls are still laid
    // out for at least the minimum.
    if (isNormal() && (toPixels(a.width) > c.window->width() || toPixels(a.height) > c.window->height()))
        c.window->resize(toPixels(a.width), toPixels(a.height));
    c.titleBar->setGeometry(toPixels(a.titleBar));
    // The title text runs to the end of the bar: the clock makes it much longer than its first caption.
    c.title->resize(c.titleBar->width() - c.title->x(), c.title->height());
    c.text->setGeometry(toPixels(a.text2));
    c.keyList->setGeometry(toPixels(a.list1));
    c.toolbar->setGeometry(toPixels(a.picture1));
    c.save->setGeometry(toPixels(a.label6));
    c.grip->setGeometry(toPixels(a.resizepic));
}

void WindowChrome::Label13_Click() {
    const Qt::WindowStates state = c.window->windowState();
    if (state & Qt::WindowMinimized)
        return;
    if (m_handMaximised) {
        m_handMaximised = false;
        c.window->showNormal();
        c.window->setGeometry(m_normalGeometry);
    } else if (state & Qt::WindowMaximized) {
        m_maximiseRequested = false;
        c.window->showNormal();
    } else if (isNormal()) {
        m_normalGeometry = c.window->geometry();
        m_maximiseRequested = true;
        c.window->showMaximized();
        QTimer::singleShot(kWindowManagerGraceMs, this, &WindowChrome::maximiseByHandIfRefused);
    }
}

void WindowChrome::maximiseByHandIfRefused() {
    // Some window managers (and a bare X server) ignore the maximise request; then fill the screen
    // ourselves and remember the size to come back to.
    if (!m_maximiseRequested || (c.window->windowState() & Qt::WindowMinimized))
        return;
    m_maximiseRequested = false;
    const QScreen* screen = c.window->screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    if (c.window->width() >= area.width() && c.window->height() >= area.height())
        return;
    m_handMaximised = true;
    c.window->setGeometry(area);
}

void WindowChrome::Label3_Click() {
    c.window->setWindowTitle(minimisedCaption(m_clock.now()));
    c.window->showMinimized();
    // A window manager iconifies in its own time, under load well after any grace period we might
    // pick; only without one is there nothing to wait for.
    if (!m_effects.hasWindowManager())
        QTimer::singleShot(kWindowManagerGraceMs, this, &WindowChrome::notMinimisedAfterAll);
}

void WindowChrome::showNormalAgain() {
    m_maximiseRequested = false;
    const bool byHand = m_handMaximised;
    m_handMaximised = false;
    m_effects.prepareToShowAgain(c.window);
    c.window->setWindowState(Qt::WindowNoState);
    c.window->show();
    if (byHand)
        c.window->setGeometry(m_normalGeometry);
}

void WindowChrome::notMinimisedAfterAll() {
    // Without a window manager nothing iconifies the window; it stays on screen, and it must not go
    // on counting as minimised, or "[]" would ignore it from then on.
    const QWindow* handle = c.window->windowHandle();
    if ((c.window->windowState() & Qt::WindowMinimized) && handle && handle->isExposed() && c.window->isVisible())
        c.window->setWindowState(c.window->windowState() & ~Qt::WindowMinimized);
}

bool WindowChrome::eventFilter(QObject* watched, QEvent* event) {
    if (watched == c.window) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange)
            Form_Resize();
        return false;
    }
    if (watched == c.grip)
        return gripMouse(event);
    if (watched == c.titleBar || watched == c.title)
        return titleMouse(event);
    return false;
}

bool WindowChrome::titleMouse(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        // The window manager's own move loop, as if a real title bar had been pressed; where it
        // refuses, follow the pointer ourselves until the button comes up.
        m_handMoving = !m_effects.startSystemMove(c.window);
        m_grabOffset = mouse->globalPosition().toPoint() - c.window->pos();
        return true;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_handMoving || !(mouse->buttons() & Qt::LeftButton))
            return false;
        c.window->move(mouse->globalPosition().toPoint() - m_grabOffset);
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            m_handMoving = false;
        return false;
    default:
        return false;
    }
}

bool WindowChrome::gripMouse(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_sizing = true; // any button
        return true;
    case QEvent::MouseMove: {
        if (!m_sizing || !isNormal())
            return m_sizing;
        // The grip's top-left corner goes under the pointer; the layout then moves the grip to the new
        // corner. Working from the pointer's place in the window rather than adding up steps keeps the
        // corner under the pointer even when the system is slow to apply a size.
        const QPoint inWindow = c.window->mapFromGlobal(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        const QSize wanted = gripDragSize({toTwips(inWindow.x()), toTwips(inWindow.y())});
        const Arrangement a = arrange(wanted.width(), wanted.height());
        c.window->resize(toPixels(a.width), toPixels(a.height));
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_sizing = false; // any button
        return true;
    default:
        return false;
    }
}
