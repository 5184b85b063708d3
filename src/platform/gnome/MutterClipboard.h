#pragma once

#include "platform/Clipboard.h"
#include "platform/x11/X11Clipboard.h"

#include <QDBusConnection>
#include <QTimer>

#include <memory>

// The X11 clipboard as mutter bridges it to native windows, with two races of that bridge closed.
//
// One copy in a native window changes the X11 clipboard twice: the application's offer and, up to a few
// milliseconds later, mutter's own copy of it. A text of ours set in between is overwritten by that copy,
// and the paste puts the keyword back over itself. So a change counts only once no other has followed
// for a few milliseconds.
//
// Our text reaches native windows only after mutter has asked us for it and made it the Wayland
// selection; a paste keystroke that gets there first pastes what was there before (the keyword). So
// setting the text returns once mutter has asked, and has been reached on the session bus after that.
class MutterClipboard : public Clipboard {
    Q_OBJECT
public:
    MutterClipboard(std::unique_ptr<X11Clipboard> inner, const QDBusConnection& bus);

    QString text() override { return m_inner->text(); }
    void clear() override { m_inner->clear(); }
    bool setText(const QString& text) override;
    bool hasChangeSignal() const override { return true; }
    bool clearsBeforeSet() const override { return m_inner->clearsBeforeSet(); }

private:
    std::unique_ptr<X11Clipboard> m_inner;
    QDBusConnection m_bus;
    QTimer m_settle;
};
