#include "platform/SelectionReader.h"

SelectionReader::Step SelectionReader::ownerChanged(unsigned long owner, unsigned long time, const QString& ownText) {
    // A conversion still under way belongs to the previous owner; its reply will not match.
    if (owner == 0)
        return finish(QString());
    if (owner == m_ownWindow)
        return finish(ownText);
    return convert(Target::Utf8String, time);
}

SelectionReader::Step SelectionReader::replied(unsigned long time, bool refused, ReplyType type,
                                               const QByteArray& data) {
    if (!m_pending || m_pending->time != time)
        return {};
    const Target asked = m_pending->target;
    if (refused) {
        if (asked == Target::Utf8String)
            return convert(Target::String, time);
        if (asked == Target::String)
            return convert(Target::Text, time);
        return finish(QString());
    }
    switch (type) {
    case ReplyType::Utf8String:
        return finish(QString::fromUtf8(data));
    case ReplyType::String:
        return finish(QString::fromLatin1(data));
    case ReplyType::Incr: {
        Step step = finish(QString());
        step.abandonProperty = true;
        return step;
    }
    case ReplyType::Other:
        break;
    }
    // An answer in a type we do not read (COMPOUND_TEXT for TEXT, say): the next target, as for a refusal.
    return replied(time, true, type, data);
}

SelectionReader::Step SelectionReader::timedOut() {
    if (!m_pending)
        return {};
    return finish(QString());
}

SelectionReader::Step SelectionReader::convert(Target target, unsigned long time) {
    m_pending = Pending{target, time};
    Step step;
    step.convert = target;
    step.time = time;
    step.startTimer = true;
    return step;
}

SelectionReader::Step SelectionReader::finish(QString text) {
    Step step;
    step.stopTimer = m_pending.has_value();
    m_pending.reset();
    step.text = std::move(text);
    return step;
}
