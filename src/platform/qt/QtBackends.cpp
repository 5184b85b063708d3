#include "platform/qt/QtBackends.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QInputDialog>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QWidget>
#include <QWindow>

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
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::Context ||
            reason == QSystemTrayIcon::DoubleClick)
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
