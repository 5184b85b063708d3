#pragma once

#include <QObject>
#include <QString>

// The system clipboard, plain text only. Reads return the empty text when the clipboard holds no text.
class Clipboard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Clipboard() override = default;

    virtual QString text() = 0;
    virtual void clear() = 0;
    // Puts the text on the clipboard and returns true only once the system confirms that it holds it:
    // a paste sent after a failed set would paste whatever was there before.
    virtual bool setText(const QString& text) = 0;
    // True where the platform tells us about every change (changed() fires); false where only polling works.
    virtual bool hasChangeSignal() const = 0;
    // Whether putting text on the clipboard clears it first. Where taking the clipboard replaces what
    // another program offered in one step, the clear only costs every client one more change event.
    virtual bool clearsBeforeSet() const { return true; }

signals:
    void changed();
};
