#include "platform/wayland/WaylandClipboard.h"

#include "platform/wayland/WaylandSession.h"

#include "wlr-data-control-unstable-v1-client.h"

#include <QSocketNotifier>
#include <QTimer>

#include <wayland-client.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The text types, best first: what we read from others and what we offer ourselves.
const QList<QByteArray> kTextTypes = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING", "TEXT"};

WaylandClipboard* from(void* data) {
    return static_cast<WaylandClipboard*>(data);
}

void onOffer(void* data, zwlr_data_control_offer_v1* offer, const char* mimeType) {
    from(data)->offerType(offer, mimeType);
}
const zwlr_data_control_offer_v1_listener kOfferListener = {onOffer};

void onDataOffer(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    from(data)->offerCreated(offer);
}
void onSelection(void* data, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    from(data)->selectionChanged(offer);
}
void onFinished(void* data, zwlr_data_control_device_v1*) {
    from(data)->deviceFinished();
}
void onPrimarySelection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1* offer) {
    // Selected text is not copied text; only the clipboard matters here.
    if (offer)
        zwlr_data_control_offer_v1_destroy(offer);
}
const zwlr_data_control_device_v1_listener kDeviceListener = {onDataOffer, onSelection, onFinished, onPrimarySelection};

void onSend(void* data, zwlr_data_control_source_v1* source, const char* mimeType, int32_t fd) {
    from(data)->sourceAsked(source, mimeType, fd);
}
void onCancelled(void* data, zwlr_data_control_source_v1* source) {
    from(data)->sourceCancelled(source);
}
const zwlr_data_control_source_v1_listener kSourceListener = {onSend, onCancelled};
} // namespace

// Writes our text into one reader's pipe as it takes it, without waiting on a slow reader.
struct WaylandClipboard::Writer {
    int fd = -1;
    QByteArray bytes;
    qsizetype written = 0;
    QSocketNotifier* notifier = nullptr;
};

WaylandClipboard::WaylandClipboard(WaylandSession& session) : m_session(session) {
    if (!session.dataControl() || !session.seat())
        return;
    // A reader that closes its end early must not end the program: writes then fail with EPIPE instead.
    std::signal(SIGPIPE, SIG_IGN);
    m_readTimeout = new QTimer(this);
    m_readTimeout->setSingleShot(true);
    m_readTimeout->setInterval(kTimeoutMs);
    connect(m_readTimeout, &QTimer::timeout, this, [this] {
        abandonReading();
        finishReading(QString());
    });
    m_device = zwlr_data_control_manager_v1_get_data_device(session.dataControl(), session.seat());
    zwlr_data_control_device_v1_add_listener(m_device, &kDeviceListener, this);
    // The first selection event tells what the clipboard holds now.
    session.roundtrip();
}

WaylandClipboard::~WaylandClipboard() {
    abandonReading();
    for (Writer* writer : std::as_const(m_writers)) {
        delete writer->notifier;
        ::close(writer->fd);
        delete writer;
    }
    for (auto it = m_offers.cbegin(); it != m_offers.cend(); ++it)
        zwlr_data_control_offer_v1_destroy(it.key());
    if (m_source)
        zwlr_data_control_source_v1_destroy(m_source);
    if (m_device)
        zwlr_data_control_device_v1_destroy(m_device);
    m_session.flush();
}

void WaylandClipboard::offerCreated(zwlr_data_control_offer_v1* offer) {
    m_offers.insert(offer, {});
    zwlr_data_control_offer_v1_add_listener(offer, &kOfferListener, this);
}

void WaylandClipboard::offerType(zwlr_data_control_offer_v1* offer, const char* mimeType) {
    auto it = m_offers.find(offer);
    if (it != m_offers.end())
        it->append(QByteArray(mimeType));
}

void WaylandClipboard::destroyOffer(zwlr_data_control_offer_v1* offer) {
    if (!offer)
        return;
    m_offers.remove(offer);
    zwlr_data_control_offer_v1_destroy(offer);
}

void WaylandClipboard::selectionChanged(zwlr_data_control_offer_v1* offer) {
    // Whatever was still being read belongs to a clipboard that is gone.
    abandonReading();
    if (m_selection != offer)
        destroyOffer(m_selection);
    m_selection = offer;
    if (!offer) {
        finishReading(QString());
        return;
    }
    const QList<QByteArray> types = m_offers.value(offer);
    if (!m_ownType.isEmpty() && types.contains(m_ownType)) {
        // Our own text: known without a read.
        m_ownSelectionSeen = true;
        finishReading(QString::fromUtf8(m_sourceBytes));
        return;
    }
    for (const QByteArray& type : kTextTypes) {
        if (types.contains(type)) {
            startReading(offer, type);
            return;
        }
    }
    // A picture or a file list: no text.
    finishReading(QString());
}

void WaylandClipboard::startReading(zwlr_data_control_offer_v1* offer, const QByteArray& mimeType) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        finishReading(QString());
        return;
    }
    zwlr_data_control_offer_v1_receive(offer, mimeType.constData(), fds[1]);
    m_session.flush();
    // The owner has its own copy of the write end now; ours would keep the pipe from ever ending.
    ::close(fds[1]);
    m_readFd = fds[0];
    m_incoming.clear();
    m_reader = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_reader, &QSocketNotifier::activated, this, &WaylandClipboard::readAvailable);
    m_readTimeout->start();
}

void WaylandClipboard::readAvailable() {
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(m_readFd, buffer, sizeof buffer);
        if (n > 0) {
            m_incoming.append(buffer, n);
            if (m_incoming.size() > kMaxBytes) {
                // Far longer than any keyword: not worth the rest of the transfer.
                abandonReading();
                finishReading(QString());
                return;
            }
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // The end of the text, or a broken pipe, which gives what came so far.
        const QByteArray bytes = m_incoming;
        abandonReading();
        finishReading(QString::fromUtf8(bytes));
        return;
    }
}

void WaylandClipboard::abandonReading() {
    if (m_readTimeout)
        m_readTimeout->stop();
    if (m_reader) {
        m_reader->setEnabled(false);
        m_reader->deleteLater();
        m_reader = nullptr;
    }
    if (m_readFd >= 0) {
        ::close(m_readFd);
        m_readFd = -1;
    }
    m_incoming.clear();
}

void WaylandClipboard::finishReading(const QString& text) {
    m_text = text;
    emit changed();
}

void WaylandClipboard::deviceFinished() {
    abandonReading();
    if (m_device) {
        zwlr_data_control_device_v1_destroy(m_device);
        m_device = nullptr;
    }
    qWarning("Wordwisp: the compositor stopped sharing the clipboard");
}

void WaylandClipboard::clear() {
    if (!m_device)
        return;
    zwlr_data_control_device_v1_set_selection(m_device, nullptr);
    m_session.roundtrip();
}

bool WaylandClipboard::setText(const QString& text) {
    if (!m_device)
        return false;
    // The source before this one stays until the compositor cancels it: destroying it first would
    // empty the clipboard for a moment, one more change for every client to see.
    m_source = zwlr_data_control_manager_v1_create_data_source(m_session.dataControl());
    zwlr_data_control_source_v1_add_listener(m_source, &kSourceListener, this);
    for (const QByteArray& type : kTextTypes)
        zwlr_data_control_source_v1_offer(m_source, type.constData());
    // A type of our own, new for every text, by which the compositor's announcement of this very
    // selection is known when it comes back to us.
    m_ownType = "application/x-wordwisp-" + QByteArray::number(++m_generation);
    zwlr_data_control_source_v1_offer(m_source, m_ownType.constData());
    m_sourceBytes = text.toUtf8();
    m_ownSelectionSeen = false;
    zwlr_data_control_device_v1_set_selection(m_device, m_source);
    m_session.flush();
    return m_session.dispatchUntil([this] { return m_ownSelectionSeen || !m_device; }, kTimeoutMs) &&
           m_ownSelectionSeen;
}

void WaylandClipboard::sourceAsked(zwlr_data_control_source_v1* source, const char*, int fd) {
    if (source != m_source) {
        ::close(fd);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    auto* writer = new Writer{fd, m_sourceBytes, 0, nullptr};
    const auto step = [this, writer] {
        while (writer->written < writer->bytes.size()) {
            const ssize_t n = ::write(writer->fd, writer->bytes.constData() + writer->written,
                                      writer->bytes.size() - writer->written);
            if (n > 0) {
                writer->written += n;
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                return; // the reader takes more later
            break;      // the reader went away
        }
        m_writers.removeOne(writer);
        if (writer->notifier) {
            writer->notifier->setEnabled(false);
            writer->notifier->deleteLater();
        }
        ::close(writer->fd);
        delete writer;
    };
    m_writers.append(writer);
    writer->notifier = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(writer->notifier, &QSocketNotifier::activated, this, step);
    step();
}

void WaylandClipboard::sourceCancelled(zwlr_data_control_source_v1* source) {
    // Another client took the clipboard: our text is no longer offered.
    zwlr_data_control_source_v1_destroy(source);
    if (source == m_source)
        m_source = nullptr;
}
