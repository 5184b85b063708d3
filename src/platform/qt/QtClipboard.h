#pragma once

#include "platform/Clipboard.h"

#include <functional>

class QClipboard;

// The system clipboard through Qt. On X11 a set is confirmed with the server before it counts: Qt can
// fail to take the selection (its cached server time is older than another client's copy) and still
// report that it owns the clipboard.
class QtClipboard : public Clipboard {
    Q_OBJECT
public:
    // The owner probe answers "who owns the clipboard selection now" from the server; it may be empty
    // where the platform has no such notion, and then a set counts as soon as Qt has taken it.
    using OwnerProbe = std::function<unsigned long()>;

    explicit QtClipboard(bool changeSignal, OwnerProbe ownerProbe = {});

    QString text() override;
    void clear() override;
    bool setText(const QString& text) override;
    bool hasChangeSignal() const override { return m_changeSignal; }

private:
    bool trySet(const QString& text);

    QClipboard* m_clipboard;
    bool m_changeSignal;
    OwnerProbe m_ownerProbe;
    unsigned long m_ownWindow = 0;
};
