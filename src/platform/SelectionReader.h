#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What the clipboard reader does about each selection event, without any X11 call of its own, so the
// decisions can be followed event by event. The backend feeds it the owner announcements (XFixes), the
// replies to its conversions (SelectionNotify and the property they name) and the expiry of its timer,
// and carries out the returned step.
//
// One conversion per change: UTF8_STRING first, STRING and TEXT only when the owner refuses the one
// before. A reply is matched by the time stamp of its request, so a late answer from an owner that was
// given up on, or from one that has been replaced since, is ignored. An owner that answers with INCR
// (text too large for one property, hundreds of kilobytes) is not read at all: no keyword is that long.
class SelectionReader {
public:
    enum class Target { Utf8String, String, Text };
    enum class ReplyType { Utf8String, String, Incr, Other };

    static constexpr int kTimeoutMs = 300;

    struct Step {
        // Ask the owner for the selection in this target, stamped with this time.
        std::optional<Target> convert;
        unsigned long time = 0;
        // The clipboard text of the change is known: deliver it (possibly empty, for "no text").
        std::optional<QString> text;
        bool startTimer = false; // (re)start the conversion timer
        bool stopTimer = false;
        // The property the reply came in was left to an INCR owner: use another one from now on.
        bool abandonProperty = false;
    };

    explicit SelectionReader(unsigned long ownWindow) : m_ownWindow(ownWindow) {}

    // The owner of the clipboard changed (also to the same owner again, for a repeated copy). `ownText`
    // is what this program put there, used when the owner is our own window.
    Step ownerChanged(unsigned long owner, unsigned long time, const QString& ownText);
    // The owner answered a conversion: `refused` when it named no property; otherwise the property's
    // type and bytes.
    Step replied(unsigned long time, bool refused, ReplyType type, const QByteArray& data);
    Step timedOut();

    bool converting() const { return m_pending.has_value(); }

private:
    struct Pending {
        Target target;
        unsigned long time;
    };
    Step convert(Target target, unsigned long time);
    Step finish(QString text);

    unsigned long m_ownWindow;
    std::optional<Pending> m_pending;
};
