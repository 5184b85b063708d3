#pragma once

#include "platform/Clipboard.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>

class QSocketNotifier;
class QTimer;
class WaylandSession;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_source_v1;

// The clipboard through the compositor's data-control protocol, which tells a client of every change
// while another window has the focus (the ordinary Wayland clipboard does not).
//
// Reading: every new selection leads to one read of its text through a pipe, driven by the event loop;
// changed() fires once the text of that change is known. An owner that does not finish within 300 ms,
// or whose text passes 256 KB (no keyword is that long), counts as "no text" for that change.
//
// Setting: the text is offered under the usual text types and one of our own, which tells the program's
// own selection apart when the compositor announces it; setText() returns true once it has.
class WaylandClipboard : public Clipboard {
    Q_OBJECT
public:
    static constexpr int kTimeoutMs = 300;
    static constexpr int kMaxBytes = 256 * 1024;

    explicit WaylandClipboard(WaylandSession& session);
    ~WaylandClipboard() override;

    bool isValid() const { return m_device != nullptr; }

    QString text() override { return m_text; }
    void clear() override;
    bool setText(const QString& text) override;
    bool hasChangeSignal() const override { return true; }
    // Setting replaces what another client offered in one step.
    bool clearsBeforeSet() const override { return false; }

    // Data-control callbacks.
    void offerCreated(zwlr_data_control_offer_v1* offer);
    void offerType(zwlr_data_control_offer_v1* offer, const char* mimeType);
    void selectionChanged(zwlr_data_control_offer_v1* offer);
    void deviceFinished();
    void sourceAsked(zwlr_data_control_source_v1* source, const char* mimeType, int fd);
    void sourceCancelled(zwlr_data_control_source_v1* source);

private:
    struct Writer;
    void startReading(zwlr_data_control_offer_v1* offer, const QByteArray& mimeType);
    void readAvailable();
    void finishReading(const QString& text);
    void abandonReading();
    void destroyOffer(zwlr_data_control_offer_v1* offer);

    WaylandSession& m_session;
    zwlr_data_control_device_v1* m_device = nullptr;
    // The types each live offer announced, until it is the selection or replaced.
    QHash<zwlr_data_control_offer_v1*, QList<QByteArray>> m_offers;
    zwlr_data_control_offer_v1* m_selection = nullptr;

    int m_readFd = -1;
    QSocketNotifier* m_reader = nullptr;
    QTimer* m_readTimeout = nullptr;
    QByteArray m_incoming;

    zwlr_data_control_source_v1* m_source = nullptr;
    QByteArray m_sourceBytes;
    QByteArray m_ownType;
    quint64 m_generation = 0;
    bool m_ownSelectionSeen = false;
    QList<Writer*> m_writers;

    QString m_text;
};
