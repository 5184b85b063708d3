#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

// Key events through mutter's remote-desktop interface (org.gnome.Mutter.RemoteDesktop on the session
// bus), the one route by which an ordinary program types into native windows on GNOME without a dialog.
// A session is opened on the first keys, kept while keys keep coming and stopped after a short idle
// time: while one runs, GNOME's top bar shows its screen-sharing indicator, and while none runs nothing of
// this costs anything. Every call waits a bounded time, so a mutter that stops answering never holds the
// window for long.
class MutterSession : public QObject {
    Q_OBJECT
public:
    struct KeyEvent {
        std::uint32_t keysym;
        bool press;
    };

    explicit MutterSession(const QDBusConnection& bus, QObject* parent = nullptr);
    ~MutterSession() override;

    // True when the bus has mutter's remote-desktop interface in a version this program speaks.
    static bool offered(const QDBusConnection& bus);
    // One call that mutter answers; false when it does not answer in time.
    static bool ping(const QDBusConnection& bus) { return offered(bus); }

    // Sends the events in order, opening (and priming) a session first when none runs; false when mutter
    // refused a session or the events, in which case none of them is known to have arrived.
    bool send(const QList<KeyEvent>& events);
    bool isOpen() const { return !m_path.isEmpty(); }

private slots:
    // Mutter ended the session: the user stopped the sharing from the top bar, the screen locked, or our
    // own Stop came back. Connected by name, the only form QDBusConnection::connect takes.
    void closedByMutter(const QDBusMessage& message);

private:
    bool open();
    void stop();
    void drop();
    bool call(const QString& method, const QVariantList& arguments);
    bool sendEvent(const KeyEvent& event);

    QDBusConnection m_bus;
    QString m_path;
    QTimer m_idle;
};
