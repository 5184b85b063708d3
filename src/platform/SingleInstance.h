#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;
class QLocalSocket;
struct InstanceRequest;

// One expander per user and display: two would both expand every keyword, and the user would get the
// text twice. The first instance listens on a local socket in the user's runtime folder; a later start
// finds it there, asks it to show its window and leaves, and the command line's requests for the running
// instance (--show, --quit) travel the same way, as InstanceRequest lines. A socket left behind by a
// process that was killed answers no connection, and is taken over.
//
// Only the user's own processes are heard: the socket is made for its owner alone (in a runtime folder
// that is the user's alone), and on Linux every connection's peer credentials (SO_PEERCRED) must name the
// same user, or it is closed unheard. Anything that is not a well-formed request of a known command is
// ignored.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // What a request from another process came to.
    enum class Outcome {
        Done,       // the running instance did it (for a quit: and has ended)
        NoInstance, // nothing answers on the socket, or not as the same user
        Refused,    // the instance answered but would not (a quit it has to ask the user about first)
        NoAnswer,   // it did not answer, or did not end, in time
    };

    // The socket for this user (through the runtime folder) and this display.
    static QString defaultSocketPath();

    explicit SingleInstance(const QString& socketPath = defaultSocketPath(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the one instance (or no socket could be had at all: then running
    // beats refusing to start).
    bool isPrimary() const { return m_primary; }
    // From a later start: asks the running instance to show itself; false when it did not answer.
    bool askPrimaryToShow(int timeoutMs = 1000) const;
    // Where a quit request is carried out: returns false when the program declines to end.
    void setQuitHandler(std::function<bool()> handler) { m_quit = std::move(handler); }
    // Where a paste request (a key, and its category or none) is carried out: returns why the key was not
    // pasted, or nothing when it was.
    using PasteHandler = std::function<QString(const QString& key, const QString& category)>;
    void setPasteHandler(PasteHandler handler) { m_paste = std::move(handler); }

    // From a process that must not become the instance itself (the command line's --show and --quit):
    // "show" is done once the instance has it; "quit" once the instance has ended.
    static Outcome request(const QString& socketPath, const QString& command);
    // Any request; a refusal's reason, where the instance gave one, goes to reason.
    static Outcome request(const QString& socketPath, const InstanceRequest& request, QString* reason);

signals:
    // Another start asked for the window.
    void showRequested();
    // `wordwisp --pick` asked for the key picker.
    void pickRequested();

private:
    bool listen();
    void accept(QLocalSocket* client);
    void handle(QLocalSocket* socket, const InstanceRequest& request);

    QString m_path;
    QLocalServer* m_server = nullptr;
    bool m_primary = false;
    std::function<bool()> m_quit;
    PasteHandler m_paste;
};
