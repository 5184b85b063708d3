#include "platform/qt/QtBackends.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QInputDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QWidget>
#include <QWindow>

#ifdef WORDWISP_X11
#include "platform/x11/X11Support.h"
#endif

int QtDialogs::messageBox(const QString& text, int style, const QString& title) {
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    switch (style) {
    case BoxStyle::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case BoxStyle::YesNoQuestion:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setIcon(QMessageBox::Information);
        break;
    }
    const int answer = box.exec();
    if (style == BoxStyle::YesNoQuestion)
        return answer == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    return BoxAnswer::Ok;
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(nullptr, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QtTrayIcon::QtTrayIcon() : m_icon(new QSystemTrayIcon(this)) {
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // An XEmbed icon reports presses; its releases are caught in eventFilter. A tray host speaking
        // StatusNotifierItem reports whole clicks, and a click is all there is to go by. Double clicks
        // and the middle button open nothing.
        if (m_embedded)
            return;
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context)
            emit clicked(QCursor::pos());
    });
}

QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::show(const QIcon& icon, const QString& toolTip) {
    m_icon->setIcon(icon);
    m_icon->setToolTip(toolTip);
    m_icon->show();
    watchEmbeddedIcon();
}

void QtTrayIcon::watchEmbeddedIcon() {
    // Qt's XEmbed icon is a top-level widget of its own with a fixed object name; it is made anew each
    // time the icon is shown.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("QSystemTrayIconSys") && widget != m_embedded) {
            m_embedded = widget;
            widget->installEventFilter(this);
        }
    }
}

bool QtTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_embedded && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const bool over = m_embedded->rect().contains(mouse->position().toPoint());
        if (over && (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton))
            emit clicked(mouse->globalPosition().toPoint());
    }
    return false;
}

void QtTrayIcon::hide() {
    m_icon->hide();
}

bool QtTrayIcon::isVisible() const {
    return m_icon->isVisible();
}

bool QtShell::openUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl(url));
}

void QtShell::endProcess() {
    QCoreApplication::exit(0);
}

void QtWindowEffects::setStaysOnTop(QWidget* window, bool onTop) {
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing a window flag re-creates the native window hidden; show it again where it was.
    if (wasVisible)
        window->show();
}

void QtWindowEffects::setOpacity(QWidget* window, double opacity) {
    window->setWindowOpacity(opacity);
}

bool QtWindowEffects::startSystemMove(QWidget* window) {
    QWindow* handle = window->windowHandle();
    return handle && handle->startSystemMove();
}

namespace {
// The native window of a widget that has one; 0 otherwise (winId() would make one).
[[maybe_unused]] unsigned long nativeWindow(QWidget* window) {
    const QWindow* handle = window->windowHandle();
    return handle && handle->handle() ? window->winId() : 0;
}
} // namespace

// Both do nothing beyond Qt's own calls where the window is not on X11 (X11Support finds no display then).
// They live here rather than in an X11-only class so that every window on an X server gets them, whichever
// effects the platform chose.
void QtWindowEffects::prepareToShowAgain([[maybe_unused]] QWidget* window) {
#ifdef WORDWISP_X11
    // "*" minimises before it hides, and that leaves the iconic initial state in WM_HINTS. Qt takes it
    // back when it unminimises, but only if it still believes the window minimised: when the window
    // manager iconified and withdrew the window in two steps that Qt saw apart, Qt last heard "not
    // minimised" and maps the window with the stale hint, and xfwm4 keeps it iconic.
    X11Support::setInitialStateNormal(nativeWindow(window));
#endif
}

void QtWindowEffects::bringToFront(QWidget* window) {
    WindowEffects::bringToFront(window);
#ifdef WORDWISP_X11
    // Qt's own activation carries the time of the last input event we saw, which for a request from a
    // second start or the tray is old, and a window manager that prevents focus stealing refuses it. The
    // same request as a pager's is obeyed, and also takes the window out of the iconic state where a
    // window manager left it there.
    X11Support::requestActivation(nativeWindow(window));
#endif
}
