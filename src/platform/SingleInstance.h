#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One expander per user and display: two would both expand every keyword, and the user would get the
// text twice. The first instance listens on a local socket in the user's runtime folder; a later start
// finds it there, asks it to show its window and leaves. A socket left behind by a process that was
// killed answers no connection, and is taken over.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket for this user (through the runtime folder) and this display.
    static QString defaultSocketPath();

    explicit SingleInstance(const QString& socketPath = defaultSocketPath(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance (or no socket could be had at all: then running
    // beats refusing to start).
    bool isPrimary() const { return m_primary; }
    // From a later start: asks the running instance to show itself; false when it did not answer.
    bool askPrimaryToShow(int timeoutMs = 1000) const;

signals:
    // Another start asked for the window.
    void showRequested();

private:
    bool listen();

    QString m_path;
    QLocalServer* m_server = nullptr;
    bool m_primary = false;
};
