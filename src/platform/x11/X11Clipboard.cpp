#include "platform/x11/X11Clipboard.h"

#include "platform/SelectionReader.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <iterator>
#include <poll.h>

namespace {
// Properties our conversions are answered in. One left to an owner that went INCR is never touched
// again (deleting it would start that owner's transfer); the next name is used instead.
constexpr int kReplyProperties = 8;

QString displayName() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 && x11->display() ? QString::fromLocal8Bit(DisplayString(x11->display())) : QString();
}
} // namespace

// Lives on the clipboard thread, and so does its X connection: every Xlib call below runs there.
class X11ClipboardWorker : public QObject {
    Q_OBJECT
public:
    explicit X11ClipboardWorker(Display* dpy, int fixesEvent);
    ~X11ClipboardWorker() override;

    // Run on the clipboard thread.
    void start();
    bool set(const QString& text);
    void clear();
    Window window() const { return m_window; }
    bool waitAskedFor(int timeoutMs);

signals:
    // The text of a change, and the window that owned the clipboard with it.
    void textRead(const QString& text, unsigned long owner);

private:
    Atom atom(const char* name) { return XInternAtom(m_dpy, name, False); }
    void processEvents();
    void handle(XEvent& event);
    void carryOut(const SelectionReader::Step& step);
    void onReply(const XSelectionEvent& event);
    void serve(const XSelectionRequestEvent& request);
    bool serveTarget(Window requestor, Atom target, Atom property);
    Time serverTime();

    Display* m_dpy;
    int m_fixesEvent;
    Window m_window;
    Window m_changeOwner = None; // the owner whose text is being read
    SelectionReader m_reader;
    QSocketNotifier* m_notifier = nullptr;
    QTimer* m_timeout = nullptr;
    Atom m_clipboard, m_targets, m_timestamp, m_utf8, m_text, m_incr, m_mimeText, m_timeProperty;
    Atom m_replyProperty;
    int m_replyIndex = 0;
    // What we offer while we own the clipboard, and since when.
    QString m_own;
    QByteArray m_ownUtf8;
    Time m_ownTime = CurrentTime;
    bool m_owned = false;
    // Requests for our text answered since we took the clipboard.
    int m_served = 0;
    size_t m_maxPropertyBytes;
};

X11ClipboardWorker::X11ClipboardWorker(Display* dpy, int fixesEvent)
    : m_dpy(dpy), m_fixesEvent(fixesEvent),
      m_window(XCreateWindow(dpy, DefaultRootWindow(dpy), -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
                             0, nullptr)),
      m_reader(m_window) {
    XSelectInput(dpy, m_window, PropertyChangeMask);
    XStoreName(dpy, m_window, "Wordwisp clipboard");
    m_clipboard = atom("CLIPBOARD");
    m_targets = atom("TARGETS");
    m_timestamp = atom("TIMESTAMP");
    m_utf8 = atom("UTF8_STRING");
    m_text = atom("TEXT");
    m_incr = atom("INCR");
    m_mimeText = atom("text/plain;charset=utf-8");
    m_timeProperty = atom("WORDWISP_TIME");
    m_replyProperty = atom("WORDWISP_CLIPBOARD_0");
    // What one property may carry in one request; larger texts would need INCR, which we do not serve.
    const long words = XExtendedMaxRequestSize(dpy) ? XExtendedMaxRequestSize(dpy) : XMaxRequestSize(dpy);
    m_maxPropertyBytes = size_t(words) * 4 - 1024;
    XFixesSelectSelectionInput(dpy, m_window, m_clipboard,
                               XFixesSetSelectionOwnerNotifyMask | XFixesSelectionWindowDestroyNotifyMask |
                                   XFixesSelectionClientCloseNotifyMask);
}

X11ClipboardWorker::~X11ClipboardWorker() {
    XDestroyWindow(m_dpy, m_window);
    XCloseDisplay(m_dpy);
}

void X11ClipboardWorker::start() {
    m_notifier = new QSocketNotifier(ConnectionNumber(m_dpy), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11ClipboardWorker::processEvents);
    m_timeout = new QTimer(this);
    m_timeout->setSingleShot(true);
    m_timeout->setInterval(SelectionReader::kTimeoutMs);
    connect(m_timeout, &QTimer::timeout, this, [this] { carryOut(m_reader.timedOut()); });
    // What the clipboard holds already, as if it had just changed.
    m_changeOwner = XGetSelectionOwner(m_dpy, m_clipboard);
    carryOut(m_reader.ownerChanged(m_changeOwner, CurrentTime, QString()));
    processEvents();
}

void X11ClipboardWorker::processEvents() {
    // Xlib may have read events into its queue during any call; the socket shows only what is still unread.
    while (XPending(m_dpy)) {
        XEvent event;
        XNextEvent(m_dpy, &event);
        handle(event);
    }
}

void X11ClipboardWorker::handle(XEvent& event) {
    if (event.type == m_fixesEvent + XFixesSelectionNotify) {
        const auto& notify = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
        if (notify.selection != m_clipboard)
            return;
        const Window owner = notify.subtype == XFixesSetSelectionOwnerNotify ? notify.owner : None;
        if (owner != m_window)
            m_owned = false;
        m_changeOwner = owner;
        carryOut(m_reader.ownerChanged(owner, notify.selection_timestamp, m_own));
        return;
    }
    switch (event.type) {
    case SelectionNotify:
        if (event.xselection.requestor == m_window && event.xselection.selection == m_clipboard)
            onReply(event.xselection);
        break;
    case SelectionRequest:
        serve(event.xselectionrequest);
        break;
    case SelectionClear:
        if (event.xselectionclear.selection == m_clipboard)
            m_owned = false;
        break;
    default:
        break;
    }
}

void X11ClipboardWorker::carryOut(const SelectionReader::Step& step) {
    if (step.stopTimer)
        m_timeout->stop();
    if (step.abandonProperty) {
        m_replyIndex = (m_replyIndex + 1) % kReplyProperties;
        m_replyProperty = atom(QByteArray("WORDWISP_CLIPBOARD_" + QByteArray::number(m_replyIndex)).constData());
    }
    if (step.convert) {
        const Atom target = *step.convert == SelectionReader::Target::Utf8String ? m_utf8
                            : *step.convert == SelectionReader::Target::String   ? XA_STRING
                                                                                 : m_text;
        XConvertSelection(m_dpy, m_clipboard, target, m_replyProperty, m_window, step.time);
        XFlush(m_dpy);
    }
    if (step.startTimer)
        m_timeout->start();
    if (step.text)
        emit textRead(*step.text, m_changeOwner);
}

void X11ClipboardWorker::onReply(const XSelectionEvent& event) {
    if (event.property == None) {
        carryOut(m_reader.replied(event.time, true, SelectionReader::ReplyType::Other, {}));
        return;
    }
    // The type and size first: an INCR answer is left alone, and nothing is fetched of it.
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(m_dpy, m_window, event.property, 0, long(m_maxPropertyBytes / 4), False, AnyPropertyType, &type,
                       &format, &count, &remaining, &data);
    SelectionReader::ReplyType kind = SelectionReader::ReplyType::Other;
    QByteArray bytes;
    if (type == m_incr) {
        kind = SelectionReader::ReplyType::Incr;
    } else if (format == 8 && (type == m_utf8 || type == XA_STRING || type == m_mimeText)) {
        kind = type == XA_STRING ? SelectionReader::ReplyType::String : SelectionReader::ReplyType::Utf8String;
        bytes = QByteArray(reinterpret_cast<const char*>(data), int(count));
    }
    if (data)
        XFree(data);
    if (kind != SelectionReader::ReplyType::Incr)
        XDeleteProperty(m_dpy, m_window, event.property);
    carryOut(m_reader.replied(event.time, false, kind, bytes));
}

Time X11ClipboardWorker::serverTime() {
    // A zero-length append changes nothing but makes the server stamp a PropertyNotify with its time.
    XChangeProperty(m_dpy, m_window, m_timeProperty, XA_INTEGER, 32, PropModeAppend, nullptr, 0);
    XSync(m_dpy, False);
    XEvent event;
    auto match = [](Display*, XEvent* e, XPointer arg) -> Bool {
        const auto* self = reinterpret_cast<X11ClipboardWorker*>(arg);
        return e->type == PropertyNotify && e->xproperty.window == self->m_window &&
               e->xproperty.atom == self->m_timeProperty;
    };
    if (XCheckIfEvent(m_dpy, &event, match, reinterpret_cast<XPointer>(this)))
        return event.xproperty.time;
    return CurrentTime;
}

bool X11ClipboardWorker::set(const QString& text) {
    const Time time = serverTime();
    m_own = text;
    m_ownUtf8 = text.toUtf8();
    XSetSelectionOwner(m_dpy, m_clipboard, m_window, time);
    m_owned = XGetSelectionOwner(m_dpy, m_clipboard) == m_window;
    m_ownTime = time;
    m_served = 0;
    // The answers to requests that arrived meanwhile, and our own change notice, go out from the loop.
    QMetaObject::invokeMethod(this, &X11ClipboardWorker::processEvents, Qt::QueuedConnection);
    return m_owned;
}

void X11ClipboardWorker::clear() {
    XSetSelectionOwner(m_dpy, m_clipboard, None, serverTime());
    m_owned = false;
    XFlush(m_dpy);
    QMetaObject::invokeMethod(this, &X11ClipboardWorker::processEvents, Qt::QueuedConnection);
}

bool X11ClipboardWorker::waitAskedFor(int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        processEvents();
        if (m_served > 0)
            return true;
        const qint64 left = timeoutMs - waited.elapsed();
        if (left <= 0 || !m_owned)
            return false;
        pollfd fd{ConnectionNumber(m_dpy), POLLIN, 0};
        poll(&fd, 1, int(left));
    }
}

void X11ClipboardWorker::serve(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = m_dpy;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    // Old clients name no property; the target then serves as one.
    const Atom property = request.property != None ? request.property : request.target;
    const bool current = request.time == CurrentTime || request.time >= m_ownTime;
    const bool ours = m_owned && request.selection == m_clipboard && request.owner == m_window && current;
    reply.property = ours && serveTarget(request.requestor, request.target, property) ? property : None;
    if (reply.property != None)
        ++m_served;
    XSendEvent(m_dpy, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
    XFlush(m_dpy);
}

bool X11ClipboardWorker::serveTarget(Window requestor, Atom target, Atom property) {
    if (target == m_targets) {
        // No "text/plain;charset=utf-8": GTK asks for it first and turns its line ends into LF, and it
        // keeps the text so when it takes the clipboard back after a paste. Refused, it reads UTF8_STRING.
        const Atom targets[] = {m_targets, m_timestamp, m_utf8, XA_STRING, m_text};
        XChangeProperty(m_dpy, requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(targets), int(std::size(targets)));
        return true;
    }
    if (target == m_timestamp) {
        const long time = long(m_ownTime);
        XChangeProperty(m_dpy, requestor, property, XA_INTEGER, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&time), 1);
        return true;
    }
    QByteArray bytes;
    Atom type = None;
    if (target == m_utf8 || target == m_text) {
        bytes = m_ownUtf8;
        type = m_utf8;
    } else if (target == XA_STRING) {
        // Latin-1, the only encoding STRING has; characters outside it become "?".
        bytes = m_own.toLatin1();
        type = XA_STRING;
    } else {
        return false;
    }
    // Larger than one request: refused rather than sent in pieces.
    if (size_t(bytes.size()) > m_maxPropertyBytes)
        return false;
    XChangeProperty(m_dpy, requestor, property, type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()));
    return true;
}

X11Clipboard::X11Clipboard() {
    const QString name = displayName();
    Display* dpy = name.isEmpty() ? nullptr : XOpenDisplay(name.toLocal8Bit().constData());
    int fixesEvent = 0;
    int fixesError = 0;
    if (!dpy)
        return;
    if (!XFixesQueryExtension(dpy, &fixesEvent, &fixesError)) {
        XCloseDisplay(dpy);
        return;
    }
    m_thread = new QThread(this);
    m_thread->setObjectName(QStringLiteral("clipboard"));
    m_worker = new X11ClipboardWorker(dpy, fixesEvent);
    m_ownWindow = m_worker->window();
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &X11ClipboardWorker::textRead, this, &X11Clipboard::textRead);
    connect(m_thread, &QThread::started, m_worker, &X11ClipboardWorker::start);
    m_thread->start();
}

X11Clipboard::~X11Clipboard() {
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
    }
}

void X11Clipboard::textRead(const QString& text, unsigned long owner) {
    m_text = text;
    if (owner != m_ownWindow)
        m_copySource = owner;
    emit changed();
}

bool X11Clipboard::waitAskedFor(int timeoutMs) {
    bool asked = false;
    if (m_worker) {
        QMetaObject::invokeMethod(
            m_worker, [&] { asked = m_worker->waitAskedFor(timeoutMs); }, Qt::BlockingQueuedConnection);
    }
    return asked;
}

void X11Clipboard::clear() {
    if (m_worker)
        QMetaObject::invokeMethod(m_worker, &X11ClipboardWorker::clear, Qt::BlockingQueuedConnection);
}

bool X11Clipboard::setText(const QString& text) {
    bool taken = false;
    if (m_worker) {
        QMetaObject::invokeMethod(
            m_worker, [&] { taken = m_worker->set(text); }, Qt::BlockingQueuedConnection);
    }
    return taken;
}

#include "X11Clipboard.moc"
