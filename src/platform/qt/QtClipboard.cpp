#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QThread>

namespace {
// A failed set is retried a few times: each try first lets Qt catch up with the server's events, which
// brings its idea of the server time up to date.
constexpr int kSetAttempts = 5;
constexpr int kRetryPauseMs = 2;
} // namespace

QtClipboard::QtClipboard(bool changeSignal, OwnerProbe ownerProbe)
    : m_clipboard(QGuiApplication::clipboard()), m_changeSignal(changeSignal), m_ownerProbe(std::move(ownerProbe)) {
    if (m_changeSignal) {
        connect(m_clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard)
                emit changed();
        });
    }
}

QString QtClipboard::text() {
    return m_clipboard->text(QClipboard::Clipboard);
}

void QtClipboard::clear() {
    // Giving up the selection is stamped with Qt's idea of the server time just like taking it: where the
    // program polls, the other application's copy may not have reached Qt yet, and the server would
    // refuse the request as older than that copy.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_clipboard->clear(QClipboard::Clipboard);
}

bool QtClipboard::setText(const QString& text) {
    for (int attempt = 0; attempt < kSetAttempts; ++attempt) {
        if (trySet(text))
            return true;
        QThread::msleep(kRetryPauseMs);
    }
    return false;
}

bool QtClipboard::trySet(const QString& text) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const unsigned long before = m_ownerProbe ? m_ownerProbe() : 0;
    m_clipboard->setText(text, QClipboard::Clipboard);
    if (!m_ownerProbe)
        return m_clipboard->ownsClipboard() || m_clipboard->text(QClipboard::Clipboard) == text;
    const unsigned long after = m_ownerProbe();
    // Taken when the owner moved to a new window, or stayed with the window we already owned it through.
    const bool taken = after != 0 && (after != before || after == m_ownWindow);
    if (taken)
        m_ownWindow = after;
    return taken;
}
